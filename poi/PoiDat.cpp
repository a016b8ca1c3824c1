// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/PoiDat.h"

#include "poi/Ov2Reader.h"
#include "core/Ov2Units.h"
#include "platform/DeviceFiles.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

const QList<PoiCategoryName> kCategories = {
    {7310, "Car Repair Facility"}, {7311, "Petrol Station"}, {7312, "Rent Car Facility Centre"},
    {7313, "Parking Garage"}, {7314, "Hotel/Motel"}, {7315, "Restaurant Restaurant"},
    {7316, "Tourist Information Office"}, {7317, "museum"}, {7318, "Theatre"},
    {7319, "Cultural Center"}, {7320, "sports Centre"}, {7321, "Hospital Polyclinic"},
    {7322, "Police Station"}, {7324, "Post Office"}, {7326, "Pharmacy"},
    {7337, "scenic/Panoramic"}, {7338, "swimming Pool"}, {7339, "Place of Worship"},
    {7341, "Casino"}, {7342, "Cinema"}, {7349, "Winery Cave"}, {7352, "Ferry Terminal"},
    {7360, "Camping Ground"}, {7365, "Embassy"}, {7366, "Frontier Crossing"},
    {7367, "Government Office"}, {7369, "Open Parking"}, {7373, "shopping Center"},
    {7374, "stadium"}, {7376, "Tourist Attraction"}, {7377, "College University"},
    {7379, "City Center"}, {7380, "Railway Station"}, {7383, "Airport"},
    {7385, "Exhibition Center"}, {7395, "Rest Area"}, {7397, "Cash Dispenser"},
    {9352, "Company"}, {9357, "Beach"}, {9360, "Ice Skating"}, {9361, "shop"},
    {9362, "Park and Recreation Area"}, {9363, "Courthouse"}, {9364, "mountain Peak"},
    {9365, "Opera"}, {9367, "Concert Hall"}, {9369, "Tennis Court"},
    {9371, "Water Sport Centre"}, {9373, "Doctor"}, {9374, "Dentist"}, {9375, "Veterinarian"},
    {9377, "Convention Centre"}, {9378, "Leisure Centre"}, {9379, "Nightlife"}, {9380, "yacht"},
    {9902, "Amusement Park"}, {9906, "Church"}, {9910, "Car Dealer"}, {9911, "Golf Course"},
    {9913, "Library"}, {9927, "Zoo"}, {9930, "Rent Car Parking Parking"},
    {9935, "mountain Pass"}, {9980, "Code postal"},
};

constexpr qint64 kCountOffset = 3314;
constexpr qint64 kIdsOffset = 3318;
constexpr qint64 kBlocksOffset = 3806;
constexpr qint32 kMaxOpenCategories = 128;
constexpr qint32 kMaxListedCategories = 511;

inline qint32 rd32(const char *p)
{
    quint32 v;
    std::memcpy(&v, p, 4);
    return qint32(qFromLittleEndian(v));
}

bool isHeaderLayout(const char *first4)
{
    return std::memcmp(first4, "POIS", 4) == 0;
}

} // namespace

const QList<PoiCategoryName> &CategoryTable()
{
    return kCategories;
}

QString poiCategoryName(qint32 id)
{
    const auto it = std::lower_bound(kCategories.cbegin(), kCategories.cend(), id,
                                     [](const PoiCategoryName &c, qint32 v) { return c.id < v; });
    if (it != kCategories.cend() && it->id == id)
        return QString::fromLatin1(it->name);
    return QStringLiteral("?");
}

QString poiCategoryText(qint32 id)
{
    return QString::number(id) + u':' + poiCategoryName(id);
}

qint32 poiCategoryId(const QString &categoryText)
{
    const qsizetype colon = categoryText.indexOf(u':');
    if (colon < 0)
        return -1;
    return parseOv2Integer(QStringView(categoryText).left(colon)).value_or(-1);
}

PoiDatListing listPoiDat(const QString &path)
{
    // Listing needs the header and the ids only, never the blocks. The content tree
    // lists a device's database: only a regular file is read, so a FIFO cannot block it.
    const std::optional<QByteArray> head = DeviceFiles::readRegularHead(path, kIdsOffset + 4 * kMaxListedCategories);
    if (!head) {
        PoiDatListing out;
        out.error = QCoreApplication::translate("PoiDat", "Can't open %1").arg(path);
        return out;
    }
    return listPoiDatBytes(head->constData(), head->size());
}

PoiDatListing listPoiDatBytes(const char *data, qint64 size)
{
    PoiDatListing out;
    if (size < 4) {
        out.error = QCoreApplication::translate("PoiDat", "The POI database is too short");
        return out;
    }
    qint32 n = rd32(data);
    qint64 idsAt = 4;
    if (isHeaderLayout(data)) {
        if (size < kCountOffset + 4) {
            out.error = QCoreApplication::translate("PoiDat", "The POI database is too short");
            return out;
        }
        n = rd32(data + kCountOffset);
        idsAt = kIdsOffset;
    }
    if (n <= 0 || n > kMaxListedCategories)
        return out;
    for (qint32 i = 0; i < n; ++i) {
        if (idsAt + 4 * qint64(i) + 4 > size) {
            out.error = QCoreApplication::translate("PoiDat", "The category table runs past the end of the file");
            break;
        }
        out.ids.append(rd32(data + idsAt + 4 * qint64(i)));
    }
    return out;
}

QString readPoiDatTable(const char *data, qint64 size, PoiDatTable &table)
{
    table = PoiDatTable();
    if (size < 4)
        return QCoreApplication::translate("PoiDat", "The POI database is too short");
    table.headerLayout = isHeaderLayout(data);
    const qint64 countAt = table.headerLayout ? kCountOffset : 0;
    if (countAt + 4 > size)
        return QCoreApplication::translate("PoiDat", "The POI database is too short");
    const qint32 n = rd32(data + countAt);
    if (n < 0 || n > kMaxOpenCategories)
        return QCoreApplication::translate("PoiDat", "Bad number of categories: %1").arg(n);
    const qint64 idsAt = countAt + 4;
    const qint64 tableEnd = idsAt + 4 * qint64(n) + 4 * (qint64(n) + (table.headerLayout ? 0 : 1));
    if (tableEnd > size)
        return QCoreApplication::translate("PoiDat", "The category table runs past the end of the file");
    for (qint32 i = 0; i < n; ++i)
        table.ids.append(rd32(data + idsAt + 4 * i));
    const char *second = data + idsAt + 4 * qint64(n);
    if (table.headerLayout) {
        qint64 start = kBlocksOffset;
        for (qint32 i = 0; i < n; ++i) {
            const qint64 blockSize = rd32(second + 4 * i);
            if (blockSize < 0)
                return QCoreApplication::translate("PoiDat", "Block %1 has a negative size").arg(i);
            table.starts.append(start);
            start += blockSize;
            table.ends.append(start);
        }
    } else {
        for (qint32 i = 0; i < n; ++i) {
            const qint64 s = rd32(second + 4 * i), e = rd32(second + 4 * (i + 1));
            if (s < 0)
                return QCoreApplication::translate("PoiDat", "Block %1 starts at a negative offset").arg(i);
            if (e < s)
                return QCoreApplication::translate("PoiDat", "Block %1 ends before it starts").arg(i);
            table.starts.append(s);
            table.ends.append(e);
        }
    }
    for (qint32 i = 0; i < n; ++i)
        if (table.ends[i] > size)
            return QCoreApplication::translate("PoiDat", "Block %1 runs past the end of the file").arg(i);
    return {};
}

QString openPoiDatCategory(const QString &path, const QString &categoryText, Ov2Data &data, IProgress *progress,
                           Ov2PoiSink *sink)
{
    QString error = loadOv2Bytes(path, data);
    if (!error.isEmpty())
        return error;
    PoiDatTable table;
    error = readPoiDatTable(data.bytes.constData(), data.bytes.size(), table);
    if (!error.isEmpty())
        return error;
    // Only a text with ":" and an integer before it names a category.
    const qsizetype colon = categoryText.indexOf(u':');
    const std::optional<qint32> wanted =
        colon < 0 ? std::nullopt : parseOv2Integer(QStringView(categoryText).left(colon));
    const qsizetype i = wanted ? table.ids.indexOf(*wanted) : -1;
    if (i < 0) {
        if (sink)
            sink->begin(0);
        return {};
    }
    return readOv2Range(data, table.starts[i], table.ends[i], progress, sink);
}
