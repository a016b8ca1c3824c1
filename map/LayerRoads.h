// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The road authority's network map (an SVG of its own projection) as map lines:
// the country outline, the motorways and the main roads, and the kilometre labels.

#include "map/MapLists.h"

#include <QByteArray>
#include <QString>

class IProgress;

namespace LayerRoads {

// The map's projection: longitude = x / 7 + 13.343, latitude = 55.7 - y / 11.
double longitudeOf(double x);
double latitudeOf(double y);

// The calls for the SVG: a line per polyline or polygon of the groups "Polska"
// (green, 6), "autostrady" and "gpr2000" (red, 2), a marker per "pik" label that
// contains "30". Without an "svg" element nothing is sent. Throws KorvixError when
// the document does not parse.
void send(const QByteArray &svg, IMapCalls &out, IProgress *progress = nullptr);

} // namespace LayerRoads
