// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/GeoPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

// Degrees to list units go by the decimal digits, not by a product that may fall a
// hair short: the cases a plain trunc(degrees * 100000) gets wrong among them.
TEST(GeoPoint, DegreesToUnitsOnTheDigits)
{
    EXPECT_EQ(GeoPoint::unitsOfDegrees(52.12345), 5212345);
    EXPECT_EQ(GeoPoint::unitsOfDegrees(0.29), 29000);
    EXPECT_EQ(GeoPoint::unitsOfDegrees(-0.000019), -1);
    EXPECT_EQ(GeoPoint::unitsOfDegrees(19.8), 1980000);
    EXPECT_EQ(GeoPoint::unitsOfDegrees(-180.0), -18000000);
    EXPECT_EQ(GeoPoint::unitsOfDegrees(0.0), 0);
    EXPECT_EQ(GeoPoint::unitsOfDegrees(21474.83647), std::numeric_limits<qint32>::max());
    EXPECT_FALSE(GeoPoint::unitsOfDegrees(21474.83648));
    EXPECT_FALSE(GeoPoint::unitsOfDegrees(std::nan("")));
    EXPECT_FALSE(GeoPoint::unitsOfDegrees(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(GeoPoint::unitsOfDegrees(1e300));
    EXPECT_EQ(GeoPoint::fromDegrees(19.93730, 50.0617, QStringLiteral("Rynek")),
              (GeoPoint{1993730, 5006170, QStringLiteral("Rynek")}));
    EXPECT_FALSE(GeoPoint::fromDegrees(0, std::nan("")));
}

// Every point survives units -> degrees -> units, whatever its coordinates.
TEST(GeoPoint, RoundTripThroughDegrees)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<qint32> any(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    std::uniform_int_distribution<qint32> world(-18000000, 18000000);
    for (int i = 0; i < 200000; ++i) {
        const GeoPoint p{i % 2 ? any(rng) : world(rng), world(rng), QStringLiteral("p")};
        const GeoDegrees d = p.degrees();
        ASSERT_EQ(GeoPoint::fromDegrees(d.lon, d.lat, p.name), p) << p.lon << " " << p.lat;
    }
}

} // namespace
