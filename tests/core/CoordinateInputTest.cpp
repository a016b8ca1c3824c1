// SPDX-License-Identifier: GPL-3.0-or-later
// Coordinates as people type them into a list cell, on forms copied from map sites,
// phones, printed guides and spreadsheets, and on texts that must be refused.
#include "core/CoordinateInput.h"

#include <gtest/gtest.h>

using namespace CoordinateInput;

namespace {
constexpr Axis Lat = Axis::Latitude, Lon = Axis::Longitude;

std::string reasonOf(const QString &text, Axis axis)
{
    QString why;
    EXPECT_FALSE(read(text, axis, &why)) << text.toStdString();
    return why.toStdString();
}
} // namespace

TEST(CoordinateInput, ReadsTheFormsPeopleType)
{
    struct Case {
        const char *text;
        Axis axis;
        qint32 units;
    } cases[] = {
        {"19.95", Lon, 1995000},
        {"19,95", Lon, 1995000},           // a locale's decimal comma
        {" -19.95 ", Lon, -1995000},
        {"+0.00001", Lat, 1},
        {"-0.000019", Lat, -1},            // truncated toward zero, as the dialog's units
        {"1995000", Lon, 1995000},         // a plain integer keeps meaning the units
        {"-1", Lat, -1},
        {"2147483647", Lat, 2147483647},   // as today: any 32-bit integer is units
        {"50°03'36\"N", Lat, 5006000},
        {"50°03′36″N", Lat, 5006000},       // typographic primes
        {"50º3'36''", Lat, 5006000},        // ordinal sign and two apostrophes
        {"50 3 36 N", Lat, 5006000},
        {"50 3 36", Lat, 5006000},
        {"N 50 3 36", Lat, 5006000},
        {"n50.06", Lat, 5006000},
        {"50°3.6'", Lat, 5006000},
        {"50*3,6'", Lat, 5006000},
        {"19°56'24\"E", Lon, 1994000},
        {"19°56'24\"W", Lon, -1994000},
        {"S 33°51'25.7\"", Lat, -3385713},
        {"33° 51' 25.7\" S", Lat, -3385713},
        {"W 0.5", Lon, -50000},
        {"90", Lat, 90},                    // an integer: units, not degrees
        {"90.0", Lat, 9000000},
        {"-90.00000", Lat, -9000000},
        {"180.000000", Lon, 18000000},
        {"179°59'59.99999\"", Lon, 17999999},
        {"90'", Lat, 150000},               // minutes alone
        {"5400\"", Lat, 150000},            // seconds alone
    };
    for (const Case &c : cases) {
        QString why;
        const auto v = read(QString::fromUtf8(c.text), c.axis, &why);
        ASSERT_TRUE(v) << c.text << ": " << why.toStdString();
        EXPECT_EQ(*v, c.units) << c.text;
    }
}

TEST(CoordinateInput, RefusesWithAReason)
{
    EXPECT_EQ(reasonOf("", Lat), "there is no number");
    EXPECT_EQ(reasonOf("   ", Lat), "there is no number");
    EXPECT_EQ(reasonOf("N", Lat), "there is no number");
    EXPECT_EQ(reasonOf("-", Lat), "there is no number");
    EXPECT_EQ(reasonOf(QString::fromUtf8("91°"), Lat), "a latitude lies within 90°");
    EXPECT_EQ(reasonOf("90.000001", Lat), "a latitude lies within 90°");
    EXPECT_EQ(reasonOf("180.000001", Lon), "a longitude lies within 180°");
    // Beyond the exact digits still counts.
    EXPECT_EQ(reasonOf("180.0000000000000000000001", Lon), "a longitude lies within 180°");
    EXPECT_EQ(reasonOf("-180.5", Lon), "a longitude lies within 180°");
    EXPECT_EQ(reasonOf("99999999999999999999.5", Lon), "a longitude lies within 180°");
    EXPECT_EQ(reasonOf("1e9", Lon), "a hemisphere letter belongs at the start or at the end");
    EXPECT_EQ(reasonOf("1x9", Lon), "\"x\" is no part of a coordinate");
    EXPECT_EQ(reasonOf("4294967296", Lon), "the whole number is beyond the range of the list's units");
    EXPECT_EQ(reasonOf("N 50 E", Lat), "there is more than one hemisphere letter");
    EXPECT_EQ(reasonOf("N 50", Lon), "N marks a latitude, not a longitude");
    EXPECT_EQ(reasonOf("19 E", Lat), "E marks a longitude, not a latitude");
    EXPECT_EQ(reasonOf("-50 S", Lat), "a sign and a hemisphere letter cannot go together");
    EXPECT_EQ(reasonOf("50.5 30", Lat), "only the last number may have decimals");
    EXPECT_EQ(reasonOf("50 60", Lat), "minutes and seconds must be below 60");
    EXPECT_EQ(reasonOf("50 59 60", Lat), "minutes and seconds must be below 60");
    EXPECT_TRUE(read(QStringLiteral("50 59 59.9999"), Lat)) << "just below the limits";
    EXPECT_EQ(reasonOf("3'50°", Lat), "degrees, minutes and seconds are out of order");
    EXPECT_EQ(reasonOf("1 2 3 4", Lat), "there are more numbers than degrees, minutes and seconds");
    EXPECT_EQ(reasonOf("50.", Lat), "a decimal separator needs digits after it");
    EXPECT_EQ(reasonOf("1.2.3", Lat), "\".\" is no part of a coordinate");
    EXPECT_EQ(reasonOf(QStringLiteral("1").repeated(MaxLength + 1), Lat), "the text is too long for a coordinate");
    // Bounded work on a huge paste: refused at once, whatever it holds.
    EXPECT_EQ(reasonOf(QStringLiteral("9").repeated(1 << 20), Lat), "the text is too long for a coordinate");
}

TEST(CoordinateInput, PairsFromMapSitesAndPrintedGuides)
{
    struct Case {
        const char *text;
        qint32 lon, lat;
    } cases[] = {
        {"50.06, 19.94", 1994000, 5006000},             // map sites copy "lat, lon"
        {"50.06,19.94", 1994000, 5006000},
        {"50,06, 19,94", 1994000, 5006000},             // decimal commas, a blank after the separator
        {"50,06,19,94", 1994000, 5006000},
        {"50.06; 19.94", 1994000, 5006000},
        {"50.06 19.94", 1994000, 5006000},
        {"-33.8571, 151.2151", 15121510, -3385710},
        {"50°03'36\"N 19°56'24\"E", 1994000, 5006000},
        {"19°56'24\"E 50°03'36\"N", 1994000, 5006000}, // letters win over the order
        {"N 50°03.6' E 19°56.4'", 1994000, 5006000},
        {"E 19.94, N 50.06", 1994000, 5006000},
        {"50.06N, 19.94W", -1994000, 5006000},
        {"S33.8571 E151.2151", 15121510, -3385710},
        {"19.94E, 50.06", 1994000, 5006000},            // one letter places the other half too
        {"N 50,06, E 19,94", 1994000, 5006000},
    };
    for (const Case &c : cases) {
        QString why;
        const auto p = readPair(QString::fromUtf8(c.text), PairOrder::LatLon, &why);
        ASSERT_TRUE(p) << c.text << ": " << why.toStdString();
        EXPECT_EQ(p->lon, c.lon) << c.text;
        EXPECT_EQ(p->lat, c.lat) << c.text;
    }
    // The coordinate dialog reads longitude first.
    const auto dialog = readPair(QStringLiteral("19.935, 50.062"), PairOrder::LonLat);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->lon, 1993500);
    EXPECT_EQ(dialog->lat, 5006200);
}

TEST(CoordinateInput, WhatIsNoPair)
{
    QStringView a, b;
    for (const char *single : {"19,95", "S 50,0617", "50,0617 N", "50 3 36 N", "50°03'36\"N", "1995000", "", "-", "50 19", "1,2,3"})
        EXPECT_FALSE(splitPair(QString::fromUtf8(single), &a, &b)) << single;

    QString why;
    EXPECT_FALSE(readPair(QStringLiteral("19,95"), PairOrder::LatLon, &why));
    EXPECT_EQ(why.toStdString(), "the text is not two coordinates");
    EXPECT_FALSE(readPair(QStringLiteral("N 50, S 19"), PairOrder::LatLon, &why));
    EXPECT_EQ(why.toStdString(), "both coordinates are latitudes");
    EXPECT_FALSE(readPair(QStringLiteral("E 50, W 19"), PairOrder::LatLon, &why));
    EXPECT_EQ(why.toStdString(), "both coordinates are longitudes");
    EXPECT_FALSE(readPair(QStringLiteral("95.1, 19.94"), PairOrder::LatLon, &why));
    EXPECT_EQ(why.toStdString(), "latitude: a latitude lies within 90°");
    EXPECT_FALSE(readPair(QStringLiteral("50.06, 1e9"), PairOrder::LatLon, &why));
    EXPECT_EQ(why.toStdString(), "longitude: a hemisphere letter belongs at the start or at the end");
    EXPECT_FALSE(readPair(QStringLiteral("1.5, ").repeated(100000), PairOrder::LatLon, &why));
    EXPECT_EQ(why.toStdString(), "the text is not two coordinates");
}
