// SPDX-License-Identifier: GPL-3.0-or-later
// The script texts sent to the map page and the page's texts read back.
#include "map/MapScript.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace MapScript;

TEST(MapScript, TextArgumentsAreJsonStringLiterals)
{
    EXPECT_EQ(jsonString(u"Rynek \"Główny\""), u"\"Rynek \\\"Główny\\\"\"");
    EXPECT_EQ(jsonString(u"C:\\dir"), u"\"C:\\\\dir\"");
    EXPECT_EQ(jsonString(u"\b\t\n\f\r"), u"\"\\b\\t\\n\\f\\r\"");
    // Other controls as \u00XX with lower-case digits; DEL and beyond stand as they are.
    EXPECT_EQ(jsonString(QStringView(u"\x01\x1b\x1f\x7f")), QString::fromUtf16(u"\"\\u0001\\u001b\\u001f\x7f\""));
    EXPECT_EQ(jsonString(QString(QChar(0))), u"\"\\u0000\"");
    // An apostrophe, a closing tag and a line separator need nothing in a JSON literal.
    EXPECT_EQ(jsonString(u"O'Neil </script> \u2028"), u"\"O'Neil </script> \u2028\"");
    EXPECT_EQ(jsonString(u""), u"\"\"");
}

TEST(MapScript, CallsOfTheLists)
{
    EXPECT_EQ(icon(u"image000.bmp"), u"WB_Icon(\"image000.bmp\");");
    EXPECT_EQ(poi(u"50.06200", u"19.93500", u"Rynek \"Główny\""),
              u"WB_POI(50.06200,19.93500,\"Rynek \\\"Główny\\\"\",false);");
    EXPECT_EQ(poi(u"0.00000", u"-0.00001", u"a'); alert(1); ('"),
              u"WB_POI(0.00000,-0.00001,\"a'); alert(1); ('\",false);");
    EXPECT_EQ(waypoint(u"50.06200", u"19.93500", u"line\nbreak"), u"WB_WP(50.06200,19.93500,\"line\\nbreak\");");
    EXPECT_EQ(refresh(), u"WB_POIRefresh();");
}

TEST(MapScript, PlainDecimalsOnly)
{
    for (const char16_t *good : {u"1", u"-1", u"+1.5", u"1.", u".5", u"0.000000", u"-180.000000"})
        EXPECT_TRUE(isPlainDecimal(good)) << QString::fromUtf16(good).toStdString();
    for (const char16_t *bad : {u"", u"-", u"+", u".", u"-.", u"1e5", u" 1", u"1 ", u"0x10", u"1,5", u"NaN",
                                u"Infinity", u"1.2.3", u"--1", u"1-", u"\u0661", u"\uff11", u"1);alert(1"})
        EXPECT_FALSE(isPlainDecimal(bad)) << QString::fromUtf16(bad).toStdString();
}

TEST(MapScript, BoundsSpanThePointsWithEightDecimals)
{
    BoundingRect r;
    EXPECT_TRUE(r.isEmpty());
    r.extend(5006200, 1993500);
    EXPECT_FALSE(r.isEmpty());
    EXPECT_EQ(bounds(r), u"WB_Bounds(50.06200000,19.93500000,50.06200000,19.93500000);");
    r.extend(5007000, 1993600);
    r.extend(-1, -1800000);
    // left = smallest latitude, top = largest longitude, right = largest latitude,
    // bottom = smallest longitude.
    EXPECT_EQ(bounds(r), u"WB_Bounds(-0.00001000,19.93600000,50.07000000,-18.00000000);");
}

TEST(MapScript, HomeSetting)
{
    EXPECT_EQ(home(QStringLiteral("50.061000,19.937000,\"Rynek, Kraków\"")),
              u"WB_Home(50.061000,19.937000,\"Rynek, Kraków\");");
    EXPECT_EQ(home(QStringLiteral(" 50.1 , -19.9 , \"O'Neil </script>\" ")).value_or("none"),
              u"WB_Home(50.1,-19.9,\"O'Neil </script>\");");
    EXPECT_EQ(home(QStringLiteral("50,19")), u"WB_Home(50,19,\"\");");
    EXPECT_FALSE(home(QString()));
    EXPECT_FALSE(home(QStringLiteral("Krakow,19.9,\"x\"")));
    EXPECT_FALSE(home(QStringLiteral("50.0,alert(1),\"x\"")));
    EXPECT_FALSE(home(QStringLiteral("50.0")));
}

TEST(MapScript, InitialViewSetting)
{
    EXPECT_EQ(initialView(QStringLiteral("50.0, 19.8 ,50.1,20.0")), u"WB_Bounds(50.0,19.8,50.1,20.0);");
    EXPECT_EQ(initialView(QStringLiteral("-1,-2.5,3.,+4")), u"WB_Bounds(-1,-2.5,3.,+4);");
    EXPECT_FALSE(initialView(QString()));
    EXPECT_FALSE(initialView(QStringLiteral("50.0,19.8,50.1")));
    EXPECT_FALSE(initialView(QStringLiteral("50.0,19.8,50.1,20.0,7")));
    EXPECT_FALSE(initialView(QStringLiteral("50.0,19.8,50.1,20);alert(1")));
    EXPECT_FALSE(initialView(QStringLiteral("50.0,19.8,,20.0")));
}

TEST(MapScript, PointFromThePage)
{
    const auto p = parsePoint(QStringLiteral("50.061000,19.937000,\"Rynek, Kraków\""));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->latitude, u"50.061000");
    EXPECT_EQ(p->longitude, u"19.937000");
    EXPECT_EQ(p->name, u"Rynek, Kraków");
    EXPECT_FALSE(parsePoint(QStringLiteral("x,19.9,\"a\"")));
    EXPECT_FALSE(parsePoint(QStringLiteral("50.0")));
}

TEST(MapScript, RouteFromThePageKeepsTheAddressCommas)
{
    const auto route = parseRoute(
        QStringLiteral("3|50.061000,19.937000,Rynek Główny 1, 31-042 Kraków, PL|50.1, 19.9 ,|49.0,20.0"));
    ASSERT_TRUE(route);
    ASSERT_EQ(route->size(), 3u);
    EXPECT_EQ((*route)[0].latitude, u"50.061000");
    EXPECT_EQ((*route)[0].longitude, u"19.937000");
    EXPECT_EQ((*route)[0].name, u"Rynek Główny 1, 31-042 Kraków, PL");
    EXPECT_EQ((*route)[1].longitude, u"19.9");
    EXPECT_EQ((*route)[1].name, u"");
    EXPECT_EQ((*route)[2].latitude, u"49.0");
    EXPECT_EQ((*route)[2].name, u"");

    // A waypoint whose coordinates are not numbers is left out, the rest stay.
    const auto partly = parseRoute(QStringLiteral("2|50.0,alert(1),x|51.0,19.0,y"));
    ASSERT_TRUE(partly);
    ASSERT_EQ(partly->size(), 1u);
    EXPECT_EQ(partly->front().name, u"y");

    // The count must match the waypoints.
    EXPECT_FALSE(parseRoute(QStringLiteral("3|50.0,19.0,a|51.0,19.0,b")));
    EXPECT_FALSE(parseRoute(QStringLiteral("1|50.0,19.0,a|51.0,19.0,b")));
    EXPECT_FALSE(parseRoute(QStringLiteral("two|50.0,19.0,a|51.0,19.0,b")));
    const auto none = parseRoute(QStringLiteral("0"));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}
