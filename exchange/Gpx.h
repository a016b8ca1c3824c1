// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// GPX 1.1, the exchange format of most navigation programs: POI lists go out as
// waypoints, itineraries as one route; waypoints, route points and track points
// come in. Coordinates are OV2 units (1/100000 degree), written with exactly five
// decimals, so a list survives the round trip unchanged.

#include "core/GeoPoint.h"
#include "platform/FileReader.h"

#include <QCoreApplication>
#include <QString>

#include <vector>

class ChunkedOut;
class QIODevice;
class TRBParamsTable;

struct GpxContent {
    std::vector<GeoPoint> waypoints, routePoints, trackPoints;
    QString routeName;
};

namespace Gpx {

// Files beyond this are refused before reading (a wrong choice, not a GPX file).
constexpr qint64 MaxBytes = FileReader::MaxXmlBytes;
// Deeper nesting than any GPX document; it only serves to exhaust the stack.
constexpr int MaxDepth = 64;

// The document: the waypoints, then one route of the route points when there are
// any. Longitudes are written in [-180, 180); a latitude beyond the poles throws
// KorvixError.
void write(ChunkedOut &out, const GpxContent &content);
QByteArray toBytes(const GpxContent &content);
// Through the atomic save; throws KorvixError and the old file survives.
void save(const QString &path, const GpxContent &content);

// Reads GPX 1.0 or 1.1. Entities are never resolved: a document declaring any is
// refused. Empty result = success.
QString read(QIODevice &device, GpxContent &out);
QString read(const QByteArray &bytes, GpxContent &out);
// "PATH: reason" for a file that does not read.
QString readFile(const QString &path, GpxContent &out);

// `count` points of `points` spread evenly along it, first and last kept.
std::vector<GeoPoint> thin(const std::vector<GeoPoint> &points, size_t count);

// The points of list rows 1.. (columns 1 longitude, 2 latitude, 3 name); rows whose
// columns 1..lastColumn are empty are left out. Throws KorvixError naming the row
// whose coordinate is not a whole number.
std::vector<GeoPoint> pointsOfRows(const TRBParamsTable &table, int lastColumn);

inline QString invalidFile() { return QCoreApplication::translate("Gpx", "Invalid GPX file"); }
inline QString tooLarge() { return QCoreApplication::translate("Gpx", "The file is too large"); }
inline QString noPoints() { return QCoreApplication::translate("Gpx", "The GPX file holds no points"); }

} // namespace Gpx
