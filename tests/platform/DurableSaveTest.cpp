// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AtomicFile.h"
#include "platform/DeviceFiles.h"
#include "platform/FileReader.h"
#include "tests/support/FaultRun.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QStringList hiddenToo(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray runSelfWithFault(const QString &testCase, const FaultPlan &plan, const QString &dir)
{
    FaultPlan within = plan;
    within.dir = dir;
    return runTestCaseWithFault(testCase, within, {{QStringLiteral("KORVIX_SET_DIR"), dir}});
}

void writeSet(const QString &dir, const QString &tag, int count)
{
    for (int i = 1; i <= count; ++i)
        ASSERT_TRUE(AtomicFile::write(dir + QStringLiteral("/set%1.cab").arg(i), (tag + QString::number(i)).toUtf8()).isEmpty());
}
} // namespace

// The child's half of ReplacingASetIsAllOrNothing: three new files over an old set of
// four, the fourth obsolete.
TEST(DurableSave, DISABLED_ReplaceTheSet)
{
    const QString dir = qEnvironmentVariable("KORVIX_SET_DIR");
    std::vector<std::unique_ptr<AtomicFile::Pending>> parts;
    std::vector<AtomicFile::Pending *> raw;
    for (int i = 1; i <= 3; ++i) {
        parts.push_back(std::make_unique<AtomicFile::Pending>(dir + QStringLiteral("/set%1.cab").arg(i)));
        const QString opened = parts.back()->open();
        if (!opened.isEmpty()) {
            std::printf("FAILED: %s\n", qPrintable(opened));
            return;
        }
        const QByteArray bytes = QStringLiteral("new%1").arg(i).toUtf8();
        if (!parts.back()->put(bytes.constData(), bytes.size())) {
            std::printf("FAILED: %s\n", qPrintable(parts.back()->error()));
            return;
        }
        raw.push_back(parts.back().get());
    }
    const QString why = AtomicFile::replaceAll(raw, {dir + QStringLiteral("/set4.cab")});
    std::printf(why.isEmpty() ? "REPLACED\n" : "FAILED: %s\n", qPrintable(why));
}

TEST(DurableSave, ReplacingASetIsAllOrNothing)
{
    // Every rename, link, sync and close of the replacement fails in turn: either the
    // whole new set stands or the whole old one, and no temporary is left.
    for (const QString &call : {QStringLiteral("rename"), QStringLiteral("link"), QStringLiteral("fsync"),
                                QStringLiteral("fdatasync"), QStringLiteral("close"), QStringLiteral("unlink"),
                                QStringLiteral("write"), QStringLiteral("open")}) {
        for (long nth = 1; nth <= 6; ++nth) {
            TempFolder tmp;
            writeSet(tmp.path(), QStringLiteral("old"), 4);
            const QByteArray out = runSelfWithFault(QStringLiteral("DurableSave.DISABLED_ReplaceTheSet"), {call, nth}, tmp.path());
            SCOPED_TRACE((call + QStringLiteral(" #%1: ").arg(nth)).toStdString() + out.toStdString());
            ASSERT_TRUE(out.contains("REPLACED") || out.contains("FAILED: "));
            // A failed removal of a set-aside old file leaves it hidden, for the next save
            // to remove; anything else leaves no temporary.
            QStringList names = hiddenToo(tmp.path());
            if (call == QLatin1String("unlink"))
                names.erase(std::remove_if(names.begin(), names.end(), AtomicFile::isTemporaryName), names.end());
            const bool wholeNew = names == QStringList{"set1.cab", "set2.cab", "set3.cab"} &&
                                  readAll(tmp.file("set1.cab")) == "new1" && readAll(tmp.file("set2.cab")) == "new2" &&
                                  readAll(tmp.file("set3.cab")) == "new3";
            const bool wholeOld = names == QStringList{"set1.cab", "set2.cab", "set3.cab", "set4.cab"} &&
                                  readAll(tmp.file("set1.cab")) == "old1" && readAll(tmp.file("set2.cab")) == "old2" &&
                                  readAll(tmp.file("set3.cab")) == "old3" && readAll(tmp.file("set4.cab")) == "old4";
            if (out.contains("REPLACED"))
                EXPECT_TRUE(wholeNew) << names.join(' ').toStdString();
            else // a failed sync after the set stands is told, with the new set whole
                EXPECT_TRUE(wholeOld || wholeNew) << names.join(' ').toStdString();
        }
    }
}

TEST(DurableSave, FailedSyncOrCloseKeepsTheOldFileAndNamesTheReason)
{
    for (const QString &call : {QStringLiteral("fdatasync"), QStringLiteral("close"), QStringLiteral("write"),
                                QStringLiteral("rename"), QStringLiteral("open")}) {
        TempFolder tmp;
        const QString target = tmp.write(QStringLiteral("o.ov2"), "old");
        const FaultRun r = runCliWithFault({QStringLiteral("ov2"), QStringLiteral("write"), target}, {call, 1, tmp.path()},
                                           "1\t2\tnew\n");
        SCOPED_TRACE(call.toStdString());
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, target.toUtf8() + ": Input/output error\n");
        EXPECT_EQ(readAll(target), "old");
        EXPECT_EQ(hiddenToo(tmp.path()), QStringList{"o.ov2"});
    }
    // The folder is synced after the rename; a failure there is told, not swallowed.
    TempFolder tmp;
    const QString target = tmp.write(QStringLiteral("o.ov2"), "old");
    const FaultRun counted = runCliWithFault({QStringLiteral("ov2"), QStringLiteral("write"), target},
                                             {QStringLiteral("fsync"), 0, tmp.path()}, "1\t2\tnew\n");
    EXPECT_EQ(counted.code, 0);
    EXPECT_EQ(counted.calls, 1) << "one sync of the folder";
    const FaultRun failed = runCliWithFault({QStringLiteral("ov2"), QStringLiteral("write"), target},
                                            {QStringLiteral("fsync"), 1, tmp.path()}, "1\t2\tnew\n");
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.err.startsWith(target.toUtf8() + ": ")) << failed.err.toStdString();
}

TEST(DurableSave, TemporariesOfAKilledSaveAreHiddenAndGoWithTheNextSave)
{
    TempFolder tmp;
    // Big enough that its hexadecimal text takes a while to write.
    const QString input = tmp.write(QStringLiteral("big.bin"), QByteArray(48 << 20, '\x5a'));
    const QString output = tmp.file(QStringLiteral("big.txt"));
    QFile::copy(input, output); // an old output, to be kept
    QFile::setPermissions(output, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    QProcess killed;
    killed.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), {QStringLiteral("hex"), QStringLiteral("bin"), input});
    ASSERT_TRUE(killed.waitForStarted());
    QStringList temporaries;
    for (int i = 0; i < 2000 && temporaries.isEmpty() && killed.state() == QProcess::Running; ++i) {
        QThread::msleep(5);
        temporaries = leftTemporaries(tmp.path());
    }
    ::kill(pid_t(killed.processId()), SIGKILL);
    killed.waitForFinished();
    ASSERT_EQ(temporaries.size(), 1) << "the save's temporary was never seen";
    ASSERT_EQ(leftTemporaries(tmp.path()), temporaries) << "the kill left its temporary";
    EXPECT_EQ(readAll(output), readAll(input)) << "the old output is untouched";

    // A temporary a living writer holds (a real second process with the lock) stays.
    const QString living = tmp.file(QStringLiteral(".korvix-tmp.big.txt.living"));
    QFile(living).open(QIODevice::WriteOnly);
    QProcess holder;
    holder.start(QStringLiteral("flock"), {QStringLiteral("-x"), living, QStringLiteral("sleep"), QStringLiteral("30")});
    ASSERT_TRUE(holder.waitForStarted());
    QThread::msleep(300);
    // Another target's temporary is not this save's business.
    const QString other = tmp.write(QStringLiteral(".korvix-tmp.other.ov2.x1"), "x");

    DirListing listing(tmp.path());
    for (const QString &name : listing.entries())
        EXPECT_FALSE(AtomicFile::isTemporaryName(name)) << name.toStdString() << " shown in the tree";

    const QString small = tmp.write(QStringLiteral("small.bin"), "abc");
    QFile::remove(input);
    QFile::rename(small, input);
    const CliRun again = runCli({QStringLiteral("hex"), QStringLiteral("bin"), input});
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(living));
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_FALSE(QFileInfo::exists(temporaries.first())) << "the stale temporary was removed";
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(output).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "a replaced file keeps its permissions";
    holder.kill();
    holder.waitForFinished();
}

TEST(FileReader, RefusesFifosDevicesAndLargeFilesAtOnce)
{
    TempFolder tmp;
    const QString fifo = tmp.file(QStringLiteral("pipe"));
    ASSERT_TRUE(makeFifo(fifo));
    const QString zeroLink = tmp.file(QStringLiteral("zero.ov2"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
    FifoGuard guard({fifo});
    QString why;
    EXPECT_FALSE(FileReader::read(fifo, 100, &why));
    EXPECT_EQ(why, QStringLiteral("Not a regular file: ") + fifo);
    EXPECT_FALSE(FileReader::read(zeroLink, 100, &why));
    EXPECT_EQ(why, QStringLiteral("Not a regular file: ") + zeroLink);
    QFile f;
    EXPECT_EQ(FileReader::open(f, fifo, 100), QStringLiteral("Not a regular file: ") + fifo);
    EXPECT_FALSE(guard.hadToRelease());

    const QString big = tmp.write(QStringLiteral("big"), QByteArray(101, 'b'));
    EXPECT_FALSE(FileReader::read(big, 100, &why));
    EXPECT_EQ(why, QStringLiteral("The file is too large: ") + big);
    EXPECT_EQ(FileReader::read(big, 101, &why).value_or(QByteArray()), QByteArray(101, 'b'));
    EXPECT_EQ(FileReader::read(tmp.file(QStringLiteral("none")), 100, &why), std::nullopt);
    EXPECT_EQ(why, tmp.file(QStringLiteral("none")) + QStringLiteral(": No such file or directory"));

    // Standard input is capped the same way: an endless one is refused, not swallowed.
    QProcess cli;
    cli.setStandardInputFile(QStringLiteral("/dev/zero"));
    cli.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), {QStringLiteral("ov2"), QStringLiteral("write"), tmp.file(QStringLiteral("o.ov2"))});
    ASSERT_TRUE(cli.waitForFinished(120000));
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_EQ(cli.readAllStandardError(), "The file is too large: standard input\n");
    EXPECT_FALSE(QFileInfo::exists(tmp.file(QStringLiteral("o.ov2"))));
}

TEST(DurableSave, AnOldFileAKilledSetReplacementMovedAsideComesBack)
{
    // Where a file system has no hard links the old file of a set is moved aside while
    // the set is replaced; a kill at that moment leaves it as the only copy.
    TempFolder tmp;
    const QString target = tmp.file(QStringLiteral("o.ov2"));
    const QString aside = tmp.write(QStringLiteral(".korvix-tmp.o.ov2.old-k1"), "old");
    const FaultRun failed = runCliWithFault({QStringLiteral("ov2"), QStringLiteral("write"), target},
                                            {QStringLiteral("write"), 1, tmp.path()}, "1\t2\tnew\n");
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(readAll(target), "old") << "the next save, failing, still leaves the old file in place";
    EXPECT_FALSE(QFileInfo::exists(aside));
    EXPECT_EQ(hiddenToo(tmp.path()), QStringList{"o.ov2"});
}
