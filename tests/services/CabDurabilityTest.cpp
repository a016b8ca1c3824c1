// SPDX-License-Identifier: GPL-3.0-or-later
// What `cab pack`, `cab list` and `cab unpack` do to files already there when a write,
// a rename or the final sync fails, checked on the real korvix-cli with the fault
// library and on the archives with the real cabextract.
#include "platform/BusyFolders.h"
#include "services/CabFile.h"
#include "tests/services/CabFixtures.h"
#include "tests/support/FaultRun.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {
const QString cabextract = QStringLiteral("cabextract");

QByteArray noise(qsizetype size, quint32 seed)
{
    QByteArray b(size + 3, '\0');
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(b.data()), (size + 3) / 4);
    b.truncate(size);
    return b;
}

// Three cabinets of at most 1 MB: random data cannot shrink.
void fillThreeCabinets(const TempFolder &t, const QString &folder, quint32 seed)
{
    t.write(folder + QStringLiteral("/big.bin"), noise(2200000, seed));
    t.write(folder + QStringLiteral("/small.txt"), QByteArray::number(seed));
}

QStringList packSet(const QString &archive, const QString &folder)
{
    return {QStringLiteral("cab"), QStringLiteral("pack"), archive, folder, QStringLiteral("--max-size"),
            QStringLiteral("1000000")};
}

// Every file of `dir` (not below) and its bytes.
QMap<QString, QByteArray> filesIn(const QString &dir)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System))
        files.insert(name, readAll(dir + QLatin1Char('/') + name));
    return files;
}
} // namespace

TEST(CabDurability, ASetReplacesTheOldSetWholeOrLeavesItAsItWas)
{
    TempFolder t;
    fillThreeCabinets(t, QStringLiteral("old"), 1);
    fillThreeCabinets(t, QStringLiteral("new"), 2);
    const QString out = t.mkdir(QStringLiteral("out"));
    const QString archive = out + QStringLiteral("/OUT.cab");
    CliRun made = runCli(packSet(archive, t.file(QStringLiteral("old"))));
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QMap<QString, QByteArray> old = filesIn(out);
    ASSERT_EQ(old.keys(), (QStringList{"OUT.cab", "OUT_2.cab", "OUT_3.cab"}));

    // The second cabinet cannot be put in place: the first is already, and goes back.
    FaultRun failed = runCliWithFault(packSet(archive, t.file(QStringLiteral("new"))), {QStringLiteral("rename"), 2, out});
    EXPECT_NE(failed.code, 0);
    EXPECT_TRUE(failed.err.contains("OUT_2.cab")) << failed.err.toStdString();
    EXPECT_TRUE(failed.err.contains("Input/output error")) << failed.err.toStdString();
    EXPECT_TRUE(filesIn(out) == old) << filesIn(out).keys().join(' ').toStdString();
    EXPECT_EQ(runTool(cabextract, {QStringLiteral("-t"), archive}).code, 0);

    // Each cabinet is synced before it is put in place, the folder after.
    FaultRun counted = runCliWithFault(packSet(archive, t.file(QStringLiteral("new"))), {QStringLiteral("fdatasync"), 0, out});
    ASSERT_EQ(counted.code, 0) << counted.err.toStdString();
    EXPECT_GE(counted.calls, 3);
    counted = runCliWithFault(packSet(archive, t.file(QStringLiteral("old"))), {QStringLiteral("fsync"), 0, out});
    EXPECT_GE(counted.calls, 1);
    EXPECT_TRUE(filesIn(out) == old);
}

TEST(CabDurability, CabinetsOfTheOldSetBeyondTheNewOnesGo)
{
    TempFolder t;
    fillThreeCabinets(t, QStringLiteral("old"), 1);
    t.write(QStringLiteral("two/big.bin"), noise(1200000, 3));
    t.write(QStringLiteral("one/small.txt"), "one");
    const QString out = t.mkdir(QStringLiteral("out"));
    const QString archive = out + QStringLiteral("/OUT.cab");
    ASSERT_EQ(runCli(packSet(archive, t.file(QStringLiteral("old")))).code, 0);
    ASSERT_EQ(filesIn(out).size(), 3);

    // A third cabinet naming a second one that no longer continues it would be a trap.
    CliRun r = runCli(packSet(archive, t.file(QStringLiteral("two"))));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(filesIn(out).keys(), (QStringList{"OUT.cab", "OUT_2.cab"}));
    EXPECT_EQ(runTool(cabextract, {QStringLiteral("-t"), archive}).code, 0);

    // One cabinet with a set allowed replaces a whole set too, all or nothing.
    ASSERT_EQ(runCli(packSet(archive, t.file(QStringLiteral("old")))).code, 0);
    const QMap<QString, QByteArray> old = filesIn(out);
    FaultRun failed = runCliWithFault(packSet(archive, t.file(QStringLiteral("one"))), {QStringLiteral("unlink"), 2, out});
    EXPECT_NE(failed.code, 0);
    EXPECT_TRUE(filesIn(out) == old) << filesIn(out).keys().join(' ').toStdString();
    r = runCli(packSet(archive, t.file(QStringLiteral("one"))));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(filesIn(out).keys(), QStringList{"OUT.cab"});
    EXPECT_EQ(runTool(cabextract, {QStringLiteral("-t"), archive}).code, 0);
}

TEST(CabDurability, OneCabinetGoesThroughTheSharedSave)
{
    TempFolder t;
    t.write(QStringLiteral("src/a.txt"), "new content");
    const QString out = t.mkdir(QStringLiteral("out"));
    const QString archive = t.write(QStringLiteral("out/o.cab"), "old archive");
    const QStringList pack = {QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src"))};
    FaultRun failed = runCliWithFault(pack, {QStringLiteral("fdatasync"), 1, out, ENOSPC});
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.err, archive.toUtf8() + ": Could not create cabinet file: No space left on device\n");
    EXPECT_EQ(readAll(archive), "old archive");
    EXPECT_TRUE(leftTemporaries(out).isEmpty());
}

TEST(CabDurability, UnpackKeepsAnOldFileUntilTheNewOneIsWholeAndSyncsOnce)
{
    TempFolder t;
    t.write(QStringLiteral("src/a.txt"), "new a");
    t.write(QStringLiteral("src/sub/b.txt"), noise(300000, 4));
    const QString archive = t.file(QStringLiteral("o.cab"));
    ASSERT_EQ(runCli({QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src"))}).code, 0);
    const QString dir = t.mkdir(QStringLiteral("dir"));
    const QStringList unpack = {QStringLiteral("cab"), QStringLiteral("unpack"), archive, dir};

    const QString a = t.write(QStringLiteral("dir/a.txt"), "old a");
    FaultRun failed = runCliWithFault(unpack, {QStringLiteral("write"), 1, dir, ENOSPC});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.err.contains("a.txt")) << failed.err.toStdString();
    EXPECT_EQ(readAll(a), "old a");
    EXPECT_TRUE(leftTemporaries(dir).isEmpty());

    // No per-file sync, but one of the whole file system, and no success without it.
    FaultRun counted = runCliWithFault(unpack, {QStringLiteral("syncfs"), 0, dir});
    ASSERT_EQ(counted.code, 0) << counted.err.toStdString();
    EXPECT_EQ(counted.calls, 1);
    FaultRun unsynced = runCliWithFault(unpack, {QStringLiteral("syncfs"), 1, dir});
    EXPECT_EQ(unsynced.code, 1);
    EXPECT_TRUE(unsynced.err.contains("Input/output error")) << unsynced.err.toStdString();
    EXPECT_EQ(readAll(a), "new a");
    EXPECT_EQ(readAll(t.file(QStringLiteral("dir/sub/b.txt"))), noise(300000, 4));
}

TEST(CabDurability, NamesTheReadersCannotHoldAreRefusedBeforeAnythingIsWritten)
{
    TempFolder t;
    // "\" + 200 + "\" + 54 = 256 bytes stored: one too many.
    const QString folder = QString(200, QLatin1Char('d'));
    t.write(QStringLiteral("src/") + folder + QLatin1Char('/') + QString(54, QLatin1Char('f')), "too long");
    const QString archive = t.write(QStringLiteral("o.cab"), "old archive");
    CliRun r = runCli({QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QString(54, QLatin1Char('f')).toUtf8())) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("too long")) << r.err.toStdString();
    EXPECT_EQ(readAll(archive), "old archive");

    // 255 bytes, and a name of two-byte characters at the limit, are read by cabextract.
    QDir(t.file(QStringLiteral("src"))).removeRecursively();
    t.write(QStringLiteral("src/") + folder + QLatin1Char('/') + QString(53, QLatin1Char('f')), "longest");
    t.write(QStringLiteral("src/") + QString(127, QChar(0x17C)), "żżż");
    r = runCli({QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src"))});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const ToolRun test = runTool(cabextract, {QStringLiteral("-t"), archive});
    EXPECT_EQ(test.code, 0) << test.out.toStdString();
    const QString back = t.mkdir(QStringLiteral("back"));
    EXPECT_EQ(runTool(cabextract, {QStringLiteral("-q"), QStringLiteral("-d"), back, archive}).code, 0);
    EXPECT_EQ(readAll(back + QLatin1Char('/') + folder + QLatin1Char('/') + QString(53, QLatin1Char('f'))), "longest");
}

TEST(CabDurability, ListedNamesWithControlCharactersAreEscapedAsTheDumpDoes)
{
    TempFolder t;
    const QString archive = t.write(QStringLiteral("odd.cab"),
                                    handMadeCabinet({{"\x1b[31mred", "1"}, {"dir\\two\nlines\tand\\x", "22"}}));
    const CliRun r = runCli({QStringLiteral("cab"), QStringLiteral("list"), archive});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "\\x1B[31mred\t1\t2020-01-01 00:00:00\n"
                     "dir\\two\\nlines\\tand\\x\t2\t2020-01-01 00:00:00\n");
    // Nor do the names in unpack's problems reach the terminal raw.
    const QString hostile = t.write(QStringLiteral("hostile.cab"), handMadeCabinet({{"..\\\x1b[2J", "x"}}));
    const CliRun u = runCli({QStringLiteral("cab"), QStringLiteral("unpack"), hostile, t.file(QStringLiteral("out"))});
    EXPECT_EQ(u.code, 1);
    EXPECT_EQ(u.err, hostile.toUtf8() + ": Name leads outside the target folder, not unpacked: ..\\\\x1B[2J\n");
}

TEST(CabDurability, ACabinetThatIsAFifoIsRefusedAtOnce)
{
    TempFolder t;
    const QString fifo = t.file(QStringLiteral("pipe.cab"));
    ASSERT_TRUE(makeFifo(fifo));
    FifoGuard guard({fifo});
    for (const QString &command : {QStringLiteral("list"), QStringLiteral("unpack")}) {
        QStringList args = {QStringLiteral("cab"), command, fifo};
        if (command == QLatin1String("unpack"))
            args << t.file(QStringLiteral("out"));
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, 1) << command.toStdString();
        EXPECT_EQ(r.err, "Not a regular file: " + fifo.toUtf8() + '\n');
    }
    const CliRun restore = runCli({QStringLiteral("restore"), fifo, t.mkdir(QStringLiteral("dev"))});
    EXPECT_EQ(restore.code, 1);
    EXPECT_TRUE(restore.err.contains("Not a regular file: " + fifo.toUtf8())) << restore.err.toStdString();
    // A FIFO among the files to pack is not waited on either.
    t.mkdir(QStringLiteral("src"));
    ASSERT_TRUE(makeFifo(t.file(QStringLiteral("src/pipe"))));
    FifoGuard packGuard({t.file(QStringLiteral("src/pipe"))});
    const CliRun r = runCli({QStringLiteral("cab"), QStringLiteral("pack"), t.file(QStringLiteral("p.cab")), t.file(QStringLiteral("src"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("pipe")) << r.err.toStdString();
    EXPECT_FALSE(guard.hadToRelease());
    EXPECT_FALSE(packGuard.hadToRelease());
}

TEST(CabDurability, UnpackWritesNothingIntoAFolderBeingBackedUp)
{
    TempFolder t;
    const QString archive = t.write(QStringLiteral("o.cab"), handMadeCabinet({{"a.txt", "new"}}));
    const QString dir = t.mkdir(QStringLiteral("device"));
    const QString old = t.write(QStringLiteral("device/a.txt"), "old");
    BusyFolders::mark(dir, QStringLiteral("busy being backed up"));
    TCABFile cab;
    cab.CABFile = archive;
    cab.TargetPath = dir;
    const bool done = cab.Extract();
    BusyFolders::release(dir);
    EXPECT_FALSE(done);
    EXPECT_EQ(cab.extractProblems(), QStringList{QStringLiteral("Can't write ") + old + QStringLiteral(": busy being backed up")});
    EXPECT_EQ(readAll(old), "old");
    EXPECT_TRUE(leftTemporaries(dir).isEmpty());
    ASSERT_TRUE(cab.Extract());
    EXPECT_EQ(readAll(old), "new");
}
