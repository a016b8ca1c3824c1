// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QtGlobal>

#include <optional>

// A position in decimal degrees (east and north positive), as the distance formulas
// take it.
struct GeoDegrees {
    double lon = 0;
    double lat = 0;
};

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
    GeoDegrees degrees() const { return {lonDegrees(), latDegrees()}; }

    // From decimal degrees, exact on the digits of the shortest decimal that reads
    // back as the value, truncated toward zero as the lists' unit conversion does:
    // 52.12345 gives 5212345 (the product 52.12345 * 100000 is a hair below). So
    // fromDegrees(p.lonDegrees(), p.latDegrees()) gives p back. nullopt for a value
    // that is not finite or leaves 32 bits.
    static std::optional<GeoPoint> fromDegrees(double lon, double lat, QString name = {});
    static std::optional<qint32> unitsOfDegrees(double degrees);

    bool operator==(const GeoPoint &) const = default;
};
