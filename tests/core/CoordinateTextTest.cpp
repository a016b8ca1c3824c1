// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/CoordinateText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
QString show(const QString &input, CoordinateDisplay d)
{
    return coordinateDisplayLines(parseCoordinatePair(input), d).join(QStringLiteral(" | "));
}

std::string s(const QString &q) { return q.toStdString(); }
} // namespace

TEST(CoordinateParse, DecimalDegreesWithComma)
{
    const CoordinatePair p = parseCoordinatePair(QStringLiteral("19.935, 50.062"));
    EXPECT_DOUBLE_EQ(p.lng.degrees(), 19.935);
    EXPECT_DOUBLE_EQ(p.lat.degrees(), 50.062);
    EXPECT_EQ(s(show(QStringLiteral("19.935, 50.062"), CoordinateDisplay::Degrees)), "Lng: 19.935 | Lat: 50.062");
    EXPECT_EQ(s(show(QStringLiteral("19.935, 50.062"), CoordinateDisplay::TomTom)), "Lng: 1993500 | Lat: 5006200");
}

TEST(CoordinateParse, DegreesMinutesSecondsWithHemispheres)
{
    const QString text = QStringLiteral("E 19*56'6\"N 50*3'43.2\"");
    const CoordinatePair p = parseCoordinatePair(text);
    EXPECT_NEAR(p.lng.degrees(), 19 + 56 / 60.0 + 6 / 3600.0, 1e-12);
    EXPECT_NEAR(p.lat.degrees(), 50 + 3 / 60.0 + 43.2 / 3600.0, 1e-12);
    EXPECT_EQ(s(show(text, CoordinateDisplay::Seconds)), "Lng: 19*56'6 | Lat: 50*3'43.2");
    EXPECT_EQ(s(show(text, CoordinateDisplay::Minutes)), "Lng: 19*56.1 | Lat: 50*3.72");

    // Only the double quote is stepped over; the comma is no digit, so lat reads 0.
    const CoordinatePair c = parseCoordinatePair(QStringLiteral("E 19*56'6\", N 50*3'43.2\""));
    EXPECT_NEAR(c.lng.degrees(), 19 + 56 / 60.0 + 6 / 3600.0, 1e-12);
    EXPECT_EQ(c.lat.degrees(), 0.0);
}

TEST(CoordinateParse, DegreeSignAndOrdinalIndicatorAreDegreeSigns)
{
    const CoordinatePair p = parseCoordinatePair(QString::fromUtf8("19º30, 50º15'36"));
    EXPECT_DOUBLE_EQ(p.lng.degrees(), 19.5);
    EXPECT_DOUBLE_EQ(p.lat.degrees(), 50.26);

    // The usual degree sign U+00B0 reads like "*", hemisphere letters and all.
    const QString typed = QString::fromUtf8("E 19°56'6\"N 50°3'40\"");
    const CoordinatePair d = parseCoordinatePair(typed);
    EXPECT_NEAR(d.lng.degrees(), 19 + 56 / 60.0 + 6 / 3600.0, 1e-12);
    EXPECT_NEAR(d.lat.degrees(), 50 + 3 / 60.0 + 40 / 3600.0, 1e-12);
    EXPECT_EQ(s(show(typed, CoordinateDisplay::Seconds)), "Lng: 19*56'6 | Lat: 50*3'40");
    EXPECT_EQ(s(show(QString::fromUtf8("W 0°30, S 1° 30'"), CoordinateDisplay::Minutes)), "Lng: -0*30 | Lat: -1*30");
}

TEST(CoordinateParse, MinutesAndSecondsAlone)
{
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("90'")).lng.degrees(), 1.5);
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("90' 1800")).lng.degrees(), 2.0);
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("5400\"")).lng.degrees(), 1.5);
    // Degrees followed by a number and a double quote: that number is seconds.
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("1*1800\"")).lng.degrees(), 1.5);
}

TEST(CoordinateParse, SignsAndLetters)
{
    CoordinatePair p = parseCoordinatePair(QStringLiteral("W 0.5, S 1.5"));
    EXPECT_DOUBLE_EQ(p.lng.degrees(), -0.5);
    EXPECT_DOUBLE_EQ(p.lat.degrees(), -1.5);
    // The value between -1 and 0 keeps its sign in the degrees part.
    EXPECT_EQ(s(show(QStringLiteral("W 0.5, S 1.5"), CoordinateDisplay::Minutes)), "Lng: -0*30 | Lat: -1*30");
    EXPECT_EQ(s(show(QStringLiteral("E 0.5, N 1.5"), CoordinateDisplay::Minutes)), "Lng: 0*30 | Lat: 1*30");

    // The blank after the number is skipped, "S" ends lng and is then stepped over.
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("19.935 S50.062")).lat.degrees(), 50.062);
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("19.935, S50.062")).lat.degrees(), -50.062);
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("w1,s2")).lng.degrees(), -1.0);
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("w1,s2")).lat.degrees(), -2.0);
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("-1,-2")).lat.degrees(), -2.0);
    // A north-south letter is no sign for longitude.
    EXPECT_DOUBLE_EQ(parseCoordinatePair(QStringLiteral("N19, 50")).lng.degrees(), 0.0);
}

TEST(CoordinateParse, OnlyTheWholeValueIsSplitIntoUnits)
{
    EXPECT_EQ(s(show(QStringLiteral("20.999"), CoordinateDisplay::Seconds)), "Lng: 20*59'56.4 | Lat: 0*0'0");
    // Exact decimal arithmetic: no 30*22'60 and no lost minute.
    EXPECT_EQ(s(show(QStringLiteral("30*23', 30*23'"), CoordinateDisplay::Seconds)), "Lng: 30*23'0 | Lat: 30*23'0");
    EXPECT_EQ(s(show(QStringLiteral("30*23'"), CoordinateDisplay::Minutes)), "Lng: 30*23 | Lat: 0*0");
    EXPECT_EQ(s(show(QStringLiteral("30*23'"), CoordinateDisplay::Degrees)), "Lng: 30.3833333333333 | Lat: 0");
    EXPECT_EQ(s(show(QStringLiteral("19.8, -0.000001"), CoordinateDisplay::TomTom)), "Lng: 1980000 | Lat: 0");
    EXPECT_EQ(s(show(QStringLiteral("-19.8, 0.00001"), CoordinateDisplay::TomTom)), "Lng: -1980000 | Lat: 1");
    EXPECT_EQ(s(show(QStringLiteral("0.1*30, 1*2'3.45"), CoordinateDisplay::Seconds)), "Lng: 0*36'0 | Lat: 1*2'3.45");
}

TEST(CoordinateParse, EmptyAndHostileInput)
{
    EXPECT_EQ(s(show(QString(), CoordinateDisplay::Degrees)), "Lng: 0 | Lat: 0");
    EXPECT_EQ(s(show(QStringLiteral(",,,,;;''**\"\""), CoordinateDisplay::Seconds)), "Lng: 0*0'0 | Lat: 0*0'0");
    EXPECT_EQ(s(show(QStringLiteral("-"), CoordinateDisplay::Minutes)), "Lng: 0*0 | Lat: 0*0");
    EXPECT_EQ(s(show(QStringLiteral("1.2.3"), CoordinateDisplay::Degrees)), "Lng: 1.2 | Lat: 3");

    // 10,000 digits: exact, bounded work, the general form switches to an exponent.
    const QString huge = QStringLiteral("9").repeated(10000);
    const CoordinatePair p = parseCoordinatePair(huge);
    EXPECT_TRUE(std::isinf(p.lng.degrees()));
    EXPECT_EQ(s(formatCoordinate(p.lng, CoordinateDisplay::Degrees)), "1E10000");
    EXPECT_EQ(formatCoordinate(p.lng, CoordinateDisplay::TomTom), huge + QStringLiteral("00000"));
    EXPECT_EQ(s(formatCoordinate(p.lng, CoordinateDisplay::Seconds)), s(huge + QStringLiteral("*0'0")));

    const QString separators = QStringLiteral(", ").repeated(5000);
    EXPECT_EQ(s(show(separators, CoordinateDisplay::TomTom)), "Lng: 0 | Lat: 0");
    const QString noise = QStringLiteral("*'\"-").repeated(2500);
    EXPECT_EQ(parseCoordinatePair(noise).lng.degrees(), 0.0);
}

TEST(GeneralFormat, SignificantDigitsAndNotation)
{
    EXPECT_EQ(s(formatGeneral(0.0)), "0");
    EXPECT_EQ(s(formatGeneral(19.935)), "19.935");
    EXPECT_EQ(s(formatGeneral(-2.5)), "-2.5");
    EXPECT_EQ(s(formatGeneral(1e-6)), "1E-6");
    EXPECT_EQ(s(formatGeneral(0.00001)), "0.00001");
    EXPECT_EQ(s(formatGeneral(1.5e20)), "1.5E20");
    EXPECT_EQ(s(formatGeneral(1e15)), "1E15");
    EXPECT_EQ(s(formatGeneral(999999999999999.0)), "999999999999999");
    EXPECT_EQ(s(formatGeneral(9999999999999999.0)), "1E16");
    EXPECT_EQ(s(formatGeneral(1.0 / 3.0)), "0.333333333333333");
    EXPECT_EQ(s(formatGeneral(2.0 / 3.0)), "0.666666666666667");
    EXPECT_EQ(s(formatGeneral(0.1 + 0.2)), "0.3");
    // Half away from zero on the sixteenth digit.
    EXPECT_EQ(s(formatGeneral(1.000000000000005)), "1.00000000000001");
    EXPECT_EQ(s(formatGeneral(-1.000000000000005)), "-1.00000000000001");
}

TEST(GeneralFormat, ExactValuesRoundHalfAwayFromZero)
{
    // 0.000000000000005 more than 1 is exactly half of the fifteenth digit.
    EXPECT_EQ(s(show(QStringLiteral("1.000000000000005, -1.000000000000005"), CoordinateDisplay::Degrees)),
              "Lng: 1.00000000000001 | Lat: -1.00000000000001");
    EXPECT_EQ(s(show(QStringLiteral("1.0000000000000049"), CoordinateDisplay::Degrees)), "Lng: 1 | Lat: 0");
    EXPECT_EQ(s(show(QStringLiteral("0.000001, 123456789012345678"), CoordinateDisplay::Degrees)),
              "Lng: 1E-6 | Lat: 1.23456789012346E17");
}
