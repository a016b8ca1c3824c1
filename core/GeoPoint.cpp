// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/GeoPoint.h"

#include "core/Ov2Units.h"

#include <charconv>
#include <cmath>
#include <limits>

std::optional<qint32> GeoPoint::unitsOfDegrees(double degrees)
{
    if (!std::isfinite(degrees) || std::fabs(degrees) > 1e9)
        return std::nullopt;
    // The shortest fixed notation that reads back as the value, then the lists' own
    // conversion on its digits.
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, degrees, std::chars_format::fixed);
    if (ec != std::errc())
        return std::nullopt;
    const std::optional<qint64> units = toOv2UnitsValue(QString::fromLatin1(buf, end - buf));
    if (!units || *units < std::numeric_limits<qint32>::min() || *units > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*units);
}

std::optional<GeoPoint> GeoPoint::fromDegrees(double lon, double lat, QString name)
{
    const std::optional<qint32> x = unitsOfDegrees(lon), y = unitsOfDegrees(lat);
    if (!x || !y)
        return std::nullopt;
    return GeoPoint{*x, *y, std::move(name)};
}
