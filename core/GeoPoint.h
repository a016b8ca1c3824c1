// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QtGlobal>

// A position with a name, as every list and exchange format carries it. Coordinates
// are the lists' own units, 1/100000 degree, so a point survives any round trip
// through a list or a device file unchanged.
struct GeoPoint {
    qint32 lon = 0;
    qint32 lat = 0;
    QString name;

    // Decimal degrees; a division by a power of ten, so correctly rounded.
    double lonDegrees() const { return lon / 100000.0; }
    double latDegrees() const { return lat / 100000.0; }

    bool operator==(const GeoPoint &) const = default;
};
