// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Ov2Units.h"

#include <QList>
#include <QPair>

#include <gtest/gtest.h>

TEST(Ov2Units, DegreesToUnitsIsExactAndTruncates)
{
    const QList<QPair<QString, QString>> cases = {
        {"52.12345", "5212345"}, {"-0.000019", "-1"}, {"19.8", "1980000"}, {"19.93500", "1993500"},
        {"0.1", "10000"}, {"-19.8", "-1980000"}, {"0.000009", "0"}, {"-0.000009", "0"},
        {"5.", "500000"}, {".5", "50000"}, {"+1", "100000"}, {"  7.25  ", "725000"},
        {"1.5e1", "1500000"}, {"15E-1", "150000"}, {"1e-6", "0"}, {"123456789.123456789", "12345678912345"},
        {"000012.5", "1250000"}, {"-180", "-18000000"},
        // Not numbers: 0.
        {"", "0"}, {".", "0"}, {"-", "0"}, {"1,5", "0"}, {"abc", "0"}, {"1.2.3", "0"}, {"1e", "0"},
        {"1e+", "0"}, {"0x10", "0"}, {"1 2", "0"}, {"e5", "0"},
        // Beyond 64 bits: 0, never a wrapped value.
        {"1e30", "0"}, {"99999999999999999999", "0"}, {"1e999999999999", "0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ToOV2Units(c.first), c.second) << c.first.toStdString();
    EXPECT_EQ(toOv2UnitsValue(u"92233720368547.75807").value_or(-1), 9223372036854775807LL);
    EXPECT_FALSE(toOv2UnitsValue(u"92233720368547.75808").has_value());
}

TEST(Ov2Units, UnitsToDegreesWithFiveDecimals)
{
    const QList<QPair<QString, QString>> cases = {
        {"5212345", "52.12345"}, {"-1", "-0.00001"}, {"0", "0.00000"}, {"100000", "1.00000"},
        {"-2147483648", "-21474.83648"}, {"2147483647", "21474.83647"}, {" 12 ", "0.00012"},
        {"2147483648", "0.00000"}, {"1.5", "0.00000"}, {"", "0.00000"}, {"x", "0.00000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FromOV2Units(c.first), c.second) << c.first.toStdString();
}

TEST(Ov2Units, CellsAsIntegers)
{
    EXPECT_EQ(parseOv2Integer(u" -12 ").value_or(0), -12);
    EXPECT_EQ(parseOv2Integer(u"+7").value_or(0), 7);
    EXPECT_EQ(parseOv2Integer(u"-2147483648").value_or(0), -2147483647 - 1);
    for (const char16_t *bad : {u"", u" ", u"-", u"+", u"2147483648", u"-2147483649", u"1.0", u"1e3", u"$FF",
                                u"0x1", u"1 2", u"--1", u"\u0661"})
        EXPECT_FALSE(parseOv2Integer(QStringView(bad)).has_value()) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(parseOv2Integer(QByteArrayView("\t99\t")).value_or(0), 99);
}
