// SPDX-License-Identifier: GPL-3.0-or-later
// Each kind of input has its own cap (lists, sounds, pictures, schemes): a file beyond
// it is refused unread with a message naming it, while real files of the kind still read.
// FIFOs and endless devices are the business of CliBoundedReadTest.
#include "tests/cli/CliFixtures.h"
#include "tests/support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

TEST(BoundedRead, FilesBeyondTheCapOfTheirKindAreRefusedUnread)
{
    TempFolder tmp;
    // Sparse files: large to the readers, nothing on the disk.
    const auto sparse = [&](const QString &name, qint64 size) {
        QFile f(tmp.file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_TRUE(f.resize(size));
        return f.fileName();
    };
    const QString list = sparse("huge.ov2", (qint64(1) << 30) + 1);
    const QString sound = sparse("huge.wav", (qint64(512) << 20) + 1);
    const QString picture = sparse("huge.bmp", (qint64(64) << 20) + 1);
    for (const QStringList &args : QList<QStringList>{{"ov2", "dump", list},
                                                      {"ov2", "check", list},
                                                      {"dedup", list, "10"},
                                                      {"poidat", "list", list},
                                                      {"itn", "dump", list},
                                                      {"hex", "bin", list},
                                                      {"sound", "info", sound},
                                                      {"sound", "convert", sound, tmp.file("o.wav")},
                                                      {"image", "startup", picture, tmp.file("o.bmp")},
                                                      {"clr", "dump", picture}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(args[args[0] == QLatin1String("dedup") ? 1 : 2].toUtf8())) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("too large")) << r.err.toStdString();
    }
}

TEST(BoundedRead, RegularInputsStillRead)
{
    // The same commands on real files of their kind: the refusals above are no accident
    // of a reader that refuses everything.
    TempFolder tmp;
    const CliFixtures::Inputs in = CliFixtures::makeInputs(tmp.path());
    const QList<QStringList> runs = {
        {"ov2", "dump", in.ov2},           {"ov2", "check", in.ov2}, {"dedup", in.ov2, "10"},
        {"itn", "dump", in.itn},           {"sound", "info", in.wav}, {"image", "startup", in.png, tmp.file("o.bmp")},
        {"hex", "bin", in.ov2},            {"clr", "dump", in.clr},   {"chk", "unpack", in.chk, tmp.file("phrases")},
    };
    for (const QStringList &args : runs) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
    }
}
