// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// KML documents of a POI list (one placemark per POI) and of an itinerary (the
// route as a line, then its points as placemarks), in the form our own KML import
// reads: placemarks in the first Document, Point coordinates with an altitude.

#include "exchange/Gpx.h"

#include <QByteArray>
#include <QString>

#include <vector>

class ChunkedOut;

namespace KmlExport {

enum class Kind { Points, Route };

void write(ChunkedOut &out, const std::vector<GeoPoint> &points, Kind kind, const QString &title);
QByteArray toBytes(const std::vector<GeoPoint> &points, Kind kind, const QString &title);
// Through the atomic save; throws KorvixError and the old file survives.
void save(const QString &path, const std::vector<GeoPoint> &points, Kind kind, const QString &title);

} // namespace KmlExport
