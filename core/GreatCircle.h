// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/GeoPoint.h"

// Distances of both list editors' duplicate searches.
namespace GreatCircle {
constexpr double EarthRadius = 6372795.0; // metres
}

// Metres between two points in decimal degrees on a sphere of radius 6372795 m by the
// spherical law of cosines. The cosine is clamped to -1..1 so two identical points
// are 0 m apart (rounding may push it a hair above 1); -1 (never near) only when the
// cosine is not a number.
double GreatCircleDistance(double lonA, double latA, double lonB, double latB);
inline double GreatCircleDistance(const GeoDegrees &a, const GeoDegrees &b)
{
    return GreatCircleDistance(a.lon, a.lat, b.lon, b.lat);
}
