// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParamsTable.h"
#include "platform/DeviceCodec.h"
#include "poi/Ov2Codings.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Table.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/TestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

struct ReadResult {
    Ov2Data data;
    QString error;
    // "lon lat description type/level", one entry per POI
    QStringList rows() const
    {
        QStringList out;
        const DeviceCodec codec;
        for (const Ov2Poi &p : data.pois)
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(p.lon)
                       .arg(p.lat)
                       .arg(codec.toUnicode(data.text(p)), Ov2Data::typeLevel(p));
        return out;
    }
};

ReadResult readBytes(const QByteArray &bytes)
{
    ReadResult r;
    r.data.bytes = bytes;
    if (!bytes.isEmpty())
        r.error = readOv2Range(r.data, 0, bytes.size(), nullptr);
    return r;
}

QString s(const char *t)
{
    return QString::fromUtf8(t);
}

} // namespace

TEST(Ov2Reader, EmptyFileGivesOneEmptyRow)
{
    TempFolder tmp;
    const QString path = tmp.write("empty.ov2");
    TRBParamsTable table;
    table.AppendFields({"LP", "Longitude", "Latitude", "Description", "Type/Level"});
    table.AppendFields({"", "1", "2", "old", ""});
    ASSERT_EQ(readOv2IntoTable(path, table, DeviceCodec()), QString());
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.Cell(1, 0), "Longitude");
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(table.Cell(c, 1), QString()) << c;
}

TEST(Ov2Reader, MissingFileCannotBeOpened)
{
    TRBParamsTable table;
    EXPECT_EQ(readOv2IntoTable("/nonexistent/x.ov2", table, DeviceCodec()), "Can't open OV2 file");
}

TEST(Ov2Reader, LevelsAndSkipperMark)
{
    Ov2Bytes flat;
    flat.poi(1, 2, "a").poi(3, 4, "b");
    EXPECT_EQ(readBytes(flat).rows(), QStringList({"1 2 a 2/0", "3 4 b 2/0"}));

    Ov2Bytes nested;
    nested.skipper(21 + 15 + 15, 3, 4, 1, 2).poi(1, 2, "a").poi(3, 4, "b").poi(5, 6, "c");
    EXPECT_EQ(readBytes(nested).rows(), QStringList({"1 2 a *2/1", "3 4 b 2/1", "5 6 c 2/0"}));

    // Two skippers in a row mark one POI; a deleted record in between does not take
    // the mark; three levels deep.
    Ov2Bytes deep;
    deep.skipper(21 * 3 + 15 + 5).skipper(21 * 2 + 15 + 5).skipper(21 + 5 + 15).deleted(0, 5).poi(7, 8, "x");
    EXPECT_EQ(readBytes(deep).rows(), QStringList({"7 8 x *2/3"}));
}

TEST(Ov2Reader, DeletedRecordsLeaveNoRow)
{
    Ov2Bytes b;
    b.poi(1, 1, "a").deleted(0, 9).deleted(100, 5).poi(2, 2, "b");
    EXPECT_EQ(readBytes(b).rows(), QStringList({"1 1 a 2/0", "2 2 b 2/0"}));
}

TEST(Ov2Reader, PlainKindsAndNumbers)
{
    Ov2Bytes b;
    b.u8(3).le32(13 + 12).le32(10).le32(20).raw(QByteArray("Shop\0+48 123", 12));
    b.u8(3).le32(13 + 4).le32(11).le32(21).raw("Shop");
    b.u8(4).le24(0x7A1200).le24(0x7A1201);
    b.u8(20).le24(0x7A1200 - 5).le24(0);
    b.u8(5).le24(0x7A1200).le24(0x7A1200).u8(0x39).u8(0x30);
    b.u8(21).le24(0x7A1200).le24(0x7A1200).le16(65535);
    b.u8(6).le24(0x7A1200).le24(0x7A1200).le24(0xFFFFFF);
    b.u8(22).le24(0x7A1200).le24(0x7A1200).le24(0);
    b.poi(-5, -6, "fifteen", 15);
    const ReadResult r = readBytes(b);
    ASSERT_EQ(r.error, QString());
    EXPECT_EQ(r.rows(), QStringList({"10 20 Shop 3/0", "11 21  3/0", "0 1 Deleted 4/0",
                                     "-5 -8000000 Deleted 20/0", "0 0 12345 5/0", "0 0 65535 21/0",
                                     "0 0 16777215 6/0", "0 0 0 22/0", "-5 -6 fifteen 15/0"}));
}

TEST(Ov2Reader, DescriptionsAsStored)
{
    Ov2Bytes b;
    // Types 2 and 15 keep every byte before the terminator, a zero byte included.
    b.poi(1, 1, QByteArray("a\0b", 3));
    // Types 7 and 23: the first n - 1 bytes; n = 0 gives nothing.
    b.compact(7, 0x7A1200, 0x7A1200, QByteArray("ab\0c!", 5));
    b.compact(23, 0x7A1200, 0x7A1200, QByteArray());
    b.compact(7, 0x7A1200, 0x7A1200, QByteArray("\xB3\xF3", 2));
    const ReadResult r = readBytes(b);
    ASSERT_EQ(r.error, QString());
    ASSERT_EQ(r.data.pois.size(), 4u);
    EXPECT_EQ(r.data.text(r.data.pois[0]), QByteArrayView("a\0b", 3));
    EXPECT_EQ(r.data.text(r.data.pois[1]), QByteArrayView("ab\0c", 4));
    EXPECT_EQ(r.data.text(r.data.pois[2]), QByteArrayView());
    EXPECT_EQ(r.data.text(r.data.pois[3]), QByteArrayView("\xB3", 1));
    EXPECT_EQ(Ov2Data::typeLevel(r.data.pois[2]), "23/0");
}

TEST(Ov2Reader, CompactCodingsAndType29)
{
    Ov2Bytes b;
    b.compact(8, 0x7A1200, 0x7A1200, hexBytes("0c80"));
    b.compact(25, 0x7A1200, 0x7A1200, hexBytes("07"));
    b.compact(10, 0x7A1200, 0x7A1200, hexBytes("4102"));
    b.compact(28, 0x7A1200, 0x7A1200, hexBytes("4168"));
    // Type 29, sub-kind 2: Huffman of the n - 3 bytes.
    b.u8(29).u8(3 + 1).le32(100).le32(-200).le32(0x12345602).u8(0x07);
    // Other sub-kinds: P and the bytes in hexadecimal.
    b.u8(29).u8(3 + 2).le32(1).le32(2).le32(0xABCDEF01).u8(0x0A).u8(0xFF);
    b.u8(29).u8(3).le32(1).le32(2).le32(7);
    const ReadResult r = readBytes(b);
    ASSERT_EQ(r.error, QString());
    EXPECT_EQ(r.rows(), QStringList({"0 0 Sa 8/0", "0 0 e 25/0", "0 0 qn 10/0", "0 0 bc> 28/0",
                                     "100 -200 e 29/0", "1 2 ABCDEF01 0A FF  29/0",
                                     "1 2 00000007  29/0"}));
}

TEST(Ov2Reader, UnknownTypeIsReportedWithDump)
{
    Ov2Bytes b;
    b.u8(4).le24(0).le24(0).compact(7, 0, 0, QByteArray()); // 15 bytes
    b.u8(11).raw("Hello, world!\x01xyz");
    for (int i = 0; i < 20; ++i)
        b.u8(0x41 + i);
    const ReadResult r = readBytes(b);
    EXPECT_TRUE(r.data.pois.empty());
    EXPECT_TRUE(r.error.startsWith("Unknown Field: 0000000F : 0B(11) : ")) << r.error.toStdString();
    // 37 bytes follow: three dump lines; the text after the last " : " is the
    // printable part of the last line.
    const QString expected =
        "Unknown Field: 0000000F : 0B(11) :  \r"
        "48 65 6C 6C 6F 2C 20 77 6F 72 6C 64 21 01 78 79  Hello, world!xy\r"
        "7A 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F  zABCDEFGHIJKLMNO\r"
        "50 51 52 53 54  : PQRST";
    EXPECT_EQ(r.error, expected);

    // At most 256 bytes are dumped.
    Ov2Bytes big;
    big.u8(255).raw(QByteArray(1000, 'A'));
    const ReadResult rb = readBytes(big);
    EXPECT_EQ(rb.error.count("41 "), 256);
    EXPECT_TRUE(rb.error.endsWith(" : AAAAAAAAAAAAAAAA"));

    // The type byte at the very end: an empty dump.
    EXPECT_EQ(readBytes(Ov2Bytes().u8(13)).error, "Unknown Field: 00000000 : 0D(13) :  : ");
}

TEST(Ov2Reader, EveryUnknownTypeIsRejected)
{
    for (int type = 0; type < 256; ++type) {
        const bool known = type <= 10 || type == 12 || type == 15 || (type >= 20 && type <= 26) || type == 28
            || type == 29 || type == 100;
        Ov2Bytes b;
        b.u8(type).raw(QByteArray(40, '\x05'));
        const ReadResult r = readBytes(b);
        EXPECT_EQ(r.error.startsWith("Unknown Field: "), !known) << type;
    }
}

TEST(Ov2Reader, LengthBelowFixedPartIsAFormatError)
{
    // Each would end inside its own fields; none may loop or move backwards.
    const QList<QByteArray> bad = {
        Ov2Bytes().u8(0).le32(0), Ov2Bytes().u8(100).le32(4), Ov2Bytes().u8(0).le32(-7),
        Ov2Bytes().u8(2).le32(13).le32(0).le32(0), Ov2Bytes().u8(15).le32(-1).le32(0).le32(0),
        Ov2Bytes().u8(3).le32(12).le32(0).le32(0), Ov2Bytes().u8(29).u8(2).le32(0).le32(0).le32(0).u8(0),
    };
    for (const QByteArray &rec : bad) {
        const QByteArray file = Ov2Bytes().poi(1, 1, "ok").raw(rec).poi(2, 2, "after");
        const ReadResult r = readBytes(file);
        EXPECT_TRUE(r.error.startsWith("Unknown Field: 00000010 : ")) << rec.toHex().toStdString() << " "
                                                                       << r.error.toStdString();
        EXPECT_TRUE(r.data.pois.empty());
    }
    // The smallest valid lengths are accepted.
    const QByteArray ok = Ov2Bytes().u8(0).le32(5).u8(2).le32(14).le32(1).le32(2).u8(0).u8(3).le32(13).le32(3).le32(4);
    EXPECT_EQ(readBytes(ok).rows(), QStringList({"1 2  2/0", "3 4  3/0"}));
}

TEST(Ov2Reader, RecordPastTheEndIsAFormatError)
{
    const QByteArray good = Ov2Bytes().poi(1, 1, "first");
    const QList<QByteArray> tails = {
        Ov2Bytes().u8(2).le32(30).le32(0).le32(0).raw("abc"), // last record cut
        Ov2Bytes().u8(0).le32(100),                           // deleted record cut
        Ov2Bytes().u8(100).le32(0x7FFFFFFF),                  // huge length
        Ov2Bytes().u8(2).le16(5),                             // len field cut
        Ov2Bytes().u8(1).le32(21).le32(0),                    // skipper cut
        Ov2Bytes().u8(4).le24(1),                             // compact cut
        Ov2Bytes().u8(9).u8(200).le24(1).le24(1).raw("xx"),   // payload cut
        Ov2Bytes().u8(29).u8(10).le32(1).le32(1).le32(2),     // type 29 cut
        Ov2Bytes().u8(7),                                     // n missing
    };
    for (const QByteArray &tail : tails) {
        const ReadResult r = readBytes(good + tail);
        EXPECT_FALSE(r.error.isEmpty()) << tail.toHex().toStdString();
        EXPECT_TRUE(r.data.pois.empty()) << "the counting pass meets it first";
    }
    // A skipper's len reaching past the end is no error: only records count.
    EXPECT_EQ(readBytes(Ov2Bytes().skipper(0x7FFFFFFF).poi(1, 1, "a")).rows(), QStringList({"1 1 a *2/1"}));
    EXPECT_EQ(readBytes(Ov2Bytes().skipper(-0x7FFFFFFF - 1).poi(1, 1, "a")).rows(), QStringList({"1 1 a *2/0"}));
}

TEST(Ov2Reader, ShortSkippersAndUnclippedNestedAreas)
{
    // len below 21 or negative: an empty area; the walk goes on after 21 bytes.
    Ov2Bytes shortOnes;
    shortOnes.skipper(0).skipper(-5).skipper(20).poi(1, 1, "a");
    EXPECT_EQ(readBytes(shortOnes).rows(), QStringList({"1 1 a *2/0"}));

    // The nested area claims more than its parent: it is not clipped, so its POIs
    // stay one level deeper up to its own end; the parent's walk then ends too.
    Ov2Bytes over;
    over.skipper(21 + 21 + 15).skipper(21 + 15 + 15).poi(1, 1, "a").poi(2, 2, "b").poi(3, 3, "c");
    EXPECT_EQ(readBytes(over).rows(), QStringList({"1 1 a *2/2", "2 2 b 2/2", "3 3 c 2/0"}));

    // Slightly short sizes, as other writers produce: the rest is read one level up.
    Ov2Bytes under;
    under.skipper(21 + 15 - 3).poi(1, 1, "a").poi(2, 2, "b");
    EXPECT_EQ(readBytes(under).rows(), QStringList({"1 1 a *2/1", "2 2 b 2/0"}));
}

TEST(Ov2Reader, FileWithoutPoisKeepsTheEmptyRow)
{
    TempFolder tmp;
    const QString path = tmp.write("x.ov2", Ov2Bytes().skipper(21 + 5).deleted(0, 5).skipper(21));
    TRBParamsTable table;
    table.AppendFields({"LP", "Longitude", "Latitude", "Description", "Type/Level"});
    ASSERT_EQ(readOv2IntoTable(path, table, DeviceCodec()), QString());
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.Cell(4, 1), QString()) << "no mark without a POI";
}

TEST(Ov2Reader, DeepNestingNeedsNoStack)
{
    Ov2Bytes b;
    const int depth = 200000;
    for (int i = 0; i < depth; ++i)
        b.skipper(qint64(21) * (depth - i) + 15);
    b.poi(5, 5, "deep");
    const ReadResult r = readBytes(b);
    ASSERT_EQ(r.error, QString());
    EXPECT_EQ(r.rows(), QStringList({QStringLiteral("5 5 deep *2/%1").arg(depth)}));
}

TEST(Ov2Reader, RowsInTheTableUseTheDeviceCodePage)
{
    TempFolder tmp;
    const QString path = tmp.write("pl.ov2", Ov2Bytes().skipper(21 + 14 + 23, 10, 20, -10, -20)
                                                .poi(-10, -20, "")
                                                .poi(10, 20, "Pod R\xF3\xBF\xB9\x81")
                                                .poi(0, 0, "after"));
    TRBParamsTable table;
    table.AppendFields({"LP", "Longitude", "Latitude", "Description", "Type/Level"});
    ASSERT_EQ(readOv2IntoTable(path, table, DeviceCodec()), QString());
    ASSERT_EQ(table.RowCount(), 4);
    // Numbered as the grid numbers them.
    EXPECT_EQ(table.Row(1).ToStringList(), QStringList({"1", "-10", "-20", "", "*2/1"}));
    EXPECT_EQ(table.Row(2).ToStringList(), QStringList({"2", "10", "20", s("Pod Różą\u0081"), "2/1"}));
    EXPECT_EQ(table.Row(3).ToStringList(), QStringList({"3", "0", "0", "after", "2/0"}));
}

// Numbers of every width and sign, the extremes included, read as they are written.
TEST(Ov2Reader, RowNumbersAndCoordinatesOfEveryWidth)
{
    std::vector<qint32> values{0, -1, 9, 10, -99, 100, 999999, -1000000, 123456789,
                               std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    for (qint64 v = 7; v < std::numeric_limits<qint32>::max(); v = v * 10 + 3)
        values.insert(values.end(), {qint32(v), qint32(-v)});
    Ov2Bytes b;
    const int n = 1200; // row numbers of one to four digits
    for (int i = 0; i < n; ++i)
        b.poi(values[size_t(i) % values.size()], values[size_t(i * 7 + 3) % values.size()], "p");
    TempFolder tmp;
    const QString path = tmp.write("w.ov2", b);
    TRBParamsTable table;
    ASSERT_EQ(readOv2IntoTable(path, table, DeviceCodec()), QString());
    ASSERT_EQ(table.RowCount(), n + 1);
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(table.Row(i + 1).ToStringList(),
                  QStringList({QString::number(i + 1), QString::number(values[size_t(i) % values.size()]),
                               QString::number(values[size_t(i * 7 + 3) % values.size()]), "p", "2/0"}))
            << i;
}

TEST(Ov2Reader, RandomBytesNeverCrash)
{
    QRandomGenerator rng(12345);
    for (int round = 0; round < 3000; ++round) {
        QByteArray b(int(rng.bounded(1, 200)), Qt::Uninitialized);
        for (char &c : b) {
            // Mostly small type bytes and lengths, so records parse for a while.
            const quint32 r = rng.generate();
            c = char((r & 3) == 0 ? r >> 8 : (r >> 8) % 30);
        }
        const ReadResult r = readBytes(b);
        if (r.error.isEmpty()) {
            for (const Ov2Poi &p : r.data.pois) {
                const QByteArray &src = (p.flags & Ov2Poi::TextInArena) ? r.data.arena : r.data.bytes;
                ASSERT_LE(qint64(p.textPos) + p.textLen, src.size());
            }
        }
        const Ov2CheckStats st = checkOv2(r.data);
        EXPECT_EQ(st.error.isEmpty(), r.error.isEmpty());
        if (r.error.isEmpty())
            EXPECT_EQ(st.pois, qint64(r.data.pois.size()));
    }
}

TEST(Ov2Reader, CheckCountsTypesDepthAndLeaves)
{
    Ov2Bytes b;
    b.skipper(21 + 21 + 15 + 17 + 21 + 15, 10, 10, 0, 0)
        .skipper(21 + 15 + 17, 5, 5, 0, 0)
        .poi(1, 1, "a")
        .poi(9, 9, "out")
        .skipper(21 + 15, 10, 10, 6, 6)
        .poi(7, 7, "b")
        .deleted(0, 6);
    Ov2Data d;
    d.bytes = b;
    const Ov2CheckStats st = checkOv2(d);
    EXPECT_EQ(st.error, QString());
    EXPECT_EQ(st.typeCounts[1], 3);
    EXPECT_EQ(st.typeCounts[2], 3);
    EXPECT_EQ(st.typeCounts[0], 1);
    EXPECT_EQ(st.maxDepth, 2);
    EXPECT_EQ(st.leaves, 2);
    EXPECT_EQ(st.leafPoisMin, 1);
    EXPECT_EQ(st.leafPoisMax, 2);
    EXPECT_EQ(st.poisOutsideBounds, 1);
}
