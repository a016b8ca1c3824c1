// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

class IProgress;

// The rows to be written, in list order: coordinates already read from the cells and
// descriptions as device bytes, all texts in one buffer.
class Ov2PointList {
public:
    struct Point {
        qint32 lon = 0, lat = 0;
        quint32 descPos = 0, descLen = 0;
    };

    void reserve(size_t count, qsizetype textBytes = 0);
    void add(qint32 lon, qint32 lat, QByteArrayView description);
    size_t size() const { return m_points.size(); }
    bool empty() const { return m_points.empty(); }
    const Point &operator[](size_t i) const { return m_points[i]; }
    QByteArrayView description(const Point &p) const
    {
        return QByteArrayView(m_texts.constData() + p.descPos, p.descLen);
    }
    // Size of the POI record written for the point: 13 + the written description
    // (text + zero byte, "?" for an empty text).
    qint64 recordSize(const Point &p) const { return p.descLen ? qint64(p.descLen) + 14 : 15; }

private:
    std::vector<Point> m_points;
    QByteArray m_texts;
};

// An area of the skipper tree: west, north, east, south, inclusive. 64 bits so that
// the halves' midLon + 1 and midLat + 1 never overflow.
struct AreaRect {
    qint64 west = 0, north = 0, east = 0, south = 0;
    bool operator==(const AreaRect &o) const = default;
};

inline bool InArea(const AreaRect &a, qint64 lon, qint64 lat)
{
    return a.west <= lon && lon <= a.east && a.south <= lat && lat <= a.north;
}

// The four halves in writing order: north-west, north-east, south-west, south-east.
void splitArea(const AreaRect &a, AreaRect out[4]);
// The rectangle over every point (the main skipper's).
AreaRect mainRect(const Ov2PointList &list);

// The whole file: one skipper block over the main rectangle, split into four while an
// area holds 32 or more POIs and is larger than one point; POIs as type-2 records in
// list order inside each leaf. Throws KorvixError when the list is empty or the file
// would exceed the format's 32-bit lengths.
QByteArray buildOv2(const Ov2PointList &list, IProgress *progress = nullptr);

// Writes buildOv2's bytes through QSaveFile, so a failed save leaves the old file.
// Throws KorvixError.
void SaveOV2(const QString &fileName, const Ov2PointList &list, IProgress *progress = nullptr);
