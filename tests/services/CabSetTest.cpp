// SPDX-License-Identifier: GPL-3.0-or-later
// Archives larger than one cabinet: sets that the independent reader and libmspack
// follow from the first cabinet, and failures that leave no cabinet behind.
#include "services/CabFile.h"
#include "tests/services/CabFixtures.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

namespace {
constexpr qint64 OneMB = 1000000;

QByteArray noise(qsizetype size, quint32 seed)
{
    QByteArray bytes(size + 3, '\0');
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    bytes.resize(size);
    return bytes;
}

quint16 u16(const QByteArray &b, int at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

// The header of one cabinet as a reader sees it.
struct Header {
    quint16 folders = 0, files = 0, flags = 0, setId = 0, index = 0;
    QByteArray prev, next;
    QList<QPair<QByteArray, quint16>> entries; // stored name and folder index
};

Header headerOf(const QString &path)
{
    const QByteArray b = readAll(path);
    Header h;
    if (b.size() < 36 || !b.startsWith("MSCF"))
        return h;
    h.folders = u16(b, 26);
    h.files = u16(b, 28);
    h.flags = u16(b, 30);
    h.setId = u16(b, 32);
    h.index = u16(b, 34);
    int at = 36;
    const auto text = [&] {
        const QByteArray s(b.constData() + at);
        at += int(s.size()) + 1;
        return s;
    };
    if (h.flags & 1) {
        h.prev = text();
        text();
    }
    if (h.flags & 2) {
        h.next = text();
        text();
    }
    at = int(quint32(u16(b, 16)) | quint32(u16(b, 18)) << 16);
    for (int i = 0; i < h.files; ++i) {
        const quint16 folder = u16(b, at + 8);
        at += 16;
        h.entries.append({text(), folder});
    }
    return h;
}

// Random content (nothing to gain by compression): a file across all three cabinets of
// 1 MB, small files and an empty one.
QList<QPair<QString, QByteArray>> fillSetTree(const TempFolder &t)
{
    t.write(QStringLiteral("src/a small.txt"), "first");
    t.write(QStringLiteral("src/big.bin"), noise(2200000, 1));
    t.write(QStringLiteral("src/empty"), {});
    for (int i = 0; i < 20; ++i)
        t.write(QStringLiteral("src/Voices/v%1.bin").arg(i), noise(10000 + 997 * i, 100 + i));
    t.write(QStringLiteral("src/Łódź/żółw.txt"), "ż");
    return treeOf(t.file(QStringLiteral("src")));
}

TCABFile setOf(const TempFolder &t, TCABFile::TCompressionType type, const QString &name = QStringLiteral("OUT.cab"))
{
    TCABFile cab;
    cab.CompressionType = type;
    cab.LZXMemory = TCABFile::lzxHighest;
    cab.CABFile = t.file(name);
    cab.MaxCabinetSize = OneMB;
    cab.AllowSet = true;
    cab.CABFileContents.AddFiles(t.file(QStringLiteral("src/*")), QString(), true);
    return cab;
}

quint32 crcOf(const QByteArray &data)
{
    return quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
}
} // namespace

TEST(CabSet, ThreeCabinetsOfEveryKindUnpackWholeFromTheFirst)
{
    TempFolder t;
    const auto source = fillSetTree(t);
    for (auto type : {TCABFile::typNone, TCABFile::typMSZIP, TCABFile::typLZX}) {
        SCOPED_TRACE(int(type));
        TCABFile cab = setOf(t, type);
        ASSERT_TRUE(cab.Compress());
        const QStringList written = cab.CabinetsWritten();
        ASSERT_EQ(written, (QStringList{t.file(QStringLiteral("OUT.cab")), t.file(QStringLiteral("OUT_2.cab")),
                                        t.file(QStringLiteral("OUT_3.cab"))}));
        for (int i = 0; i < written.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_LE(QFileInfo(written[i]).size(), OneMB);
            const Header h = headerOf(written[i]);
            EXPECT_EQ(h.setId, 12345);
            EXPECT_EQ(h.index, i);
            EXPECT_EQ(h.flags, (i > 0 ? 1 : 0) | (i < 2 ? 2 : 0));
            EXPECT_EQ(h.prev, i > 0 ? QFileInfo(written[i - 1]).fileName().toUtf8() : QByteArray());
            EXPECT_EQ(h.next, i < 2 ? QFileInfo(written[i + 1]).fileName().toUtf8() : QByteArray());
        }
        // The large file runs through the middle cabinet, continued at both ends.
        EXPECT_TRUE(headerOf(written[0]).entries.contains(qMakePair(QByteArray("big.bin"), quint16(0xFFFE))));
        EXPECT_EQ(headerOf(written[1]).entries, (QList<QPair<QByteArray, quint16>>{{"big.bin", 0xFFFF}}));
        EXPECT_TRUE(headerOf(written[2]).entries.contains(qMakePair(QByteArray("big.bin"), quint16(0xFFFD))));

        const ToolRun test = runTool(QStringLiteral("cabextract"), {QStringLiteral("-t"), cab.CABFile});
        EXPECT_EQ(test.code, 0) << test.out.toStdString();
        EXPECT_TRUE(test.out.contains("All done, no errors.")) << test.out.toStdString();
        const QString out = t.file(QStringLiteral("cabextract-%1").arg(int(type)));
        const ToolRun unpack = runTool(QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), out, cab.CABFile});
        EXPECT_EQ(unpack.code, 0) << unpack.out.toStdString();
        EXPECT_TRUE(treeOf(out) == source);

        cab.TargetPath = t.file(QStringLiteral("ours-%1").arg(int(type)));
        EXPECT_TRUE(cab.Extract()) << cab.extractProblems().join('\n').toStdString();
        EXPECT_TRUE(treeOf(cab.TargetPath) == source);

        QList<TCABStoredFile> listed;
        ASSERT_TRUE(cab.List(listed));
        QStringList names;
        for (const TCABStoredFile &f : listed)
            names << f.name;
        EXPECT_EQ(names.size(), source.size());
        EXPECT_EQ(names.count(QStringLiteral("big.bin")), 1);

        QMap<QString, quint32> crcs;
        EXPECT_TRUE(cab.Verify([&](const TCABStoredFile &f, quint32 crc) { crcs[f.name] = crc; }));
        ASSERT_EQ(crcs.size(), source.size());
        for (const auto &f : source) {
            QString stored = f.first.contains(QLatin1Char('/')) ? QLatin1Char('/') + f.first : f.first;
            EXPECT_EQ(crcs.value(stored.replace(QLatin1Char('/'), QLatin1Char('\\'))), crcOf(f.second)) << f.first.toStdString();
        }
    }
}

TEST(CabSet, ManySmallFilesFillCabinetsFolderByFolder)
{
    TempFolder t;
    for (int i = 0; i < 300; ++i)
        t.write(QStringLiteral("src/d%1/f%2").arg(i % 7).arg(i), noise(i * 97 % 20000, quint32(i)));
    const auto source = treeOf(t.file(QStringLiteral("src")));
    TCABFile cab = setOf(t, TCABFile::typMSZIP, QStringLiteral("many.cab"));
    cab.CabinetName = [&](int number) { return t.file(QStringLiteral("part%1.cab").arg(number)); };
    ASSERT_TRUE(cab.Compress());
    const QStringList written = cab.CabinetsWritten();
    ASSERT_GE(written.size(), 3);
    EXPECT_EQ(written[1], t.file(QStringLiteral("part2.cab")));
    int entries = 0;
    for (const QString &path : written)
        entries += headerOf(path).files;
    EXPECT_EQ(entries, source.size()); // no file cut in two: every file listed once

    const QString out = t.file(QStringLiteral("out"));
    const ToolRun unpack = runTool(QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), out, cab.CABFile});
    EXPECT_EQ(unpack.code, 0) << unpack.out.toStdString();
    EXPECT_TRUE(treeOf(out) == source);
    cab.TargetPath = t.file(QStringLiteral("ours"));
    EXPECT_TRUE(cab.Extract());
    EXPECT_TRUE(treeOf(cab.TargetPath) == source);
}

TEST(CabSet, CabinetNamesTheReadersCouldNotFollowAreRefused)
{
    TempFolder t;
    fillSetTree(t);
    const QString other = t.mkdir(QStringLiteral("other"));
    const QList<std::function<QString(int)>> names{
        [&](int) { return t.file(QStringLiteral("same.cab")); },
        [&](int number) { return number == 3 ? t.file(QStringLiteral("OUT.CAB")) : t.file(QStringLiteral("b.cab")); },
        [&](int number) { return other + QStringLiteral("/part%1.cab").arg(number); },
    };
    for (const auto &name : names) {
        TCABFile cab = setOf(t, TCABFile::typNone);
        cab.CabinetName = name;
        EXPECT_THROW(cab.Compress(), ECABFileError);
        EXPECT_EQ(QDir(t.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        EXPECT_TRUE(QDir(other).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
}

TEST(CabSet, AnArchiveThatFitsStaysOneCabinetWithoutSetFlags)
{
    TempFolder t;
    t.write(QStringLiteral("src/a"), noise(300000, 3));
    TCABFile cab = setOf(t, TCABFile::typMSZIP);
    ASSERT_TRUE(cab.Compress());
    EXPECT_EQ(cab.CabinetsWritten(), QStringList{cab.CABFile});
    EXPECT_EQ(headerOf(cab.CABFile).flags, 0);
    EXPECT_FALSE(QFileInfo::exists(t.file(QStringLiteral("OUT_2.cab"))));
}

TEST(CabSet, ReadersRefuseASetWithACabinetMissingOrOutOfPlace)
{
    TempFolder t;
    fillSetTree(t);
    TCABFile cab = setOf(t, TCABFile::typNone);
    ASSERT_TRUE(cab.Compress());
    const QString second = t.file(QStringLiteral("OUT_2.cab")), third = t.file(QStringLiteral("OUT_3.cab"));
    // The readers find the next cabinet whatever the case of its name.
    ASSERT_TRUE(QFile::rename(second, t.file(QStringLiteral("out_2.CAB"))));
    QList<TCABStoredFile> files;
    EXPECT_TRUE(cab.List(files));
    ASSERT_TRUE(QFile::rename(t.file(QStringLiteral("out_2.CAB")), second));

    ASSERT_TRUE(QFile::rename(third, t.file(QStringLiteral("away.cab"))));
    EXPECT_FALSE(cab.List(files));
    cab.TargetPath = t.file(QStringLiteral("out"));
    EXPECT_FALSE(cab.Extract());
    EXPECT_TRUE(cab.extractProblems().join('\n').contains(QStringLiteral("OUT_3.cab")));
    EXPECT_FALSE(QFileInfo::exists(cab.TargetPath));
    EXPECT_FALSE(cab.Verify({}));

    // The second cabinet in the place of the third does not continue the set.
    ASSERT_TRUE(QFile::copy(second, third));
    EXPECT_FALSE(cab.List(files));
    EXPECT_FALSE(cab.Verify({}));
}

TEST(CabSet, CancelOrFailureLeavesNoCabinetOfTheSet)
{
    TempFolder t;
    fillSetTree(t);
    const QString old = t.write(QStringLiteral("OUT.cab"), "previous archive");
    TCABFile cab = setOf(t, TCABFile::typMSZIP);
    // Cancelled at the last moment, when every cabinet of the set waits to be committed.
    int polls = 0;
    cab.Cancelled = [&] { return ++polls == 0; };
    const QStringList cabinets = cab.Compress() ? cab.CabinetsWritten() : QStringList();
    ASSERT_EQ(cabinets.size(), 3);
    for (const QString &path : cabinets.mid(1))
        QFile::remove(path);
    QFile::remove(cab.CABFile);
    t.write(QStringLiteral("OUT.cab"), "previous archive");
    const int last = polls;
    polls = 0;
    cab.Cancelled = [&] { return ++polls == last; };
    try {
        cab.Compress();
        FAIL() << "cancelled";
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.code(), int(ECABFileError::Cancelled));
        EXPECT_EQ(ECABFileError::text(e.code()), QStringLiteral("Cancelled"));
    }
    EXPECT_EQ(readAll(old), "previous archive");
    EXPECT_EQ(QDir(t.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"OUT.cab"});
    EXPECT_TRUE(cab.CabinetsWritten().isEmpty());

    // A file that vanishes while the set is written: no cabinet either.
    cab.Cancelled = nullptr;
    cab.CABFileContents.append({t.file(QStringLiteral("src/gone")), QString()});
    EXPECT_THROW(cab.Compress(), ECABFileError);
    EXPECT_EQ(QDir(t.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"OUT.cab"});

    cab.CABFileContents.removeLast();
    ASSERT_TRUE(cab.Compress());
    ASSERT_EQ(cab.CabinetsWritten().size(), 3);

    // Unpacking and verifying stop too; what was unpacked goes again.
    polls = 0;
    cab.Cancelled = [&] { return ++polls > 3; };
    cab.TargetPath = t.file(QStringLiteral("out/in"));
    QDir().mkpath(t.file(QStringLiteral("out")));
    EXPECT_THROW(cab.Extract(), ECABFileError);
    EXPECT_TRUE(QDir(t.file(QStringLiteral("out"))).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    int reported = 0;
    cab.Cancelled = [&] { return reported == 2; };
    EXPECT_THROW(cab.Verify([&](const TCABStoredFile &, quint32) { ++reported; }), ECABFileError);
    EXPECT_EQ(reported, 2);

    // One cabinet without a set stops alike.
    TCABFile one = setOf(t, TCABFile::typLZX, QStringLiteral("one.cab"));
    one.AllowSet = false;
    one.MaxCabinetSize = 2147483647;
    one.Cancelled = [] { return true; };
    try {
        one.Compress();
        FAIL() << "cancelled";
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.code(), int(ECABFileError::Cancelled));
    }
    EXPECT_FALSE(QFileInfo::exists(one.CABFile));
}

TEST(CabSet, CommandLinePacksASetAndNamesEachCabinet)
{
    TempFolder t;
    const auto source = fillSetTree(t);
    const QString archive = t.file(QStringLiteral("c.cab"));
    CliRun r = runCli({QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src")),
                       QStringLiteral("--max-size"), QStringLiteral("1000000"), QStringLiteral("--lzx"), QStringLiteral("16")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("%1: %2 files\n%1\n%3\n%4\n")
                         .arg(archive)
                         .arg(source.size())
                         .arg(t.file(QStringLiteral("c_2.cab")), t.file(QStringLiteral("c_3.cab")))
                         .toUtf8());
    r = runCli({QStringLiteral("cab"), QStringLiteral("unpack"), archive, t.file(QStringLiteral("out"))});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(treeOf(t.file(QStringLiteral("out"))) == source);

    // Names without a folder stay so.
    const QString here = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(t.path()));
    r = runCli({QStringLiteral("cab"), QStringLiteral("pack"), QStringLiteral("rel.cab"), QStringLiteral("src"),
                QStringLiteral("--max-size"), QStringLiteral("1000000"), QStringLiteral("--none")});
    QDir::setCurrent(here);
    EXPECT_EQ(r.out, QStringLiteral("rel.cab: %1 files\nrel.cab\nrel_2.cab\nrel_3.cab\n").arg(source.size()).toUtf8());

    // A size large enough: one cabinet and the output of old.
    r = runCli({QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src")),
                QStringLiteral("--max-size"), QStringLiteral("2147483647")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("%1: %2 files\n").arg(archive).arg(source.size()).toUtf8());
    for (const QString &bad : {QStringLiteral("0"), QStringLiteral("2147483648"), QStringLiteral("x")})
        EXPECT_EQ(runCli({QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src")),
                          QStringLiteral("--max-size"), bad}).code, 2);
}

TEST(CabSet, HundredsOfCabinetsWaitForTheEndUnderALowOpenFileLimit)
{
    TempFolder t;
    const QByteArray data = noise(600000, 8);
    t.write(QStringLiteral("src/a.bin"), data);
    TCABFile cab = setOf(t, TCABFile::typNone, QStringLiteral("small.cab"));
    cab.MaxCabinetSize = 2000;
    // Fewer open files allowed than cabinets written: a synced cabinet waiting for the
    // rest of its set holds no descriptor.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit low = old;
    low.rlim_cur = 200;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    QString failure;
    try {
        cab.Compress();
    } catch (const ECABFileError &e) {
        failure = e.message();
    }
    setrlimit(RLIMIT_NOFILE, &old);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_GT(cab.CabinetsWritten().size(), 300);
    EXPECT_TRUE(QFileInfo(cab.CabinetsWritten().last()).permissions() & QFileDevice::ReadOther);
    EXPECT_EQ(QDir(t.path()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden), QStringList());
    const ToolRun test = runTool(QStringLiteral("cabextract"), {QStringLiteral("-t"), cab.CABFile});
    EXPECT_EQ(test.code, 0) << test.out.right(500).toStdString();
    cab.TargetPath = t.file(QStringLiteral("out"));
    ASSERT_TRUE(cab.Extract());
    EXPECT_TRUE(readAll(t.file(QStringLiteral("out/a.bin"))) == data);
}
