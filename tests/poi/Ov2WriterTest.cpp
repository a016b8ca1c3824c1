// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParamsTable.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Table.h"
#include "poi/Ov2Writer.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/TestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <limits>

namespace {

// The writer as the algorithm states it: every count scans the whole list, sizes are
// recomputed at every level, every leaf scans the list again. Kept as the reference
// the fast writer must match byte for byte.
class LiteralWriter {
public:
    explicit LiteralWriter(const Ov2PointList &list) : m_list(list) {}

    QByteArray save()
    {
        m_out.clear();
        WriteArea(mainRect(m_list));
        return m_out;
    }

private:
    void CountArea(const AreaRect &a, qint64 &count, qint64 &size) const
    {
        count = size = 0;
        for (size_t i = 0; i < m_list.size(); ++i)
            if (InArea(a, m_list[i].lon, m_list[i].lat)) {
                ++count;
                size += m_list[i].descLen + 14 + (m_list[i].descLen ? 0 : 1);
            }
    }
    static bool onePoint(const AreaRect &a) { return a.west == a.east && a.south == a.north; }
    qint64 AreaSize(const AreaRect &a) const
    {
        qint64 count, size;
        CountArea(a, count, size);
        if (size <= 0)
            return 0;
        if (count < 32 || onePoint(a))
            return size + 21;
        AreaRect sub[4];
        splitArea(a, sub);
        qint64 total = 21;
        for (const AreaRect &s : sub)
            total += AreaSize(s);
        return total;
    }
    void WriteArea(const AreaRect &a)
    {
        qint64 count, size;
        CountArea(a, count, size);
        if (size <= 0)
            return;
        Ov2Bytes b;
        b.skipper(AreaSize(a), qint32(a.east), qint32(a.north), qint32(a.west), qint32(a.south));
        m_out.append(b.b);
        if (count >= 32 && !onePoint(a)) {
            AreaRect sub[4];
            splitArea(a, sub);
            for (const AreaRect &s : sub)
                WriteArea(s);
            return;
        }
        for (size_t i = 0; i < m_list.size(); ++i) {
            const auto &p = m_list[i];
            if (!InArea(a, p.lon, p.lat))
                continue;
            const QByteArray d = p.descLen ? m_list.description(p).toByteArray() : QByteArray("?");
            m_out.append(Ov2Bytes().poi(p.lon, p.lat, d).b);
        }
    }

    const Ov2PointList &m_list;
    QByteArray m_out;
};

TRBParamsTable poiTable(const QList<QStringList> &rows)
{
    TRBParamsTable t;
    t.AppendFields({"LP", "Longitude", "Latitude", "Description", "Type/Level"});
    for (const QStringList &r : rows)
        t.AppendFields(QStringList{QString()} + r);
    return t;
}

Ov2Data readBack(const QByteArray &bytes)
{
    Ov2Data d;
    d.bytes = bytes;
    EXPECT_EQ(readOv2Range(d, 0, bytes.size(), nullptr), QString());
    return d;
}

// The skipper rectangles (west, north, east, south) in file order.
QList<AreaRect> skippers(const QByteArray &bytes)
{
    QList<AreaRect> out;
    Ov2Stream s{reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size(), 0};
    Ov2Record rec;
    QByteArray arena;
    while (ReadPoi(s, rec, arena, nullptr) == Ov2Status::Ok)
        if (rec.type == 1)
            out.append({rec.west, rec.north, rec.east, rec.south});
    return out;
}

} // namespace

TEST(Ov2Writer, SingleRowIsTheFortyByteFile)
{
    const TRBParamsTable t = poiTable({{"1993500", "5006200", "Rynek"}});
    const QByteArray bytes = buildOv2(poiRowsToPoints(t, DeviceCodec()));
    EXPECT_EQ(bytes.toHex(' '), QByteArray("01 28 00 00 00 1c 6b 1e 00 78 63 4c 00 1c 6b 1e 00 78 63 4c 00 02 13 00 "
                                           "00 00 1c 6b 1e 00 78 63 4c 00 52 79 6e 65 6b 00"));
}

TEST(Ov2Writer, LeafLimitIsThirtyTwo)
{
    Ov2PointList list;
    for (int i = 0; i < 31; ++i)
        list.add(i * 1000, -i * 777, QByteArray::number(i));
    const QByteArray bytes = buildOv2(list);
    const Ov2Data d = readBack(bytes);
    ASSERT_EQ(d.pois.size(), 31u);
    EXPECT_EQ(skippers(bytes).size(), 1);
    for (int i = 0; i < 31; ++i) {
        EXPECT_EQ(d.text(d.pois[size_t(i)]), QByteArray::number(i)) << "list order in a leaf";
        EXPECT_EQ(d.pois[size_t(i)].level, 1u);
    }
    EXPECT_EQ(quint8(bytes[1]) | (quint8(bytes[2]) << 8), bytes.size());

    list.add(30 * 1000 + 5, 0, "32nd");
    const QByteArray split = buildOv2(list);
    EXPECT_GT(skippers(split).size(), 2);
    EXPECT_EQ(readBack(split).pois.size(), 32u);
    EXPECT_EQ(split, LiteralWriter(list).save());
}

TEST(Ov2Writer, PointsOnTheMidlinesGoWestAndSouth)
{
    Ov2PointList list;
    for (int i = 0; i < 8; ++i) {
        list.add(0, 10, "nw");
        list.add(10, 10, "ne");
        list.add(0, 0, "sw");
        list.add(10, 0, "se");
    }
    list.add(5, 5, "mid");    // on both midlines: south-west
    list.add(5, 6, "midLon"); // on midLon, north of midLat: north-west
    list.add(6, 5, "midLat"); // east of midLon, on midLat: south-east
    const QByteArray bytes = buildOv2(list);
    const QList<AreaRect> rects = skippers(bytes);
    ASSERT_EQ(rects.size(), 5);
    EXPECT_EQ(rects[0], (AreaRect{0, 10, 10, 0}));
    EXPECT_EQ(rects[1], (AreaRect{0, 10, 5, 6}));
    EXPECT_EQ(rects[2], (AreaRect{6, 10, 10, 6}));
    EXPECT_EQ(rects[3], (AreaRect{0, 5, 5, 0}));
    EXPECT_EQ(rects[4], (AreaRect{6, 5, 10, 0}));
    const Ov2Data d = readBack(bytes);
    QStringList texts;
    for (const Ov2Poi &p : d.pois)
        texts << QString::fromLatin1(d.text(p));
    EXPECT_EQ(texts.mid(0, 9), QStringList(8, "nw") << "midLon");
    EXPECT_EQ(texts.mid(9, 8), QStringList(8, "ne"));
    EXPECT_EQ(texts.mid(17, 9), QStringList(8, "sw") << "mid");
    EXPECT_EQ(texts.mid(26, 9), QStringList(8, "se") << "midLat");
    EXPECT_EQ(bytes, LiteralWriter(list).save());
}

TEST(Ov2Writer, IdenticalPointsEndInOneLeafInListOrder)
{
    Ov2PointList list;
    for (int i = 0; i < 40; ++i)
        list.add(1993500, 5006200, QByteArray::number(i));
    const QByteArray bytes = buildOv2(list);
    EXPECT_EQ(skippers(bytes).size(), 1);
    const Ov2Data d = readBack(bytes);
    ASSERT_EQ(d.pois.size(), 40u);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(d.text(d.pois[size_t(i)]), QByteArray::number(i));
}

TEST(Ov2Writer, EmptyDescriptionsAndEmptyRows)
{
    // Row 2 as the grid's automatic last row leaves it, row 3 as a pasted blank line.
    const TRBParamsTable t = poiTable({{"100", "200", ""}, {}, {"", "", ""}, {"-300", "400", "b"}});
    const Ov2PointList list = poiRowsToPoints(t, DeviceCodec());
    ASSERT_EQ(list.size(), 2u);
    const QByteArray bytes = buildOv2(list);
    // Blank rows are not written, so no "?" at 0, 0 stretches the main rectangle.
    EXPECT_EQ(skippers(bytes).value(0), (AreaRect{-300, 400, 100, 200}));
    const Ov2Data d = readBack(bytes);
    ASSERT_EQ(d.pois.size(), 2u);
    EXPECT_EQ(d.text(d.pois[0]), "?");
    EXPECT_EQ(bytes.mid(21, 5).toHex(), "020f000000") << "len 15 for \"?\"";
    EXPECT_EQ(d.pois[1].lon, -300);
    EXPECT_EQ(d.text(d.pois[1]), "b");
}

TEST(Ov2Writer, CoordinatesMustBeWholeNumbersNamingTheRow)
{
    const DeviceCodec codec;
    auto refusal = [&](const QList<QStringList> &rows) -> QString {
        try {
            poiRowsToPoints(poiTable(rows), codec);
        } catch (const KorvixError &e) {
            return e.message();
        }
        return QStringLiteral("saved");
    };
    QList<QStringList> rows;
    for (int i = 0; i < 24; ++i)
        rows.append({QString::number(1990000 + i), "5000000", "ok"});
    rows.append({"19.95", "5000000", "Rynek"});
    EXPECT_EQ(refusal(rows), "Row 25: longitude \"19.95\" is not a whole number of 1/100000 degrees");
    // Numbered as the grid numbers rows: blank rows before count too.
    EXPECT_EQ(refusal({{}, {"1", "2x", "a"}}), "Row 2: latitude \"2x\" is not a whole number of 1/100000 degrees");
    EXPECT_EQ(refusal({{"1", "", "a"}}), "Row 1: latitude \"\" is not a whole number of 1/100000 degrees");
    EXPECT_EQ(refusal({{"", "", "only a name"}}), "Row 1: longitude \"\" is not a whole number of 1/100000 degrees");
    EXPECT_EQ(refusal({{"1", "2", "a"}, {"99999999999", "1", "a"}}), "Row 2: longitude \"99999999999\" is out of range");
    EXPECT_EQ(refusal({{"1", "-2147483649", "a"}}), "Row 1: latitude \"-2147483649\" is out of range");
    for (const QList<QStringList> &empty : QList<QList<QStringList>>{{}, {{}}, {{"", "", ""}, {}}})
        EXPECT_EQ(refusal(empty), "There is no POI to save");
    EXPECT_EQ(refusal({{" -12 ", "+7", ""}, {"-2147483648", "2147483647", "edge"}}), "saved");
    EXPECT_THROW(buildOv2(Ov2PointList()), KorvixError);
}

TEST(Ov2Writer, FailedSaveKeepsThePreviousFile)
{
    TempFolder tmp;
    const QString path = tmp.write("keep.ov2", "old content");
    EXPECT_THROW(SaveOV2(path, poiTable({{"", "1", "bad row 1"}}), DeviceCodec()), KorvixError);
    EXPECT_EQ(readAll(path), "old content");
    EXPECT_THROW(SaveOV2(path, poiTable({{"1", "1", "a"}, {"1.5", "1", "late fault"}}), DeviceCodec()), KorvixError);
    EXPECT_EQ(readAll(path), "old content");
    EXPECT_THROW(SaveOV2(tmp.file("no/such/folder/x.ov2"), poiTable({{"1", "1", "a"}}), DeviceCodec()), KorvixError);

    SaveOV2(path, poiTable({{"1993500", "5006200", "Rynek"}}), DeviceCodec());
    EXPECT_EQ(readAll(path).size(), 40);
}

TEST(Ov2Writer, TableRoundTripKeepsTextsByteForByte)
{
    TempFolder tmp;
    const QString path = tmp.file("pl.ov2");
    QList<QStringList> rows;
    for (int i = 0; i < 500; ++i)
        rows.append({QString::number(1400000 + i * 17), QString::number(4900000 - i * 13),
                     QString::fromUtf8("Kraków – Pod Różą \u0081 nr %1").arg(i)});
    const TRBParamsTable t = poiTable(rows);
    SaveOV2(path, t, DeviceCodec());
    TRBParamsTable back;
    ASSERT_EQ(readOv2IntoTable(path, back, DeviceCodec()), QString());
    ASSERT_EQ(back.RowCount(), 501);
    QStringList a, b;
    for (int r = 1; r < 501; ++r) {
        a << t.Row(r).ToStringList().mid(1, 3).join('|');
        b << back.Row(r).ToStringList().mid(1, 3).join('|');
    }
    a.sort();
    b.sort();
    EXPECT_EQ(a, b);
}

TEST(Ov2Writer, MatchesTheLiteralAlgorithmOnRandomLists)
{
    QRandomGenerator rng(20261209);
    const qint32 extremes[] = {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), 0, -1, 1,
                               std::numeric_limits<qint32>::min() + 1, std::numeric_limits<qint32>::max() - 1};
    for (int round = 0; round < 3000; ++round) {
        Ov2PointList list;
        const int n = int(rng.bounded(1, round % 10 == 0 ? 400 : 120));
        const int style = round % 5;
        const qint32 span = qint32(rng.bounded(1, 1 << (1 + round % 30)));
        for (int i = 0; i < n; ++i) {
            qint32 lon, lat;
            const quint32 pick = rng.bounded(100u);
            if (style == 0 || pick < 5) {
                lon = extremes[rng.bounded(7)];
                lat = extremes[rng.bounded(7)];
            } else if (style == 1 || pick < 20) {
                lon = 42; // identical points (40 and more in long lists)
                lat = -42;
            } else if (style == 2) {
                lon = qint32(rng.bounded(5)) - 2; // heavy duplicates on a tiny grid
                lat = qint32(rng.bounded(5)) - 2;
            } else {
                lon = qint32(rng.bounded(span)) - span / 2;
                lat = qint32(rng.bounded(span)) - span / 3;
            }
            QByteArray desc;
            if (rng.bounded(4) != 0)
                desc = QByteArray(int(rng.bounded(1, 12)), char('a' + rng.bounded(26)));
            list.add(lon, lat, desc);
        }
        const QByteArray fast = buildOv2(list);
        const QByteArray literal = LiteralWriter(list).save();
        ASSERT_EQ(fast, literal) << "round " << round << " n " << n;
        ASSERT_EQ(readBack(fast).pois.size(), size_t(n));
    }
}
