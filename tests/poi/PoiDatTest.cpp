// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParamsTable.h"
#include "platform/DeviceCodec.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Table.h"
#include "poi/PoiDat.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Layout with the "POIS" header: count at 3314, ids and sizes after it, blocks at 3806.
QByteArray headerLayout(const QList<qint32> &ids, const QList<QByteArray> &blocks, QList<qint32> sizes = {})
{
    Ov2Bytes b;
    b.raw("POIS").raw(QByteArray(3310, '\x11'));
    b.le32(ids.size());
    for (qint32 id : ids)
        b.le32(id);
    if (sizes.isEmpty())
        for (const QByteArray &blk : blocks)
            sizes.append(qint32(blk.size()));
    for (qint32 s : sizes)
        b.le32(s);
    if (b.size() < 3806)
        b.raw(QByteArray(3806 - b.size(), '\x22'));
    for (const QByteArray &blk : blocks)
        b.raw(blk);
    return b;
}

// Layout with a plain count: ids, then n + 1 absolute offsets.
QByteArray offsetLayout(const QList<qint32> &ids, const QList<QByteArray> &blocks)
{
    Ov2Bytes b;
    b.le32(ids.size());
    for (qint32 id : ids)
        b.le32(id);
    qint64 at = 4 + 4 * ids.size() + 4 * (ids.size() + 1);
    for (const QByteArray &blk : blocks) {
        b.le32(at);
        at += blk.size();
    }
    b.le32(at);
    for (const QByteArray &blk : blocks)
        b.raw(blk);
    return b;
}

QStringList texts(const Ov2Data &d)
{
    QStringList out;
    for (const Ov2Poi &p : d.pois)
        out << QString::fromLatin1(d.text(p)) + u' ' + Ov2Data::typeLevel(p);
    return out;
}

QStringList listed(const QString &path)
{
    QStringList out;
    for (qint32 id : listPoiDat(path).ids)
        out << poiCategoryText(id);
    return out;
}

} // namespace

TEST(PoiDat, CategoryTable)
{
    EXPECT_EQ(CategoryTable().size(), 64);
    for (qsizetype i = 1; i < CategoryTable().size(); ++i)
        EXPECT_LT(CategoryTable()[i - 1].id, CategoryTable()[i].id);
    EXPECT_EQ(poiCategoryText(7311), "7311:Petrol Station");
    EXPECT_EQ(poiCategoryText(9980), "9980:Code postal");
    EXPECT_EQ(poiCategoryText(7310), "7310:Car Repair Facility");
    EXPECT_EQ(poiCategoryText(1234), "1234:?");
    EXPECT_EQ(poiCategoryId("7311:Petrol Station"), 7311);
    EXPECT_EQ(poiCategoryId("7311"), -1);
    EXPECT_EQ(poiCategoryId("x:y"), -1);
}

TEST(PoiDat, HeaderLayoutListsAndOpensOneBlock)
{
    Ov2Bytes petrol, shop;
    for (int i = 0; i < 5; ++i)
        petrol.poi(i, i, "petrol");                              // 5 x 20 = 100 bytes
    shop.skipper(21 + 15, 9, 9, 1, 1).poi(1, 1, "a").deleted(0, 14); // 21 + 15 + 14 = 50
    TempFolder tmp;
    const QByteArray file = headerLayout({7311, 7314, 9361}, {petrol, QByteArray(), shop});
    ASSERT_EQ(file.size(), 3956);
    const QString path = tmp.write("poi.dat", file);
    EXPECT_EQ(listed(path), QStringList({"7311:Petrol Station", "7314:Hotel/Motel", "9361:shop"}));

    PoiDatTable table;
    ASSERT_EQ(readPoiDatTable(file.constData(), file.size(), table), QString());
    EXPECT_TRUE(table.headerLayout);
    EXPECT_EQ(table.starts, QList<qint64>({3806, 3906, 3906}));
    EXPECT_EQ(table.ends, QList<qint64>({3906, 3906, 3956}));

    Ov2Data d;
    ASSERT_EQ(openPoiDatCategory(path, "9361:shop", d), QString());
    EXPECT_EQ(texts(d), QStringList({"a *2/1"}));
    ASSERT_EQ(openPoiDatCategory(path, "7311:whatever", d), QString());
    EXPECT_EQ(texts(d), QStringList(5, "petrol 2/0"));

    // An empty block and texts that name no category leave the one empty row.
    TRBParamsTable rows;
    for (const QString &cat : {QString("7314:Hotel/Motel"), QString("7314"), QString("9999:?"), QString("x:shop")}) {
        rows.Clear();
        ASSERT_EQ(readPoiDatIntoTable(path, cat, rows, DeviceCodec()), QString());
        ASSERT_EQ(rows.RowCount(), 2) << cat.toStdString();
        EXPECT_EQ(rows.Cell(3, 1), QString());
    }
}

TEST(PoiDat, OffsetLayoutAndUnknownIds)
{
    TempFolder tmp;
    const QString path = tmp.write("POI.DAT", offsetLayout({4242, 7380}, {Ov2Bytes().poi(1, 2, "x"), Ov2Bytes().poi(3, 4, "y")}));
    EXPECT_EQ(listed(path), QStringList({"4242:?", "7380:Railway Station"}));
    Ov2Data d;
    ASSERT_EQ(openPoiDatCategory(path, "4242:?", d), QString());
    EXPECT_EQ(texts(d), QStringList({"x 2/0"}));
    ASSERT_EQ(openPoiDatCategory(path, "7380:Railway Station", d), QString());
    EXPECT_EQ(texts(d), QStringList({"y 2/0"}));

    EXPECT_TRUE(listed(tmp.write("zero.dat", Ov2Bytes().le32(0).le32(0))).isEmpty());
}

TEST(PoiDat, ListingLimits)
{
    TempFolder tmp;
    EXPECT_TRUE(listPoiDat(tmp.write("neg.dat", Ov2Bytes().le32(-3))).ids.isEmpty());
    Ov2Bytes many;
    many.le32(512);
    for (int i = 0; i < 512; ++i)
        many.le32(i);
    EXPECT_TRUE(listPoiDat(tmp.write("512.dat", many)).ids.isEmpty());
    // The ids read before the file ends stay listed.
    const PoiDatListing cut = listPoiDat(tmp.write("cut.dat", Ov2Bytes().le32(511).le32(7311).le32(9361).le16(1)));
    EXPECT_EQ(cut.ids, QList<qint32>({7311, 9361}));
    EXPECT_FALSE(cut.error.isEmpty());
    EXPECT_FALSE(listPoiDat(tmp.file("missing.dat")).error.isEmpty());
    EXPECT_FALSE(listPoiDat(tmp.write("short.dat", "PO")).error.isEmpty());
}

TEST(PoiDat, BadTablesAreErrorsNotReads)
{
    const QByteArray blk = Ov2Bytes().poi(1, 2, "x");
    auto withOffsets = [&](const QList<qint32> &offsets) {
        Ov2Bytes b;
        b.le32(offsets.size() - 1);
        for (int i = 0; i + 1 < offsets.size(); ++i)
            b.le32(7311 + i);
        for (qint32 o : offsets)
            b.le32(o);
        return b.raw(blk).b;
    };
    const qint32 dataAt = 4 + 4 + 8; // one category
    const QList<QByteArray> bad = {
        Ov2Bytes().le32(129).raw(QByteArray(2000, 0)),             // too many categories
        Ov2Bytes().le32(-1),                                        // negative count
        Ov2Bytes().le32(100).le32(7311),                            // table past the end
        withOffsets({-16, dataAt}),                                 // negative start
        withOffsets({dataAt + 10, dataAt}),                         // decreasing offsets
        withOffsets({dataAt, dataAt + 1000}),                       // block past the end
        headerLayout({7311}, {blk}, {-15}),                         // negative size
        headerLayout({7311}, {blk}, {100000}),                      // block past the end
        headerLayout({1, 2, 3, 4, 5, 6, 7, 8}, {}, {0, 0, 0, 0, 0, 0, 0, 0}).left(3330), // cut table
        QByteArray("POIS", 4),                                      // no count
    };
    TempFolder tmp;
    for (const QByteArray &file : bad) {
        const QString path = tmp.write("bad.dat", file);
        Ov2Data d;
        EXPECT_FALSE(openPoiDatCategory(path, "7311:Petrol Station", d).isEmpty()) << file.left(40).toHex().toStdString();
        EXPECT_TRUE(d.pois.empty());
    }
    // 128 categories are still accepted.
    QList<qint32> ids;
    QList<QByteArray> blocks;
    for (int i = 0; i < 128; ++i) {
        ids.append(7000 + i);
        blocks.append(i == 127 ? blk : QByteArray());
    }
    const QString path = tmp.write("128.dat", offsetLayout(ids, blocks));
    Ov2Data d;
    ASSERT_EQ(openPoiDatCategory(path, "7127:?", d), QString());
    EXPECT_EQ(texts(d), QStringList({"x 2/0"}));
}

TEST(PoiDat, FormatErrorInsideABlock)
{
    TempFolder tmp;
    const QString path = tmp.write("poi.dat", offsetLayout({7311}, {Ov2Bytes().poi(1, 1, "a").u8(11)}));
    Ov2Data d;
    const QString error = openPoiDatCategory(path, "7311:Petrol Station", d);
    EXPECT_TRUE(error.startsWith("Unknown Field: 0000001F : 0B(11)")) << error.toStdString();
}
