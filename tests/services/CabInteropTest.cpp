// SPDX-License-Identifier: GPL-3.0-or-later
// Our archives against the independent readers, and the other writer's archives against us.
#include "services/CabFile.h"
#include "tests/services/CabFixtures.h"
#include "tests/support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {
const QString cabextract = QStringLiteral("cabextract");

// Packs `src` as the command line does and checks it with cabextract: the test, the
// listing (every file by name) and an unpack equal to the source.
void checkWithCabextract(const TempFolder &t, const QString &src, TCABFile::TCompressionType type,
                         TCABFile::TLZXMemory window = TCABFile::lzxLowest)
{
    TCABFile cab;
    cab.CompressionType = type;
    cab.LZXMemory = window;
    cab.CABFile = t.file(QStringLiteral("check.cab"));
    cab.CABFileContents.AddFiles(src + QStringLiteral("/*"), QString(), true);
    ASSERT_TRUE(cab.Compress());

    const ToolRun test = runTool(cabextract, {QStringLiteral("-t"), cab.CABFile});
    ASSERT_EQ(test.code, 0) << test.out.toStdString();
    EXPECT_TRUE(test.out.contains("All done, no errors."));
    const ToolRun list = runTool(cabextract, {QStringLiteral("-l"), cab.CABFile});
    ASSERT_EQ(list.code, 0);
    const auto source = treeOf(src);
    for (const auto &f : source)
        EXPECT_TRUE(list.out.contains(" | " + f.first.toUtf8() + '\n')) << f.first.toStdString();

    const QString out = t.file(QStringLiteral("cabextract-out"));
    QDir(out).removeRecursively();
    const ToolRun unpack = runTool(cabextract, {QStringLiteral("-q"), QStringLiteral("-d"), out, cab.CABFile});
    ASSERT_EQ(unpack.code, 0) << unpack.out.toStdString();
    EXPECT_TRUE(treeOf(out) == source);

    // And libmspack through our own unpacking.
    cab.TargetPath = t.file(QStringLiteral("our-out"));
    QDir(cab.TargetPath).removeRecursively();
    ASSERT_TRUE(cab.Extract());
    EXPECT_TRUE(treeOf(cab.TargetPath) == source);
}

void fillTree(const TempFolder &t)
{
    QRandomGenerator random(17);
    QByteArray noise(1500000, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    t.write(QStringLiteral("src/noise.bin"), noise);
    QByteArray text;
    for (int i = 0; i < 150000; ++i)
        text += QByteArray::number(i) + ' ';
    t.write(QStringLiteral("src/text.txt"), text);
    t.write(QStringLiteral("src/empty"), {});
    t.write(QStringLiteral("src/Voices/empty too"), {});
    t.write(QStringLiteral("src/Zażółć gęślą jaźń/Łódź ćma.txt"), "ż");
    t.write(QStringLiteral("src/one/two/three/four/deep.txt"), text.left(70000));
    t.write(QStringLiteral("src/zeros"), QByteArray(300000, '\0'));
    // Repeats far apart: matches beyond the smallest window, and lengths past 257.
    t.write(QStringLiteral("src/far.bin"), noise.left(100000).repeated(6) + noise.left(77));
}
} // namespace

TEST(CabInterop, CabextractAcceptsAndUnpacksEveryKindWeWrite)
{
    TempFolder t;
    fillTree(t);
    for (auto type : {TCABFile::typNone, TCABFile::typMSZIP}) {
        SCOPED_TRACE(int(type));
        checkWithCabextract(t, t.file(QStringLiteral("src")), type);
    }
    for (int window = TCABFile::lzxLowest; window <= TCABFile::lzxHighest; ++window) {
        SCOPED_TRACE(window);
        checkWithCabextract(t, t.file(QStringLiteral("src")), TCABFile::typLZX, TCABFile::TLZXMemory(window));
    }
}

TEST(CabInterop, TenThousandSmallFilesMakeManyFoldersCabextractReads)
{
    TempFolder t;
    for (int i = 0; i < 10000; ++i)
        t.write(QStringLiteral("src/d%1/f%2.txt").arg(i % 10).arg(i), QByteArray(i % 500, char('a' + i % 26)) + QByteArray::number(i));
    checkWithCabextract(t, t.file(QStringLiteral("src")), TCABFile::typMSZIP);
}

TEST(CabInterop, ALargeFileOfRandomBytesSpansFoldersOfBlocks)
{
    TempFolder t;
    QFile big(t.file(QStringLiteral("src/random.bin")));
    QDir().mkpath(t.file(QStringLiteral("src")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    QRandomGenerator random(5);
    QByteArray chunk(1 << 20, '\0');
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int i = 0; i < 200; ++i) {
        random.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
        big.write(chunk);
        hash.addData(chunk);
    }
    big.close();
    TCABFile cab;
    cab.CABFile = t.file(QStringLiteral("big.cab"));
    cab.CABFileContents.AddFiles(t.file(QStringLiteral("src/*")), QString(), false);
    ASSERT_TRUE(cab.Compress());
    const QString out = t.file(QStringLiteral("out"));
    const ToolRun unpack = runTool(cabextract, {QStringLiteral("-q"), QStringLiteral("-d"), out, cab.CABFile});
    ASSERT_EQ(unpack.code, 0) << unpack.out.toStdString();
    QFile back(out + QStringLiteral("/random.bin"));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    QCryptographicHash again(QCryptographicHash::Sha256);
    again.addData(&back);
    EXPECT_EQ(again.result(), hash.result());
}

TEST(CabInterop, WeUnpackWhatGcabWrites)
{
    TempFolder t;
    fillTree(t);
    const QString src = t.file(QStringLiteral("src"));
    QStringList names;
    for (const auto &f : treeOf(src))
        names << f.first;
    for (const bool compressed : {false, true}) {
        const QString archive = t.file(compressed ? QStringLiteral("z.cab") : QStringLiteral("n.cab"));
        QStringList args{QStringLiteral("-c")};
        if (compressed)
            args << QStringLiteral("-z");
        const ToolRun made = runTool(QStringLiteral("gcab"), args << archive << names, src);
        ASSERT_EQ(made.code, 0) << made.out.toStdString();
        TCABFile cab;
        cab.CABFile = archive;
        cab.TargetPath = t.file(QStringLiteral("out-%1").arg(compressed));
        ASSERT_TRUE(cab.Extract()) << cab.extractProblems().join('\n').toStdString();
        EXPECT_TRUE(treeOf(cab.TargetPath) == treeOf(src));
    }
}

TEST(CabInterop, CommandLinePacksListsAndUnpacks)
{
    TempFolder t;
    const QDateTime when(QDate(2021, 2, 3), QTime(4, 5, 6));
    {
        QFile f(t.write(QStringLiteral("src/Voices/a b.vif"), "voice"));
        f.open(QIODevice::ReadWrite);
        f.setFileTime(when, QFileDevice::FileModificationTime);
    }
    const QString archive = t.file(QStringLiteral("o.cab"));
    CliRun r = runCli({QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src")), QStringLiteral("--none")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = runCli({QStringLiteral("cab"), QStringLiteral("list"), archive});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "\\Voices\\a b.vif\t5\t2021-02-03 04:05:06\n");
    r = runCli({QStringLiteral("cab"), QStringLiteral("unpack"), archive, t.file(QStringLiteral("out"))});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(readAll(t.file(QStringLiteral("out/Voices/a b.vif"))), "voice");

    const QString evil = t.write(QStringLiteral("evil.cab"), handMadeCabinet({{"..\\x", "x"}, {"ok", "ok"}}));
    r = runCli({QStringLiteral("cab"), QStringLiteral("unpack"), evil, t.file(QStringLiteral("e/in"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("..\\x"));
    EXPECT_FALSE(QFileInfo::exists(t.file(QStringLiteral("e/x"))));
    EXPECT_EQ(readAll(t.file(QStringLiteral("e/in/ok"))), "ok");

    r = runCli({QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src")), QStringLiteral("--lzx"), QStringLiteral("21")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(quint8(readAll(archive)[36 + 7]), 21);
    EXPECT_EQ(runTool(cabextract, {QStringLiteral("-t"), archive}).code, 0);

    r = runCli({QStringLiteral("cab"), QStringLiteral("list"), t.write(QStringLiteral("no.cab"), "plain text")});
    EXPECT_EQ(r.code, 1);
    r = runCli({QStringLiteral("cab"), QStringLiteral("pack"), archive, t.file(QStringLiteral("src")), QStringLiteral("--lzx"), QStringLiteral("22")});
    EXPECT_EQ(r.code, 2);
}

TEST(CabInterop, LzxStoresDataWithoutMatchesInsteadOfLettingItGrow)
{
    TempFolder t;
    QRandomGenerator random(23);
    QByteArray noise(1000004, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    // An odd size ends in an odd stored block; the repeats match back into stored blocks.
    t.write(QStringLiteral("src/noise.bin"), noise.left(1000001));
    t.write(QStringLiteral("src/repeats.bin"), noise.right(20000).repeated(6)); // within the smallest window
    t.write(QStringLiteral("src/text.txt"), QByteArray("one two three ").repeated(5000));
    const QString src = t.file(QStringLiteral("src"));
    const qint64 raw = 1000001 + 120000 + 70000;
    const qint64 blocks = 1000001 / 32768 + 1 + 120000 / 32768 + 1 + 70000 / 32768 + 1;
    for (int window : {TCABFile::lzxLowest, TCABFile::lzxMedium, TCABFile::lzxHighest}) {
        SCOPED_TRACE(window);
        checkWithCabextract(t, src, TCABFile::typLZX, TCABFile::TLZXMemory(window));
        const qint64 size = QFileInfo(t.file(QStringLiteral("check.cab"))).size();
        // Random bytes grow by no more than the headers of stored blocks; the text and the
        // repeats pack into a few KB.
        EXPECT_LE(size, 1000001 + 20000 + blocks * (8 + 16) + 200 + 2500);
        EXPECT_LT(size, raw - 150000);
    }
}
