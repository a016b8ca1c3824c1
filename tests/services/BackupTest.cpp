// SPDX-License-Identifier: GPL-3.0-or-later
// Full backups of a device folder and restores from them, checked with libmspack,
// cabextract and byte-for-byte comparison of the trees.
#include "platform/Error.h"
#include "services/Backup.h"
#include "services/CabFile.h"
#include "services/Restore.h"
#include "tests/services/CabFixtures.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {
// Times kept by the format: two-second steps, local time.
const QDateTime Stamp(QDate(2024, 5, 17), QTime(9, 41, 12));

void setTime(const QString &path, const QDateTime &t)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_TRUE(f.setFileTime(t, QFileDevice::FileModificationTime));
}

QByteArray noise(int size, quint32 seed)
{
    QByteArray b(size + 3, '\0');
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(b.data()), (size + 3) / 4);
    b.truncate(size);
    return b;
}

// A small device: root files, a hidden file in a subfolder, a hidden folder, deep
// and empty files, a read-only file; each with its own time.
QString makeDevice(const TempFolder &t, const QString &name = QStringLiteral("dev"))
{
    const QString root = t.mkdir(name);
    const QList<QPair<QString, QByteArray>> files = {
        {QStringLiteral("TTGO.BIF"), "[TomTomGo]\nDeviceSerialNumber=AB1234\n"},
        {QStringLiteral("ttsystem"), noise(70000, 1)},
        {QStringLiteral("Voices/.hidden.chk"), "hidden voice"},
        {QStringLiteral("Voices/Anna.chk"), QByteArray(40000, 'v')},
        {QStringLiteral(".config/state.dat"), "state"},
        {QStringLiteral("Maps/Europe/deep/roads.dat"), noise(250000, 2)},
        {QStringLiteral("empty.txt"), {}},
        {QStringLiteral("Zażółć/gęślą.ov2"), "poi"},
    };
    int n = 0;
    for (const auto &f : files) {
        setTime(t.write(name + QLatin1Char('/') + f.first, f.second), Stamp.addSecs(2 * ++n * 3600));
    }
    QFile::setPermissions(root + QStringLiteral("/Voices/Anna.chk"), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    return root;
}

// Relative path -> content, time and whether it may be written.
struct FileState {
    QByteArray content;
    QDateTime time;
    bool writable = true;
    bool operator==(const FileState &o) const
    {
        return content == o.content && time == o.time && writable == o.writable;
    }
};
QMap<QString, FileState> stateOf(const QString &root)
{
    QMap<QString, FileState> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        files.insert(path.mid(root.size() + 1),
                     {readAll(path), info.lastModified(), bool(info.permissions() & QFileDevice::WriteOwner)});
    }
    return files;
}

TBackup backupOf(const QString &root, const QString &out)
{
    TBackup b;
    b.Root = root;
    b.OutFolder = out;
    b.Serial = QStringLiteral("AB1234");
    b.When = QDateTime(QDate(2026, 12, 8), QTime(14, 30, 5));
    return b;
}
} // namespace

TEST(Backup, HoldsEveryFileOnceUnderItsFolderPathWithNameAndTimesOfTheDevice)
{
    TempFolder t;
    const QString root = makeDevice(t);
    TBackup b = backupOf(root, t.file(QStringLiteral("out")));
    const TBackupResult r = b.Run();

    // The first of two backups in the same second keeps the time it was started.
    ASSERT_EQ(r.cabinets, QStringList{t.file(QStringLiteral("out/TT_AB1234_20261208143005.bak"))});
    const QStringList expected = {
        QStringLiteral("TTGO.BIF"), QStringLiteral("\\.config\\state.dat"), QStringLiteral("\\Maps\\Europe\\deep\\roads.dat"),
        QStringLiteral("\\Voices\\.hidden.chk"), QStringLiteral("\\Voices\\Anna.chk"), QStringLiteral("\\Zażółć\\gęślą.ov2"),
        QStringLiteral("empty.txt"), QStringLiteral("ttsystem")};
    QStringList sorted = expected;
    sorted.sort();
    EXPECT_EQ(storedNames(r.cabinets.first()), sorted);
    EXPECT_EQ(r.files, 8);
    EXPECT_EQ(r.verification(), QStringLiteral("Backup verified: 8 files, 0.3 MB in 1 cabinets"));

    TCABFile cab;
    cab.CABFile = r.cabinets.first();
    QList<TCABStoredFile> files;
    ASSERT_TRUE(cab.List(files));
    for (const TCABStoredFile &f : files) {
        QString relative = f.name;
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QFileInfo device(root + QLatin1Char('/') + relative);
        EXPECT_EQ(f.time, device.lastModified()) << f.name.toStdString();
        EXPECT_EQ(f.size, device.size()) << f.name.toStdString();
        EXPECT_EQ(bool(f.attributes & 0x01), f.name.endsWith(QLatin1String("Anna.chk"))) << f.name.toStdString();
        EXPECT_EQ(bool(f.attributes & 0x02), device.fileName().startsWith(QLatin1Char('.'))) << f.name.toStdString();
    }

    // A second backup in the same second is a second archive, never a replaced one.
    const TBackupResult again = b.Run();
    ASSERT_EQ(again.cabinets.size(), 1);
    EXPECT_NE(again.cabinets.first(), r.cabinets.first());
    EXPECT_TRUE(QFileInfo::exists(r.cabinets.first()));
    EXPECT_EQ(storedNames(again.cabinets.first()), sorted);
}

TEST(Backup, NamesFollowSerialAndTimeAndAnEmptySerialLeavesTwoUnderscores)
{
    TempFolder t;
    const QString root = makeDevice(t);
    TBackup b = backupOf(root, t.file(QStringLiteral("out")));
    b.Serial.clear();
    EXPECT_EQ(b.Run().cabinets, QStringList{t.file(QStringLiteral("out/TT__20261208143005.bak"))});
    EXPECT_EQ(TBackup::continuationName(QStringLiteral("/b/TT_X_20261208143005.bak"), 3),
              QStringLiteral("/b/TT_X_20261208143005_3.bak"));
}

TEST(Backup, AnOutputFolderInsideTheDeviceIsNotBackedUpIntoItself)
{
    TempFolder t;
    const QString root = makeDevice(t);
    TBackup b = backupOf(root, root + QStringLiteral("/backups"));
    const TBackupResult first = b.Run();
    const TBackupResult second = b.Run();
    EXPECT_EQ(storedNames(second.cabinets.first()), storedNames(first.cabinets.first()));
    EXPECT_EQ(second.files, 8);
}

TEST(Backup, AnUnreadableFileOrAChangedFileStopsTheBackupAndLeavesNoArchive)
{
    TempFolder t;
    const QString root = makeDevice(t);
    const QString out = t.file(QStringLiteral("out"));
    {
        // A file gone between listing and packing cannot be opened.
        const QString gone = t.write(QStringLiteral("dev/Voices/gone.chk"), "soon gone");
        TBackup b = backupOf(root, out);
        b.OnProgress = [&](const QString &phase, qint64 position, qint64) {
            if (phase == QLatin1String("Compressing...") && position == 0)
                QFile::remove(gone);
        };
        try {
            b.Run();
            FAIL() << "a file that cannot be opened was backed up";
        } catch (const ECABFileError &e) {
            EXPECT_EQ(e.code(), 1);
            EXPECT_EQ(e.message(), QStringLiteral("Failure opening file to be stored in cabinet: ") + gone);
        }
        EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
    {
        // A device file that changes between packing and checking fails the check.
        TBackup b = backupOf(root, out);
        const QString changing = root + QStringLiteral("/ttsystem");
        b.OnProgress = [&](const QString &phase, qint64 position, qint64) {
            if (phase == QLatin1String("Verifying...") && position == 0)
                t.write(QStringLiteral("dev/ttsystem"), noise(70000, 99));
        };
        try {
            b.Run();
            FAIL() << "a backup that does not match the device was reported done";
        } catch (const KorvixError &e) {
            EXPECT_TRUE(e.message().contains(changing)) << e.what();
        }
        EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

TEST(BackupRestore, IntoAnEmptyFolderGivesTheDeviceByteForByteWithTimesAndReadOnly)
{
    TempFolder t;
    const QString root = makeDevice(t);
    const TBackupResult r = backupOf(root, t.file(QStringLiteral("out"))).Run();

    const QString empty = t.mkdir(QStringLiteral("empty"));
    TRestore restore(r.cabinets.first(), empty);
    restore.Load();
    EXPECT_TRUE(restore.Refused().isEmpty());
    ASSERT_EQ(restore.Items().size(), 8);
    for (const TRestoreItem &i : restore.Items())
        EXPECT_EQ(i.state, TRestoreItem::New) << i.name.toStdString();
    EXPECT_EQ(restore.Restore(), 8);
    EXPECT_TRUE(stateOf(empty) == stateOf(root));
    // A second restore finds every file the same and still writes over the read-only one.
    TRestore again(r.cabinets.first(), empty);
    again.Load();
    for (const TRestoreItem &i : again.Items())
        EXPECT_EQ(i.state, TRestoreItem::Same) << i.name.toStdString();
    EXPECT_EQ(again.Restore(), 8);
    EXPECT_TRUE(stateOf(empty) == stateOf(root));
}

TEST(BackupRestore, ComparesWithTheDeviceAndRestoresOnlyTheChosenFiles)
{
    TempFolder t;
    const QString root = makeDevice(t);
    const TBackupResult r = backupOf(root, t.file(QStringLiteral("out"))).Run();
    const auto before = stateOf(root);
    t.write(QStringLiteral("dev/ttsystem"), "changed");
    setTime(t.write(QStringLiteral("dev/empty.txt"), {}), Stamp.addDays(3)); // time only
    QFile::remove(root + QStringLiteral("/Voices/.hidden.chk"));
    t.write(QStringLiteral("dev/Zażółć/gęślą.ov2"), "new content");

    TRestore restore(r.cabinets.first(), root);
    restore.Load();
    QMap<QString, TRestoreItem::State> states;
    for (const TRestoreItem &i : restore.Items())
        states.insert(i.name, i.state);
    EXPECT_EQ(states.value(QStringLiteral("ttsystem")), TRestoreItem::Changed);
    EXPECT_EQ(states.value(QStringLiteral("empty.txt")), TRestoreItem::Changed);
    EXPECT_EQ(states.value(QStringLiteral("Voices/.hidden.chk")), TRestoreItem::New);
    EXPECT_EQ(states.value(QStringLiteral("Maps/Europe/deep/roads.dat")), TRestoreItem::Same);
    EXPECT_EQ(restore.Unknown({QStringLiteral("\\ttsystem"), QStringLiteral("nope")}), QStringList{QStringLiteral("nope")});

    EXPECT_EQ(restore.Restore({QStringLiteral("ttsystem"), QStringLiteral("\\Voices\\.hidden.chk")}), 2);
    const auto after = stateOf(root);
    EXPECT_TRUE(after.value(QStringLiteral("ttsystem")) == before.value(QStringLiteral("ttsystem")));
    EXPECT_TRUE(after.value(QStringLiteral("Voices/.hidden.chk")) == before.value(QStringLiteral("Voices/.hidden.chk")));
    EXPECT_EQ(after.value(QStringLiteral("Zażółć/gęślą.ov2")).content, QByteArray("new content"));
}

TEST(BackupRestore, ACancelledRestoreLeavesTheFileBeingWrittenAsItWas)
{
    TempFolder t;
    const QString root = makeDevice(t);
    const TBackupResult r = backupOf(root, t.file(QStringLiteral("out"))).Run();
    t.write(QStringLiteral("dev/Maps/Europe/deep/roads.dat"), "old");
    TRestore restore(r.cabinets.first(), root);
    restore.Load();
    restore.Cancelled = [] { return true; };
    EXPECT_THROW(restore.Restore({QStringLiteral("Maps/Europe/deep/roads.dat")}), KorvixError);
    EXPECT_EQ(readAll(root + QStringLiteral("/Maps/Europe/deep/roads.dat")), QByteArray("old"));
    EXPECT_EQ(QDir(root + QStringLiteral("/Maps/Europe/deep")).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("roads.dat")});
}

TEST(BackupRestore, AHostileArchiveNeverWritesOutsideTheDeviceFolder)
{
    TempFolder t;
    const QString root = t.mkdir(QStringLiteral("dev"));
    t.mkdir(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QFile::link(t.file(QStringLiteral("elsewhere")), root + QStringLiteral("/link")));
    const QString bak = t.write(QStringLiteral("hostile.bak"),
                                handMadeCabinet({{"..\\up.txt", "x"},
                                                 {"\\..\\..\\up2.txt", "x"},
                                                 {"a\\..\\..\\up3.txt", "x"},
                                                 {"C:\\drive.txt", "x"},
                                                 {"\\\\server\\share.txt", "x"},
                                                 {"link\\through.txt", "x"},
                                                 {"\\Voices\\fine.chk", "fine"}}));
    TRestore restore(bak, root);
    restore.Load();
    ASSERT_EQ(restore.Items().size(), 1);
    EXPECT_EQ(restore.Items().first().name, QStringLiteral("Voices/fine.chk"));
    EXPECT_EQ(restore.Refused().size(), 6);
    EXPECT_EQ(restore.Restore(), 1);
    EXPECT_EQ(readAll(root + QStringLiteral("/Voices/fine.chk")), QByteArray("fine"));
    const auto outside = treeOf(t.path());
    QStringList names;
    for (const auto &f : outside)
        names << f.first;
    EXPECT_EQ(names, (QStringList{QStringLiteral("dev/Voices/fine.chk"), QStringLiteral("hostile.bak")}));

    // A link made after the comparison is refused when the file is written.
    const QString late = t.write(QStringLiteral("late.bak"), handMadeCabinet({{"\\later\\x.txt", "x"}}));
    TRestore lateRestore(late, root);
    lateRestore.Load();
    ASSERT_EQ(lateRestore.Items().size(), 1);
    ASSERT_TRUE(QFile::link(t.file(QStringLiteral("elsewhere")), root + QStringLiteral("/later")));
    EXPECT_THROW(lateRestore.Restore(), KorvixError);
    EXPECT_FALSE(QFileInfo::exists(t.file(QStringLiteral("elsewhere/x.txt"))));
}

TEST(BackupRestore, NotABackupIsReported)
{
    TempFolder t;
    const QString root = t.mkdir(QStringLiteral("dev"));
    for (const QByteArray &content : {QByteArray("<html>error</html>"), QByteArray()}) {
        TRestore restore(t.write(QStringLiteral("bad.bak"), content), root);
        EXPECT_THROW(restore.Load(), KorvixError);
    }
    TRestore missing(t.file(QStringLiteral("missing.bak")), root);
    EXPECT_THROW(missing.Load(), KorvixError);
}

TEST(BackupRestore, CabextractUnpacksTheBackupToTheDeviceTree)
{
    TempFolder t;
    const QString root = makeDevice(t);
    const TBackupResult r = backupOf(root, t.file(QStringLiteral("out"))).Run();
    const QString out = t.file(QStringLiteral("unpacked"));
    const ToolRun run = runTool(QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), out, r.cabinets.first()});
    ASSERT_EQ(run.code, 0) << run.out.toStdString();
    EXPECT_TRUE(treeOf(out) == treeOf(root));
}

TEST(BackupCli, BacksUpComparesAndRestoresNamedFiles)
{
    TempFolder t;
    const QString root = makeDevice(t);
    const QString out = t.file(QStringLiteral("out"));
    const CliRun backup = runCli({QStringLiteral("backup"), root, out});
    ASSERT_EQ(backup.code, 0) << backup.err.toStdString();
    const QList<QByteArray> lines = backup.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << backup.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(out.toUtf8() + "/TT_AB1234_")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(".bak"));
    EXPECT_EQ(lines[1], QByteArray("Backup verified: 8 files, 0.3 MB in 1 cabinets"));
    EXPECT_TRUE(backup.err.contains("Compressing... 100%")) << backup.err.toStdString();
    EXPECT_TRUE(backup.err.contains("Verifying... 100%")) << backup.err.toStdString();
    const QString bak = QString::fromUtf8(lines[0]);

    t.write(QStringLiteral("dev/ttsystem"), "changed");
    QFile::remove(root + QStringLiteral("/Voices/.hidden.chk"));
    const CliRun dry = runCli({QStringLiteral("restore"), bak, root, QStringLiteral("--dry-run")});
    ASSERT_EQ(dry.code, 0) << dry.err.toStdString();
    EXPECT_TRUE(dry.out.contains("changed\tttsystem\t70000\n")) << dry.out.toStdString();
    EXPECT_TRUE(dry.out.contains("new\tVoices/.hidden.chk\t12\n")) << dry.out.toStdString();
    EXPECT_TRUE(dry.out.contains("same\tTTGO.BIF\t"));
    EXPECT_EQ(dry.out.count('\n'), 8);
    EXPECT_EQ(readAll(root + QStringLiteral("/ttsystem")), QByteArray("changed"));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/Voices/.hidden.chk")));

    const CliRun named = runCli({QStringLiteral("restore"), bak, root, QStringLiteral("Voices/.hidden.chk")});
    ASSERT_EQ(named.code, 0) << named.err.toStdString();
    EXPECT_EQ(readAll(root + QStringLiteral("/Voices/.hidden.chk")), QByteArray("hidden voice"));
    EXPECT_EQ(readAll(root + QStringLiteral("/ttsystem")), QByteArray("changed"));

    const CliRun unknown = runCli({QStringLiteral("restore"), bak, root, QStringLiteral("nope.txt")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_TRUE(unknown.err.contains("not in the backup: nope.txt")) << unknown.err.toStdString();
    const CliRun all = runCli({QStringLiteral("restore"), bak, root});
    ASSERT_EQ(all.code, 0) << all.err.toStdString();
    EXPECT_EQ(readAll(root + QStringLiteral("/ttsystem")), noise(70000, 1));
}

namespace {
// A device of incompressible files, so a small cabinet limit needs several cabinets.
QString makeNoisyDevice(const TempFolder &t)
{
    const QString root = t.mkdir(QStringLiteral("noisy"));
    setTime(t.write(QStringLiteral("noisy/TTGO.BIF"), "[TomTomGo]\n"), Stamp);
    setTime(t.write(QStringLiteral("noisy/Maps/big.bin"), noise(250000, 7)), Stamp.addDays(1));
    setTime(t.write(QStringLiteral("noisy/Maps/solo.part1"), noise(1000, 8)), Stamp.addDays(2));
    for (int i = 0; i < 6; ++i)
        setTime(t.write(QStringLiteral("noisy/Voices/v%1.ogg").arg(i), noise(90000, 10 + i)), Stamp.addSecs(60 * i));
    return root;
}
} // namespace

TEST(BackupSet, ALargeBackupContinuesInNumberedCabinetsThatCabextractAndRestoreReadWhole)
{
    TempFolder t;
    const QString root = makeNoisyDevice(t);
    TBackup b = backupOf(root, t.file(QStringLiteral("out")));
    b.MaxCabinetSize = 200000;
    const TBackupResult r = b.Run();
    ASSERT_GE(r.cabinets.size(), 4);
    const QString first = t.file(QStringLiteral("out/TT_AB1234_20261208143005.bak"));
    EXPECT_EQ(r.cabinets.first(), first);
    for (int n = 2; n <= r.cabinets.size(); ++n)
        EXPECT_EQ(r.cabinets[n - 1], t.file(QStringLiteral("out/TT_AB1234_20261208143005_%1.bak").arg(n)));
    for (const QString &c : r.cabinets)
        EXPECT_LE(QFileInfo(c).size(), 200000) << c.toStdString();
    EXPECT_EQ(r.verification(), QStringLiteral("Backup verified: 9 files, 0.8 MB in %1 cabinets").arg(r.cabinets.size()));

    const QString out = t.file(QStringLiteral("unpacked"));
    const ToolRun run = runTool(QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), out, first});
    ASSERT_EQ(run.code, 0) << run.out.toStdString();
    EXPECT_TRUE(treeOf(out) == treeOf(root));

    const QString empty = t.mkdir(QStringLiteral("empty"));
    TRestore restore(first, empty);
    restore.Load();
    EXPECT_EQ(restore.Cabinets(), r.cabinets);
    EXPECT_EQ(restore.Restore(), 9);
    EXPECT_TRUE(stateOf(empty) == stateOf(root));

    // A set with a cabinet missing is reported, not half restored.
    QFile::remove(r.cabinets[2]);
    TRestore broken(first, t.mkdir(QStringLiteral("broken")));
    try {
        broken.Load();
        FAIL() << "a set without its third cabinet was read";
    } catch (const KorvixError &e) {
        EXPECT_TRUE(e.message().contains(QFileInfo(r.cabinets[2]).fileName())) << e.what();
    }
}

TEST(BackupSet, AFileOverTheFolderLimitIsStoredInPartsThatRestoreJoins)
{
    TempFolder t;
    const QString root = makeNoisyDevice(t);
    const QString outFolder = t.file(QStringLiteral("out"));
    TBackup b = backupOf(root, outFolder);
    b.PartBytes = 100000;
    const TBackupResult r = b.Run();
    EXPECT_EQ(r.splitFiles, QStringList{QStringLiteral("Maps/big.bin")});
    EXPECT_EQ(r.files, 9);
    EXPECT_TRUE(r.closingMessage().endsWith(QStringLiteral("stored in numbered parts: Maps/big.bin"))) << r.closingMessage().toStdString();
    // Only the archive stays in the backup folder, not the parts made on the way.
    EXPECT_EQ(QDir(outFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("TT_AB1234_20261208143005.bak")});

    const QStringList names = storedNames(r.cabinets.first());
    for (const char *part : {"\\Maps\\big.bin.part1", "\\Maps\\big.bin.part2", "\\Maps\\big.bin.part3"})
        EXPECT_TRUE(names.contains(QLatin1String(part))) << part;
    EXPECT_FALSE(names.contains(QStringLiteral("\\Maps\\big.bin")));
    // cabextract gives the parts, which make the file again.
    const QString out = t.file(QStringLiteral("unpacked"));
    ASSERT_EQ(runTool(QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), out, r.cabinets.first()}).code, 0);
    EXPECT_EQ(readAll(out + QStringLiteral("/Maps/big.bin.part1")) + readAll(out + QStringLiteral("/Maps/big.bin.part2"))
                  + readAll(out + QStringLiteral("/Maps/big.bin.part3")),
              readAll(root + QStringLiteral("/Maps/big.bin")));

    const QString empty = t.mkdir(QStringLiteral("empty"));
    TRestore restore(r.cabinets.first(), empty);
    restore.Load();
    EXPECT_EQ(restore.Items().size(), 9);
    EXPECT_EQ(restore.Restore(), 9);
    // The single ".part1" of the device is a file of its own, not a part.
    EXPECT_TRUE(stateOf(empty) == stateOf(root));
}

TEST(BackupSet, CancelOrFailureHalfWayLeavesNoCabinetOfTheSet)
{
    TempFolder t;
    const QString root = makeNoisyDevice(t);
    const QString out = t.file(QStringLiteral("out"));
    const auto leftovers = [&] { return QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };
    for (const QString &phase : {QStringLiteral("Compressing..."), QStringLiteral("Verifying...")}) {
        SCOPED_TRACE(phase.toStdString());
        TBackup b = backupOf(root, out);
        b.MaxCabinetSize = 200000;
        b.PartBytes = 100000;
        bool stop = false;
        b.OnProgress = [&](const QString &p, qint64 position, qint64 total) {
            stop = stop || (p == phase && position > total / 2);
        };
        b.Cancelled = [&] { return stop; };
        try {
            b.Run();
            FAIL() << "a cancelled backup was reported done";
        } catch (const ECABFileError &e) {
            EXPECT_EQ(e.code(), int(ECABFileError::Cancelled));
        }
        EXPECT_TRUE(stop);
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
    }
    // A file that cannot be read at the end of the set.
    const QString gone = t.write(QStringLiteral("noisy/Voices/zz.ogg"), noise(1000, 3));
    TBackup b = backupOf(root, out);
    b.MaxCabinetSize = 200000;
    b.OnProgress = [&](const QString &phase, qint64 position, qint64) {
        if (phase == QLatin1String("Compressing...") && position == 0)
            QFile::remove(gone);
    };
    EXPECT_THROW(b.Run(), ECABFileError);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
}
