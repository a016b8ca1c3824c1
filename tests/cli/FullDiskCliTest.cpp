// SPDX-License-Identifier: GPL-3.0-or-later
// The writing commands on a real full file system: a small tmpfs mounted in a private
// mount namespace, the checks run by a child run of this program inside it. Each
// command must fail with the system's reason after the file's name and keep the old
// output, instead of "Unknown error" or a silent success.
#include "tests/cli/CliFixtures.h"
#include "tests/support/FaultRun.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>


namespace {
struct Save {
    QStringList args;
    QString output; // the file whose old contents must stay
    QByteArray input;
};
} // namespace

TEST(CliOnFullDisk, DISABLED_InsideTheNamespace)
{
    // Run only as the child of CliOnFullDisk.EveryWriterSaysNoSpaceAndKeepsTheOldFile.
    const QString disk = smallDiskFolder();
    ASSERT_FALSE(disk.isEmpty());
    TempFolder tmp; // inputs live on an ordinary disk
    const CliFixtures::Inputs in = CliFixtures::makeInputs(tmp.file("inputs"));
    const QString hexInput = disk + QStringLiteral("/hexin.ov2");
    ASSERT_TRUE(QFile::copy(in.ov2, hexInput));

    QList<Save> saves = {
        {{"ov2", "write", disk + "/o.ov2"}, disk + "/o.ov2", CliFixtures::rows(50, QStringLiteral("new"))},
        {{"ov2", "export", "csv", in.ov2, disk + "/o.csv"}, disk + "/o.csv"},
        {{"ov2", "export", "asc", in.ov2, disk + "/o.asc"}, disk + "/o.asc"},
        {{"itn", "write", disk + "/r.itn"}, disk + "/r.itn", CliFixtures::rows(5, QStringLiteral("stop"))},
        {{"itn", "write", disk + "/s.itn", "--split"}, disk + "/s.itn", CliFixtures::rows(100, QStringLiteral("stop"))},
        {{"hex", "exe", hexInput}, disk + "/hexin.txt"},
        {{"image", "startup", in.png, disk + "/splash.bmp"}, disk + "/splash.bmp"},
        {{"sound", "convert", in.wav, disk + "/o.wav"}, disk + "/o.wav"},
        {{"sound", "convert", in.wav, disk + "/o.ogg"}, disk + "/o.ogg"},
        {{"sound", "normalize", in.wav, disk + "/n.wav"}, disk + "/n.wav"},
        {{"clr", "save", in.clr, disk + "/o.clr"}, disk + "/o.clr"},
        {{"clr", "preview", in.clr, disk + "/o.png"}, disk + "/o.png"},
        {{"chk", "pack", in.phrases, disk + "/v.chk"}, disk + "/v.chk"},
        {{"chk", "unpack", in.chk, disk + "/phrases"}, disk + "/phrases/tmp01.ogg"},
        {{"sample-device", "--force", disk + "/dev"}, disk + "/dev/TTGO.BIF"},
    };
    // A spoken voice writes its container first; it needs espeak-ng and oggenc.
    if (!QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("oggenc")).isEmpty())
        saves.append({{"voice", "speak", "pl", disk + "/spoken.vif"}, disk + "/spoken.chk"});
    for (const Save &s : saves) {
        QDir().mkpath(QFileInfo(s.output).path());
        CliFixtures::writeFile(s.output, "old " + QFileInfo(s.output).fileName().toUtf8());
    }
    // The old split set has a second part, which must stay too.
    CliFixtures::writeFile(disk + "/s01.itn", "old s01.itn");
    fillDisk(disk);

    for (const Save &s : saves) {
        SCOPED_TRACE(s.args.join(u' ').toStdString());
        const CliRun r = runCli(s.args, s.input);
        EXPECT_EQ(r.code, 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("No space left on device")) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("Unknown error")) << r.err.toStdString();
        // The message names the file being written.
        const QString name = QFileInfo(s.output).fileName();
        EXPECT_TRUE(r.err.contains(name.toUtf8())) << r.err.toStdString();
        EXPECT_EQ(readAll(s.output), "old " + name.toUtf8());
    }
    EXPECT_EQ(readAll(disk + "/s01.itn"), "old s01.itn");
    EXPECT_TRUE(leftTemporaries(disk).isEmpty()) << leftTemporaries(disk).join(u' ').toStdString();
}

TEST(CliOnFullDisk, EveryWriterSaysNoSpaceAndKeepsTheOldFile)
{
    const SmallDiskRun r = runOnSmallDisk(QStringLiteral("CliOnFullDisk.DISABLED_InsideTheNamespace"), QStringLiteral("2m"), 280000);
    if (!r.unavailable.isEmpty())
        GTEST_SKIP() << r.unavailable.toStdString();
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("[  PASSED  ] 1 test")) << r.out.toStdString();
}
