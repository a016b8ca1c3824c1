// SPDX-License-Identifier: GPL-3.0-or-later
// The cabinet component on its own: stored names, unpacking rules, failures.
#include "services/CabFile.h"
#include "tests/services/CabFixtures.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {
QStringList storedNames(const TCABFileContents &contents)
{
    QStringList names;
    for (const TCABFileEntry &e : contents)
        names << e.storedName();
    names.sort();
    return names;
}

void setTime(const QString &path, const QDateTime &when)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}
} // namespace

TEST(CabNames, AddFilesNamesEveryFileAsTheArchiveStoresIt)
{
    TempFolder t;
    t.write(QStringLiteral("a.txt"), "a");
    t.write(QStringLiteral("README"), "no dot");
    t.write(QStringLiteral(".hidden"), "h");
    t.write(QStringLiteral("Voices/Sub/a.vif"), "v");
    t.mkdir(QStringLiteral("Empty"));

    TCABFileContents recursive;
    recursive.AddFiles(t.path() + QStringLiteral("/*.*"), QString(), true);
    EXPECT_EQ(storedNames(recursive), (QStringList{".hidden", "README", "\\Voices\\Sub\\a.vif", "a.txt"}));
    for (const TCABFileEntry &e : recursive)
        EXPECT_TRUE(QFileInfo(e.Name).isFile()) << e.Name.toStdString();

    TCABFileContents flat;
    flat.AddFiles(t.path() + QStringLiteral("/*.txt"), QStringLiteral("Top"), false);
    EXPECT_EQ(storedNames(flat), QStringList{"Top\\a.txt"});
    TCABFileContents endsInSeparator;
    endsInSeparator.AddFiles(t.path() + QStringLiteral("/Voices/Sub/*"), QStringLiteral("X\\"), true);
    EXPECT_EQ(storedNames(endsInSeparator), QStringList{"X\\a.vif"});
}

TEST(CabNames, StoredNamesThatLeaveTheTargetAreUnsafe)
{
    for (const char *bad : {"..\\x", "a\\..\\..\\x", "C:\\x", "c:x", "\\\\server\\share\\x", "//x", "", "\\", "a/../../b"})
        EXPECT_FALSE(isSafeStoredName(QString::fromLatin1(bad))) << bad;
    for (const char *good : {"x", "\\Voices\\a.vif", "a\\b\\c", "a..b", "...x"})
        EXPECT_TRUE(isSafeStoredName(QString::fromLatin1(good))) << good;
}

TEST(CabNames, APathThroughALinkBelowTheTargetIsSeenWhereverTheLinkStands)
{
    TempFolder t;
    const QString root = t.mkdir(QStringLiteral("target"));
    t.mkdir(QStringLiteral("target/a/b"));
    t.mkdir(QStringLiteral("outside"));
    ASSERT_TRUE(QFile::link(t.file(QStringLiteral("outside")), t.file(QStringLiteral("target/a/out"))));
    ASSERT_TRUE(QFile::link(t.file(QStringLiteral("outside/none")), t.file(QStringLiteral("target/dangling"))));
    EXPECT_TRUE(passesThroughLink(root, QStringLiteral("a/out/x.txt")));
    EXPECT_TRUE(passesThroughLink(root, QStringLiteral("a/out")));
    EXPECT_TRUE(passesThroughLink(root, QStringLiteral("dangling")));
    EXPECT_TRUE(passesThroughLink(root, QStringLiteral("/a//out/")));
    EXPECT_FALSE(passesThroughLink(root, QStringLiteral("a/b/x.txt")));
    EXPECT_FALSE(passesThroughLink(root, QStringLiteral("new/folder/x.txt")));
    // The target itself may be reached through a link: only what lies below it counts.
    ASSERT_TRUE(QFile::link(root, t.file(QStringLiteral("alias"))));
    EXPECT_FALSE(passesThroughLink(t.file(QStringLiteral("alias")), QStringLiteral("a/b/x.txt")));
}

TEST(CabFile, RoundTripKeepsContentTimesAndAttributes)
{
    TempFolder t;
    const QDateTime when(QDate(2020, 5, 6), QTime(7, 8, 10));
    setTime(t.write(QStringLiteral("src/a.txt"), "hello"), when);
    const QString ro = t.write(QStringLiteral("src/ro.txt"), "read only");
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    t.write(QStringLiteral("src/.dot"), "hidden");
    t.write(QStringLiteral("src/Voices/a.vif"), QByteArray(100000, 'v'));
    t.write(QStringLiteral("src/Voices/empty"), {});

    for (auto type : {TCABFile::typNone, TCABFile::typMSZIP}) {
        TCABFile cab;
        cab.CompressionType = type;
        cab.CABFile = t.file(QStringLiteral("out.cab"));
        cab.CABFileContents.AddFiles(t.file(QStringLiteral("src/*")), QString(), true);
        ASSERT_TRUE(cab.Compress());
        QList<TCABStoredFile> listed;
        ASSERT_TRUE(cab.List(listed));
        ASSERT_EQ(listed.size(), 5);
        for (const TCABStoredFile &f : listed) {
            if (f.name == QLatin1String("a.txt")) {
                EXPECT_EQ(f.time, when);
                EXPECT_EQ(f.attributes, 0x20);
            }
            if (f.name == QLatin1String("ro.txt"))
                EXPECT_EQ(f.attributes, 0x21);
            if (f.name == QLatin1String(".dot"))
                EXPECT_EQ(f.attributes, 0x22);
        }
        cab.TargetPath = t.file(QStringLiteral("out"));
        QDir(cab.TargetPath).removeRecursively();
        ASSERT_TRUE(cab.Extract());
        EXPECT_EQ(treeOf(cab.TargetPath), treeOf(t.file(QStringLiteral("src"))));
        EXPECT_EQ(QFileInfo(t.file(QStringLiteral("out/a.txt"))).lastModified(), when);
    }
}

TEST(CabFile, ProgressEventsEndAtTheTotalWithoutOneEventPerBlock)
{
    TempFolder t;
    QByteArray data(3 * 1024 * 1024, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((unsigned(i) * 7919u) >> 5); // unsigned: the product passes INT_MAX
    t.write(QStringLiteral("src/big"), data);
    t.write(QStringLiteral("src/small"), "abc");
    TCABFile cab;
    cab.CABFile = t.file(QStringLiteral("p.cab"));
    cab.CABFileContents.AddFiles(t.file(QStringLiteral("src/*")), QString(), false);
    QList<qint64> positions;
    cab.OnCompressProgress = [&](TCABFile *sender, qint64 position, qint64 total) {
        EXPECT_EQ(sender, &cab);
        EXPECT_EQ(total, data.size() + 3);
        positions << position;
    };
    ASSERT_TRUE(cab.Compress());
    ASSERT_FALSE(positions.isEmpty());
    EXPECT_EQ(positions.last(), data.size() + 3);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_LT(positions.size(), data.size() / 32768); // not once per block

    QMap<QString, qint64> lastWritten;
    int events = 0;
    cab.TargetPath = t.file(QStringLiteral("out"));
    cab.OnDecompressProgress = [&](TCABFile *, const QString &name, qint64 position, qint64 size) {
        EXPECT_LE(position, size);
        lastWritten[name] = position;
        ++events;
    };
    ASSERT_TRUE(cab.Extract());
    EXPECT_LT(events, data.size() / 32768);
    EXPECT_EQ(lastWritten.value(QStringLiteral("big")), data.size());
    EXPECT_EQ(lastWritten.value(QStringLiteral("small")), 3);
}

TEST(CabFile, ExistingFilesAreReplacedUnlessTheEventSaysNo)
{
    TempFolder t;
    t.write(QStringLiteral("src/a.txt"), "new");
    TCABFile cab;
    cab.CABFile = t.file(QStringLiteral("o.cab"));
    cab.CABFileContents.AddFiles(t.file(QStringLiteral("src/*")), QStringLiteral("Voices"), false);
    ASSERT_TRUE(cab.Compress());
    cab.TargetPath = t.file(QStringLiteral("work"));
    const QString target = t.write(QStringLiteral("work/Voices/a.txt"), "old");

    ASSERT_TRUE(cab.Extract());
    EXPECT_EQ(readAll(target), "new");

    t.write(QStringLiteral("work/Voices/a.txt"), "old");
    QStringList asked;
    cab.OnOverWriteFile = [&](TCABFile *, const QString &name, bool &overwrite) {
        EXPECT_TRUE(overwrite);
        asked << name;
        overwrite = false;
    };
    ASSERT_TRUE(cab.Extract());
    EXPECT_EQ(asked, QStringList{QDir::cleanPath(target)});
    EXPECT_EQ(readAll(target), "old");
}

TEST(CabFile, ExtractNeverWritesOutsideTheTarget)
{
    TempFolder t;
    const QString outside = t.mkdir(QStringLiteral("outside"));
    const QString target = t.mkdir(QStringLiteral("target/inner"));
    ASSERT_TRUE(QFile::link(outside, t.file(QStringLiteral("target/inner/link"))));
    const QByteArray cab = handMadeCabinet({
        {"..\\up.txt", "x"},
        {"a\\..\\..\\up2.txt", "x"},
        {"C:\\drive.txt", "x"},
        {"\\\\server\\share.txt", "x"},
        {"link\\through.txt", "x"},
        {"link", "x"},
        {"good\\kept.txt", "kept"},
        {"\\top.txt", "top"},
    });
    TCABFile c;
    c.CABFile = t.write(QStringLiteral("evil.cab"), cab);
    c.TargetPath = target;
    EXPECT_FALSE(c.Extract());
    EXPECT_EQ(c.extractProblems().size(), 6);
    // Only the two harmless names came out, both inside.
    EXPECT_EQ(treeOf(t.file(QStringLiteral("target"))),
              (QList<QPair<QString, QByteArray>>{{"inner/good/kept.txt", "kept"}, {"inner/top.txt", "top"}}));
    EXPECT_TRUE(QDir(outside).isEmpty());
    EXPECT_TRUE(QFileInfo(t.file(QStringLiteral("target/inner/link"))).isSymLink());
    EXPECT_EQ(treeOf(t.path()).size(), 3); // the archive and the two unpacked files
}

TEST(CabFile, AMangledArchiveWhoseFileHasNoReadableDataFailsWithoutACrash)
{
    // Found by the unpacking fuzz target: the library then reads through a file it
    // could not open.
    const QByteArray mangled = QByteArray::fromHex(
        "4d53434600000000a5000000000000002c000000000000009900010004000000010000000400000000fe0000010000000000"
        "000000002150000020002e2e265c7570ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff2f747874"
        "00010000000100000000002175702e74787400010000000100000000002150000020007532705c74687200d9000000010000"
        "000000215000200000756e5c745c696e2e7478f400000000000500050078797a6f6b");
    TempFolder t;
    TCABFile cab;
    cab.CABFile = t.write(QStringLiteral("mangled.cab"), mangled);
    cab.TargetPath = t.file(QStringLiteral("target"));
    EXPECT_FALSE(cab.Extract());
    EXPECT_FALSE(cab.extractProblems().isEmpty());
}

TEST(CabFile, ExtractOfWhatIsNoCabinetReturnsFalseAndCreatesNothing)
{
    TempFolder t;
    TCABFile cab;
    cab.TargetPath = t.file(QStringLiteral("never"));
    cab.CABFile = t.write(QStringLiteral("not.cab"), "MSCF but nothing else");
    EXPECT_FALSE(cab.Extract());
    cab.CABFile = t.file(QStringLiteral("missing.cab"));
    EXPECT_FALSE(cab.Extract());
    EXPECT_FALSE(QFileInfo::exists(cab.TargetPath));
}

TEST(CabFile, AFailedCompressionLeavesNoArchiveAndTheOldOneIntact)
{
    TempFolder t;
    t.write(QStringLiteral("src/a"), QByteArray(200000, 'a'));
    TCABFile cab;
    cab.CABFile = t.write(QStringLiteral("old.cab"), "previous archive");
    cab.CABFileContents.AddFiles(t.file(QStringLiteral("src/*")), QString(), false);
    cab.CABFileContents.append({t.file(QStringLiteral("src/gone")), QString()});
    try {
        cab.Compress();
        FAIL() << "a missing file must fail";
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.code(), 1);
        EXPECT_EQ(e.fileName(), t.file(QStringLiteral("src/gone")));
        EXPECT_EQ(ECABFileError::text(1), QStringLiteral("Failure opening file to be stored in cabinet"));
    }
    EXPECT_EQ(readAll(cab.CABFile), "previous archive");
    EXPECT_EQ(QDir(t.path()).entryList(QDir::Files), QStringList{"old.cab"});

    // Nothing to pack: no archive either, as readers refuse a cabinet without files.
    cab.CABFileContents.clear();
    cab.CABFile = t.file(QStringLiteral("empty.cab"));
    EXPECT_THROW(cab.Compress(), ECABFileError);
    EXPECT_FALSE(QFileInfo::exists(cab.CABFile));
}

// In a set the limit is one block less: a cut folder of 65,535 blocks cannot be joined.
TEST(CabFile, AFileLargerThanOneFolderIsRefusedByName)
{
    for (const bool set : {false, true}) {
        TempFolder t;
        QFile big(t.file(QStringLiteral("huge.bin")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(set ? TCABFile::MaxFolderBytes : TCABFile::MaxFolderBytes + 1)); // sparse
        big.close();
        TCABFile cab;
        cab.CABFile = t.file(QStringLiteral("o.cab"));
        cab.AllowSet = set;
        cab.MaxCabinetSize = set ? 1000000 : cab.MaxCabinetSize;
        cab.CABFileContents.append({big.fileName(), QString()});
        try {
            cab.Compress();
            ADD_FAILURE() << "set: " << set;
        } catch (const ECABFileError &e) {
            EXPECT_EQ(e.code(), int(ECABFileError::TooLargeForFolder));
            EXPECT_TRUE(e.message().contains(big.fileName()));
        }
        EXPECT_EQ(QDir(t.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("huge.bin")});
    }
}

TEST(CabFile, AnArchiveOverTheMaximumCabinetSizeIsRefusedWhole)
{
    TempFolder t;
    QByteArray noise(300000, '\0');
    QRandomGenerator(9).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    t.write(QStringLiteral("src/a"), noise);
    TCABFile cab;
    cab.CABFile = t.file(QStringLiteral("o.cab"));
    cab.MaxCabinetSize = 100000;
    cab.CABFileContents.AddFiles(t.file(QStringLiteral("src/*")), QString(), false);
    try {
        cab.Compress();
        FAIL();
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.code(), int(ECABFileError::TooLargeForCabinet));
    }
    EXPECT_FALSE(QFileInfo::exists(cab.CABFile));
    cab.MaxCabinetSize = 2147483647;
    EXPECT_TRUE(cab.Compress());
}

TEST(CabFile, LzxWindowIsTheChosenMemory)
{
    TempFolder t;
    t.write(QStringLiteral("src/a"), QByteArray(100000, 'a'));
    TCABFile cab;
    cab.CABFile = t.file(QStringLiteral("l.cab"));
    cab.CompressionType = TCABFile::typLZX;
    cab.LZXMemory = TCABFile::lzxMedium;
    cab.CABFileContents.AddFiles(t.file(QStringLiteral("src/*")), QString(), false);
    ASSERT_TRUE(cab.Compress());
    const QByteArray bytes = readAll(cab.CABFile);
    // The folder's compression word: LZX (3) with the window's bits above it.
    EXPECT_EQ(quint8(bytes[36 + 6]), 3);
    EXPECT_EQ(quint8(bytes[36 + 7]), 18);
    EXPECT_LT(bytes.size(), 2000);
}

TEST(CabFile, FixedPropertiesAndErrorTexts)
{
    TCABFile cab;
    EXPECT_EQ(cab.Version(), QStringLiteral("1.5.1.1"));
    EXPECT_EQ(cab.CompressionType, TCABFile::typMSZIP);
    EXPECT_EQ(cab.LZXMemory, TCABFile::lzxLowest);
    EXPECT_EQ(ECABFileError::text(0), QStringLiteral("No error"));
    EXPECT_EQ(ECABFileError::text(8), QStringLiteral("Failure compressing data"));
    EXPECT_EQ(ECABFileError::text(9), QStringLiteral("Unknown error"));
    EXPECT_EQ(ECABFileError::text(-1), QStringLiteral("Unknown error"));
}

TEST(CabFile, SlicesOfAFileAreStoredUnderTheirOwnNames)
{
    TempFolder t;
    QByteArray content(300001, '\0');
    QRandomGenerator(4).fillRange(reinterpret_cast<quint32 *>(content.data()), 300000 / 4);
    content += "tail";
    const QString file = t.write(QStringLiteral("src/map.bin"), content);
    TCABFile cab;
    cab.CABFile = t.file(QStringLiteral("s.cab"));
    cab.CABFileContents.append({file, QStringLiteral("\\maps"), 0, 100000, QStringLiteral("map.bin.part1")});
    cab.CABFileContents.append({file, QStringLiteral("\\maps"), 100000, -1, QStringLiteral("map.bin.part2")});
    cab.CABFileContents.append({file, QString()});
    ASSERT_TRUE(cab.Compress());
    cab.TargetPath = t.file(QStringLiteral("out"));
    ASSERT_TRUE(cab.Extract());
    EXPECT_EQ(readAll(t.file(QStringLiteral("out/maps/map.bin.part1"))), content.left(100000));
    EXPECT_EQ(readAll(t.file(QStringLiteral("out/maps/map.bin.part2"))), content.mid(100000));
    EXPECT_EQ(readAll(t.file(QStringLiteral("out/map.bin"))), content);
    const ToolRun test = runTool(QStringLiteral("cabextract"), {QStringLiteral("-t"), cab.CABFile});
    EXPECT_EQ(test.code, 0) << test.out.toStdString();

    // A slice that reaches past the end of its file, or starts before it, is no archive.
    for (const auto &[offset, length] : {std::pair<qint64, qint64>{300000, 10}, {-1, 10}}) {
        cab.CABFileContents = {};
        cab.CABFileContents.append({file, QString(), offset, length, QStringLiteral("x")});
        cab.CABFile = t.file(QStringLiteral("bad.cab"));
        EXPECT_THROW(cab.Compress(), ECABFileError);
        EXPECT_FALSE(QFileInfo::exists(cab.CABFile));
    }
}
