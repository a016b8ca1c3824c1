// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli map layer, run as the real program: the calls printed one per line, and
// what was built before an error printed before the message.
#include "core/Settings.h"
#include "platform/Settings.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(MapLayerCli, RastersPrintTheirCallsAndAnEmptyFirstLineEndsWithItsMessage)
{
    TempFolder tmp;
    const QString a = tmp.write("a.sat", "-\r\n19\r\n50.5\r\n19.5\r\n50\r\n");
    const QString bad = tmp.write("bad.sat", "\r\n19\r\n");
    const CliRun ok = runCli({"map", "layer", "raster", a});
    ASSERT_EQ(ok.code, 0) << ok.err.constData();
    const QList<QByteArray> lines = ok.out.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("WB_Raster(19,50,19.5,50.5,\"a.jpg\",\"</table>"));
    EXPECT_EQ(lines[1], "WB_Bounds(50.00000000,19.50000000,50.50000000,19.00000000);");

    const CliRun broken = runCli({"map", "layer", "raster", a, bad});
    EXPECT_EQ(broken.code, 1);
    EXPECT_EQ(broken.out, lines[0] + '\n');
    EXPECT_EQ(broken.err, (bad + ": The first line is empty\n").toUtf8());
}

TEST(MapLayerCli, KrakowTakesItsHostTripMasterAndSvgPrintTheirCalls)
{
    TempFolder tmp;
    const QString xml = tmp.write("k.xml", "\xEF\xBB\xBF<data><marker lat=\"50\" long=\"20\" iconfile=\"i.png\" limit=\"a\" date=\"b\" desc=\"c\"/></data>");
    // The feed's own server setting; without a scheme it gets "http://".
    KorvixSettings settings;
    Prefs::sources(settings).setServer(Prefs::Source::Krakow, "configured.example/");
    const QByteArray tail = "WB_POI(50,20,\"a b c\",false);\nWB_POIRefresh();\n"
                            "WB_Bounds(50.00000000,20.00000000,50.00000000,20.00000000);\n";
    const CliRun configured = runCli({"map", "layer", "krakow", xml});
    EXPECT_EQ(configured.out, "WB_Icon(\"http://configured.example/images/stories/mapa/i.png\");\n" + tail);
    const CliRun given = runCli({"map", "layer", "krakow", xml, "--host", "http://127.0.0.1:9"});
    EXPECT_EQ(given.out, "WB_Icon(\"http://127.0.0.1:9/images/stories/mapa/i.png\");\n" + tail);

    const QString csv = tmp.write("t.csv", "x,y,t,d,A,B,C,v\n19.5,50.5,7:00,P,1,2,3,1\n");
    EXPECT_EQ(runCli({"map", "layer", "tripmaster", csv}).out,
              "WB_Poliline_clr();\nWB_Poliline_add(50.5,19.5);\nWB_POI(50.5,19.5,\"7:00 P A:1 B:2 C:3\",false);\n"
              "WB_Poliline(\"#00ff00\",6);\n");
    const QString zak = tmp.write("z.xml", "<dane><marker lat=\"49.3\" lon=\"19.9\" ikona=\"http://z/i.png\" nazwa=\"W\"/></dane>");
    EXPECT_EQ(runCli({"map", "layer", "zakopane", zak}).out,
              "WB_Icon(\"http://z/i.png\");\nWB_POI(49.3,19.9,\"W\",false);\nWB_POIRefresh();\n"
              "WB_Bounds(49.30000000,19.90000000,49.30000000,19.90000000);\n");
    // A marker lacking a text it is shown with is skipped, and the count told.
    const QString lacking = tmp.write("zl.xml", "<dane><marker lat=\"49.3\" lon=\"19.9\" ikona=\"http://z/i.png\" nazwa=\"W\"/>"
                                                "<marker lat=\"49.4\" lon=\"19.8\" ikona=\"http://z/i.png\"/></dane>");
    const CliRun skipped = runCli({"map", "layer", "zakopane", lacking});
    EXPECT_EQ(skipped.code, 0);
    EXPECT_EQ(skipped.out, "WB_Icon(\"http://z/i.png\");\nWB_POI(49.3,19.9,\"W\",false);\nWB_POIRefresh();\n"
                           "WB_Bounds(49.30000000,19.90000000,49.30000000,19.90000000);\n");
    EXPECT_EQ(skipped.err, (lacking + ": Markers skipped for a missing attribute: 1\n").toUtf8());

    const QString svg = tmp.write("r.svg", "<svg><g id=\"pik\"><g transform=\"translate(0,0)\"><text>30</text></g></g></svg>");
    EXPECT_EQ(runCli({"map", "layer", "svg", svg}).out, "WB_POI(55.7,13.343,\"30\",false);\n");
    const QString broken = tmp.write("b.svg", "<svg><g>");
    const CliRun failed = runCli({"map", "layer", "svg", broken});
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_TRUE(failed.err.startsWith((broken + ": The SVG map can't be read: ").toUtf8())) << failed.err.constData();

    EXPECT_EQ(runCli({"map", "layer", "svg"}).code, 2);
    EXPECT_EQ(runCli({"map", "layer", "tripmaster", csv, csv}).code, 2);
    EXPECT_EQ(runCli({"map", "layer", "nothing", csv}).code, 2);
    EXPECT_EQ(runCli({"map", "layer", "svg", tmp.file("missing.svg")}).code, 1);
}
