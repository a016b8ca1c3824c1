// SPDX-License-Identifier: GPL-3.0-or-later
// The calls of the extra map layers, built without a browser; outputs compared whole.
#include "map/LayerFeeds.h"
#include "map/LayerRoads.h"
#include "map/LayerScript.h"
#include "map/MapScript.h"
#include "map/RasterCapture.h"
#include "map/RasterLayer.h"
#include "map/TripMaster.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/Progress.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

struct Collected : IMapCalls {
    QStringList calls;
    void send(const QString &call) override { calls << call; }
};

QByteArray crlf(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
}

QString info(const QString &sat, const QStringList &v)
{
    return QStringLiteral("</table><table border='0'><caption><big><b>%1</b></big></caption>"
                          "<tr><td>Image file name:</td><td>%2</td></tr><tr><td>Top:</td><td>%3</td></tr>"
                          "<tr><td>Left:</td><td>%4</td></tr><tr><td>Bottom:</td><td>%5</td></tr>"
                          "<tr><td>Right:</td><td>%6</td></tr><tr><td>Minimum zoom level:</td><td>%7</td></tr>"
                          "<tr><td>Maximum zoom level:</td><td>%8</td></tr><tr><td>Width in pixels:</td><td>%9</td></tr>"
                          "<tr><td>Height in pixels:</td><td>%10</td></tr></table>")
        .arg(sat, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7])
        .arg(v[8]);
}

QString satError(const DeviceCodec &codec, const QString &path)
{
    try {
        RasterLayer::readSat(path, codec);
    } catch (const KorvixError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(RasterLayer, DashNamesTheJpegOfTheSameBaseNameAndTheInfoShowsEveryLine)
{
    TempFolder tmp;
    const QString path = tmp.write("Tatry.Zima.sat", crlf({"-", "19.5", "50.2", "20.1", "49.9", "0", "65535", "800", "600"}));
    const SatFile sat = RasterLayer::readSat(path, DeviceCodec());
    EXPECT_EQ(sat.picture, "Tatry.Zima.jpg");
    Collected out;
    RasterShow show;
    show.show(sat, false, true, out);
    ASSERT_EQ(out.calls.size(), 2);
    EXPECT_EQ(out.calls[0], "WB_Raster(19.5,49.9,20.1,50.2,\"Tatry.Zima.jpg\",\""
                                + info("Tatry.Zima.sat", {"Tatry.Zima.jpg", "50.2", "19.5", "49.9", "20.1", "0",
                                                          "65535", "800", "600"})
                                + "\");");
    EXPECT_EQ(out.calls[1], "WB_Bounds(49.90000000,20.10000000,50.20000000,19.50000000);");
}

TEST(RasterLayer, ThreeRastersAreFittedOnceAfterTheLastAndTheFirstResetsTheBox)
{
    TempFolder tmp;
    const DeviceCodec codec;
    const SatFile far = RasterLayer::readSat(tmp.write("far.sat", crlf({"f.jpg", "2", "41", "3", "40"})), codec);
    const SatFile a = RasterLayer::readSat(tmp.write("a.sat", crlf({"a.jpg", "19.1", "50.3", "19.4", "50.1"})), codec);
    const SatFile b = RasterLayer::readSat(tmp.write("b.sat", crlf({"b.jpg", "19.0", "50.2", "19.2", "49.95"})), codec);
    const SatFile c = RasterLayer::readSat(tmp.write("c.sat", crlf({"c.jpg", "19.3", "50.25", "19.61234", "50.0"})), codec);
    RasterShow show;
    Collected before;
    show.show(far, false, true, before);
    Collected out;
    show.show(a, true, true, out);
    show.show(b, true, false, out);
    show.show(c, false, false, out);
    ASSERT_EQ(out.calls.size(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(out.calls[i].startsWith("WB_Raster(")) << out.calls[i].toStdString();
    // The box of the three only: the earlier raster's box went with the reset.
    EXPECT_EQ(out.calls[3], "WB_Bounds(49.95000000,19.61234000,50.30000000,19.00000000);");
}

TEST(RasterLayer, HostileValuesAreEscapedAndEdgesThatAreNotDecimalsLeaveTheRasterOut)
{
    TempFolder tmp;
    const DeviceCodec codec;
    const SatFile sat = RasterLayer::readSat(
        tmp.write("x.sat", crlf({"a\"b<c>.jpg", "19.5", "50.2", "20.1", "49.9", "<script>alert(1)</script>", "'&'", "\"", "</td>"})),
        codec);
    EXPECT_EQ(RasterLayer::infoHtml(sat),
              info("x.sat", {"a&quot;b&lt;c&gt;.jpg", "50.2", "19.5", "49.9", "20.1", "&lt;script&gt;alert(1)&lt;/script&gt;",
                             "&#39;&amp;&#39;", "&quot;", "&lt;/td&gt;"}));
    Collected out;
    RasterShow show;
    show.show(sat, false, true, out);
    ASSERT_EQ(out.calls.size(), 2);
    EXPECT_TRUE(out.calls[0].startsWith("WB_Raster(19.5,49.9,20.1,50.2,\"a\\\"b<c>.jpg\",\"</table>"));

    // An edge that would run as script: no raster, no box, so no bounds either.
    const SatFile bad = RasterLayer::readSat(tmp.write("y.sat", crlf({"y.jpg", "19.5", "alert(1)", "20.1", "49.9"})), codec);
    Collected none;
    RasterShow fresh;
    fresh.show(bad, false, true, none);
    EXPECT_TRUE(none.calls.isEmpty()) << none.calls.join('\n').toStdString();
}

TEST(RasterLayer, EmptyFirstLinesAndPicturesOutsideTheFolderAreRefusedShortFilesReadEmpty)
{
    TempFolder tmp;
    const DeviceCodec codec;
    const QString empty = tmp.write("e.sat", crlf({"", "19", "50", "20", "49"}));
    EXPECT_EQ(satError(codec, empty), QStringLiteral("The first line is empty: %1").arg(empty));
    EXPECT_EQ(satError(codec, tmp.write("z.sat")), QStringLiteral("The first line is empty: %1").arg(tmp.file("z.sat")));
    for (const char *name : {"../up.jpg", "sub/in.jpg", "sub\\in.jpg", "..", "/etc/x.jpg"}) {
        const QString path = tmp.write("p.sat", crlf({name, "19", "50", "20", "49"}));
        EXPECT_EQ(satError(codec, path),
                  QStringLiteral("The picture %1 is not in the folder of the overlay %2").arg(QLatin1String(name), path))
            << name;
    }
    EXPECT_EQ(satError(codec, tmp.file("missing.sat")), tmp.file("missing.sat") + ": No such file or directory");
    // Two lines with LF only: the rest reads as empty.
    const SatFile shortSat = RasterLayer::readSat(tmp.write("s.sat", "s.jpg\n19\n"), codec);
    EXPECT_EQ(shortSat.lines[1], "19");
    for (size_t i = 2; i < 9; ++i)
        EXPECT_EQ(shortSat.lines[i], "");
}

TEST(RasterLayer, ThePictureIsCopiedIntoTheMapFolderReplacingAnOlderCopy)
{
    TempFolder tmp;
    const QString sat = tmp.write("dev/Raster/m.sat", crlf({"-", "19", "50", "20", "49"}));
    tmp.write("dev/Raster/m.jpg", "new picture");
    tmp.write("GMap/m.jpg", "old");
    ASSERT_TRUE(RasterLayer::copyPicture(RasterLayer::readSat(sat, DeviceCodec()), tmp.file("GMap")));
    EXPECT_EQ(readAll(tmp.file("GMap/m.jpg")), "new picture");
    const SatFile missing = RasterLayer::readSat(tmp.write("dev/Raster/n.sat", crlf({"-"})), DeviceCodec());
    EXPECT_FALSE(RasterLayer::copyPicture(missing, tmp.file("GMap")));
}

TEST(RasterCapture, TheReportGivesTheProposedNameAndTheSatIsWrittenWithCrLf)
{
    const auto r = RasterCapture::parseReport("50.000000,19.876543,50.123456,20.000000,aux_,640,480,1.000000,0.000000");
    ASSERT_TRUE(r);
    EXPECT_EQ(RasterCapture::proposedName(*r), "aux__19876543_50123456");
    EXPECT_EQ(r->width, 640);
    EXPECT_EQ(r->height, 480);
    EXPECT_EQ(r->left, 1);
    EXPECT_EQ(r->top, 0);
    EXPECT_EQ(RasterCapture::satText("aux__19876543_50123456.jpg", *r, 642, 515, DeviceCodec()),
              "aux__19876543_50123456.jpg\r\n19.876543\r\n50.123456\r\n20.000000\r\n50.000000\r\n0\r\n65535\r\n642\r\n515\r\n");
    // Coordinates that are not plain decimals, sizes of nothing: no report.
    EXPECT_FALSE(RasterCapture::parseReport("50,1e3,50,20,aux_,640,480,1,1"));
    EXPECT_FALSE(RasterCapture::parseReport("50,19,50,20,aux_,0,480,1,1"));
    EXPECT_FALSE(RasterCapture::parseReport("50,19,50,20,aux_,640,480,1"));
    EXPECT_FALSE(RasterCapture::parseReport("50,19,50,20,aux_,640,-4,1,1"));
}

TEST(RasterCapture, TheMapIsCutRightAfterItsBlackBorder)
{
    QImage grab(300, 200, QImage::Format_RGB32);
    grab.fill(QColor(230, 230, 230));
    // The map of 120 x 80 at (31, 21), its 1-pixel black border around it.
    for (int x = 30; x <= 151; ++x)
        grab.setPixel(x, 20, qRgb(0, 0, 0)), grab.setPixel(x, 101, qRgb(0, 0, 0));
    for (int y = 20; y <= 101; ++y)
        grab.setPixel(30, y, qRgb(0, 0, 0)), grab.setPixel(151, y, qRgb(0, 0, 0));
    // The middle row and column of the grab must cross the border.
    QImage map(120, 80, QImage::Format_RGB32);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            map.setPixel(x, y, qRgb(x * 2 + 1, y * 3 + 1, 200));
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            grab.setPixel(31 + x, 21 + y, map.pixel(x, y));
    const QImage cut = RasterCapture::findMap(grab, 120, 80);
    ASSERT_EQ(cut.size(), QSize(120, 80));
    EXPECT_EQ(cut.convertToFormat(QImage::Format_RGB32), map);

    QImage plain(300, 200, QImage::Format_RGB32);
    plain.fill(Qt::white);
    EXPECT_TRUE(RasterCapture::findMap(plain, 120, 80).isNull());
    EXPECT_TRUE(RasterCapture::findMap(grab, 290, 80).isNull());
}

TEST(RasterCapture, SavingWritesTheJpegAndTheSatThatReadsBack)
{
    TempFolder tmp;
    const auto r = RasterCapture::parseReport("49.5,19.25,49.75,19.5,aux_,64,48,1,1");
    ASSERT_TRUE(r);
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(20, 120, 220));
    ASSERT_EQ(RasterCapture::save(tmp.file("aux__1925_4975"), picture, *r, 66, 85, DeviceCodec()), "");
    const QImage back(tmp.file("aux__1925_4975.jpg"));
    EXPECT_EQ(back.size(), QSize(64, 48));
    const SatFile sat = RasterLayer::readSat(tmp.file("aux__1925_4975.sat"), DeviceCodec());
    EXPECT_EQ(sat.picture, "aux__1925_4975.jpg");
    EXPECT_EQ(QStringList(sat.lines.begin(), sat.lines.end()),
              QStringList({"aux__1925_4975.jpg", "19.25", "49.75", "19.5", "49.5", "0", "65535", "66", "85"}));
}

TEST(TripMaster, TimesDurationsAndStopsAcrossMidnight)
{
    EXPECT_EQ(TripMaster::timeOfDay(u"7:05"), 7 * 3600 + 5 * 60);
    EXPECT_EQ(TripMaster::timeOfDay(u"07:05:30"), 7 * 3600 + 5 * 60 + 30);
    EXPECT_EQ(TripMaster::timeOfDay(u"23:59:59"), 86399);
    for (const char16_t *bad : {u"7", u"7:5", u"24:00", u"7:60", u"a:bc", u"", u"7:05:", u"-1:05", u"7:05:30:1"})
        EXPECT_FALSE(TripMaster::timeOfDay(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(TripMaster::duration(3600), "1:00:00");
    EXPECT_EQ(TripMaster::duration(36005), "10:00:05");
    EXPECT_EQ(TripMaster::duration(3599), "0:59:59");
    EXPECT_EQ(TripMaster::stopLength(23 * 3600 + 1800, 1800), 3600);
    EXPECT_EQ(TripMaster::stopLength(3600, 7200), 3600);
}

TEST(TripMaster, TheTrackPointMarkersAndOnlyStopsOfAnHourOrMore)
{
    const QByteArray log = "lon,lat,time,desc,Temp,Alt,Speed,valid\r\n"
                           "19.90,50.00,7:00,Start,20,200,10,1\r\n"
                           "19.91,50.01,7:10,Stop1,20,200,0,1\r\n"  // stop of 59 minutes
                           "19.92,50.02,8:09,Go1,21,201,5,1\r\n"
                           "19.93,50.03,8:10,Skip,21,201,0,0\r\n"   // does not count
                           "19.94,50.04,8:20,Stop2,21,201,0,1\r\n"  // stop of 60 minutes
                           "19.95,50.05,8:30,Still,21,201,0,1\r\n"
                           "19.96,50.06,9:20,Go2,22,202,7,1\r\n"
                           "19.97,50.07,23:50,Night,22,202,0,1\r\n" // over midnight, 1:10
                           "19.98,50.08,1:00,Morning,22,202,9,1\r\n";
    Collected out;
    TripMaster::send(log, DeviceCodec(), out);
    const QStringList expected = {
        "WB_Poliline_clr();",
        "WB_Poliline_add(50.00,19.90);",
        "WB_POI(50.00,19.90,\"7:00 Start Temp:20 Alt:200 Speed:10\",false);",
        "WB_Poliline_add(50.01,19.91);",
        "WB_POI(50.01,19.91,\"7:10 Stop1 Temp:20 Alt:200 Speed:0\",false);",
        "WB_Poliline_add(50.02,19.92);",
        "WB_POI(50.02,19.92,\"8:09 Go1 Temp:21 Alt:201 Speed:5\",false);",
        "WB_Poliline_add(50.04,19.94);",
        "WB_POI(50.04,19.94,\"8:20 Stop2 Temp:21 Alt:201 Speed:0\",false);",
        "WB_Poliline_add(50.05,19.95);",
        "WB_POI(50.05,19.95,\"8:30 Still Temp:21 Alt:201 Speed:0\",false);",
        "WB_Poliline_add(50.06,19.96);",
        QString::fromUtf8("WB_POI(50.04,19.94,\"Postój: 1:00:00 do 9:20 Go2 Temp:22 Alt:202\",false);"),
        "WB_POI(50.06,19.96,\"9:20 Go2 Temp:22 Alt:202 Speed:7\",false);",
        "WB_Poliline_add(50.07,19.97);",
        "WB_POI(50.07,19.97,\"23:50 Night Temp:22 Alt:202 Speed:0\",false);",
        "WB_Poliline_add(50.08,19.98);",
        QString::fromUtf8("WB_POI(50.07,19.97,\"Postój: 1:10:00 do 1:00 Morning Temp:22 Alt:202\",false);"),
        "WB_POI(50.08,19.98,\"1:00 Morning Temp:22 Alt:202 Speed:9\",false);",
        "WB_Poliline(\"#00ff00\",6);",
    };
    EXPECT_EQ(out.calls, expected);
}

TEST(TripMaster, RepeatedKeysHostileTextsAndUnreadableStopsOrPositions)
{
    const QByteArray log = "a,b,c,d,Te\\mp,Alt,Sp'eed,v\n"
                           "19.90,50.00,7:00,\"K=1 first\",1,2,3,1\n"   // key K1 twice, text differs: no marker
                           "19.91,50.01,7:05,K1,1,2,3,1\n"              // key equals its text: marker
                           "19.92,50.02,7:06,\"</script>\\,2\",1,2,0,1\n"
                           "19.93,50.03,later,x,1,2,4,1\n"              // the stop's end unreadable: no stop marker
                           "alert(1),50.04,9:00,y,1,2,0,1\n"            // not a position: no point, no marker
                           "19.95,50.05,11:00,z,1,2,6,1\n"              // the stop began at no position
                           "19.96,50.06,11:01,w,1,2,fast,1\n";          // speed unreadable: does not count
    Collected out;
    TripMaster::send(log, DeviceCodec(), out);
    const QStringList expected = {
        "WB_Poliline_clr();",
        "WB_Poliline_add(50.00,19.90);",
        "WB_Poliline_add(50.01,19.91);",
        "WB_POI(50.01,19.91,\"7:05 K1 Te\\\\mp:1 Alt:2 Sp'eed:3\",false);",
        "WB_Poliline_add(50.02,19.92);",
        "WB_POI(50.02,19.92,\"7:06 </script>\\\\,2 Te\\\\mp:1 Alt:2 Sp'eed:0\",false);",
        "WB_Poliline_add(50.03,19.93);",
        "WB_POI(50.03,19.93,\"later x Te\\\\mp:1 Alt:2 Sp'eed:4\",false);",
        "WB_Poliline_add(50.05,19.95);",
        "WB_POI(50.05,19.95,\"11:00 z Te\\\\mp:1 Alt:2 Sp'eed:6\",false);",
        "WB_Poliline(\"#00ff00\",6);",
    };
    EXPECT_EQ(out.calls, expected);
}

TEST(LayerFeeds, KrakowKeepsMarkersStrictlyInsideItsBoxWithIconsFromTheServer)
{
    const QByteArray xml = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data>"
                           "<marker lat=\"50.0\" long=\"19.522705\" iconfile=\"a.png\" limit=\"L\" date=\"D\" desc=\"edge\"/>"
                           "<marker lat=\"50.0\" long=\"19.522706\" iconfile=\"rob.png\" limit=\"30 km/h\" date=\"2026-12-01\" desc=\"Ul. &quot;Długa&quot;\"/>"
                           "<other/>"
                           "<marker lat=\"50.204154\" long=\"19.9\" iconfile=\"b.png\" limit=\"\" date=\"\" desc=\"north edge\"/>"
                           "<marker lat=\"49.95\" long=\"20.398177\" iconfile=\"c.png\" limit=\"x\" date=\"y\" desc=\"z\"/>"
                           "<marker lat=\"1e1\" long=\"20\" iconfile=\"d.png\" limit=\"\" date=\"\" desc=\"\"/>"
                           "</data>";
    Collected out;
    LayerFeeds::sendKrakow(xml, "http://127.0.0.1:8080", out);
    const QStringList expected = {
        "WB_Icon(\"http://127.0.0.1:8080/images/stories/mapa/rob.png\");",
        QString::fromUtf8("WB_POI(50.0,19.522706,\"30 km/h 2026-12-01 Ul. \\\"Długa\\\"\",false);"),
        "WB_Icon(\"http://127.0.0.1:8080/images/stories/mapa/c.png\");",
        "WB_POI(49.95,20.398177,\"x y z\",false);",
        "WB_POIRefresh();",
        "WB_Bounds(49.95000000,20.39817000,50.00000000,19.52270000);",
    };
    EXPECT_EQ(out.calls, expected);
}

TEST(LayerFeeds, MarkersLackingAnAttributeTheyUseAreSkippedAndCounted)
{
    const QByteArray krakow = "\xEF\xBB\xBF<data>"
                              "<marker lat=\"50.0\" long=\"20.0\" iconfile=\"a.png\" limit=\"L\" date=\"D\"/>"
                              "<marker lat=\"50.0\" long=\"20.0\" limit=\"L\" date=\"D\" desc=\"no icon\"/>"
                              "<marker lat=\"50.1\" long=\"20.1\" iconfile=\"b.png\" limit=\"\" date=\"\" desc=\"\"/>"
                              "</data>";
    Collected k;
    EXPECT_EQ(LayerFeeds::sendKrakow(krakow, "http://h", k), 2);
    EXPECT_EQ(k.calls, QStringList({"WB_Icon(\"http://h/images/stories/mapa/b.png\");", "WB_POI(50.1,20.1,\"  \",false);",
                                    "WB_POIRefresh();", "WB_Bounds(50.10000000,20.10000000,50.10000000,20.10000000);"}));

    QByteArray zakopane = "<dane>";
    for (const char *lacking : {"lat", "lon", "ikona", "nazwa"}) {
        QByteArray m = "<marker lat=\"49.3\" lon=\"19.9\" ikona=\"i.png\" nazwa=\"n\"/>";
        m.replace(QByteArray(" ") + lacking + "=", QByteArray(" x") + lacking + "=");
        zakopane += m;
    }
    zakopane += "<marker lat=\"49.2\" lon=\"19.8\" ikona=\"\" nazwa=\"\"/></dane>";
    Collected z;
    EXPECT_EQ(LayerFeeds::sendZakopane(zakopane, z), 4);
    EXPECT_EQ(z.calls, QStringList({"WB_Icon(\"\");", "WB_POI(49.2,19.8,\"\",false);", "WB_POIRefresh();",
                                    "WB_Bounds(49.20000000,19.80000000,49.20000000,19.80000000);"}));
    EXPECT_EQ(LayerFeeds::skippedText(0), "");
    EXPECT_EQ(LayerFeeds::skippedText(4), "Markers skipped for a missing attribute: 4");
}

TEST(LayerFeeds, ZakopaneSkipsBadMarkersAndBrokenAnswersAreErrors)
{
    const QByteArray xml = "<dane><marker lat=\"49.3\" lon=\"19.95\" ikona=\"http://h/i.png\" nazwa=\"Willa &lt;Pod&gt;\"/>"
                           "<marker lat=\"\" lon=\"19.9\" ikona=\"x\" nazwa=\"no lat\"/>"
                           "<marker lat=\"49.25\" lon=\"20.0\" ikona=\"javascript:alert(1)\" nazwa=\"'\"/></dane>";
    Collected out;
    LayerFeeds::sendZakopane(xml, out);
    const QStringList expected = {
        "WB_Icon(\"http://h/i.png\");",
        "WB_POI(49.3,19.95,\"Willa <Pod>\",false);",
        "WB_Icon(\"javascript:alert(1)\");",
        "WB_POI(49.25,20.0,\"'\",false);",
        "WB_POIRefresh();",
        "WB_Bounds(49.25000000,20.00000000,49.30000000,19.95000000);",
    };
    EXPECT_EQ(out.calls, expected);

    Collected none;
    EXPECT_THROW(LayerFeeds::sendZakopane("<dane><marker", none), KorvixError);
    EXPECT_THROW(LayerFeeds::sendKrakow("\xEF\xBB\xBFnot xml", "h", none), KorvixError);
    // No "dane" root: nothing but the refresh.
    Collected empty;
    LayerFeeds::sendZakopane("<data><marker lat=\"49\" lon=\"19\"/></data>", empty);
    EXPECT_EQ(empty.calls, QStringList{"WB_POIRefresh();"});
}

TEST(LayerRoads, GroupsColoursLabelsWithThirtyAndTheProjection)
{
    const QByteArray svg = "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\">"
                           "<g id=\"Polska\"><polygon points=\"1,22 70,110\n7,0 5, ,3\"/><rect/></g>"
                           "<g id=\"rzeki\"><polyline points=\"1,1 2,2\"/></g>"
                           "<g id=\"autostrady\"><polyline points=\"14,11 1e2,5 21,22\"/></g>"
                           "<g id=\"gpr2000\"><polyline points=\"0.5,0.25\"/><polyline points=\"x,y\"/></g>"
                           "<g id=\"pik\"><g transform=\"translate(70,110)\"><text>A4 30</text></g>"
                           "<g transform=\"translate(7,11)\"><text>25</text></g>"
                           "<g transform=\"translate(7,11\"><text>130</text></g>"
                           "<g transform=\"translate( 14 , 22 )\"><text>S7 \"300\"</text></g></g>"
                           "</svg>";
    Collected out;
    LayerRoads::send(svg, out);
    const QStringList expected = {
        "WB_Poliline_clr();",
        "WB_Poliline_add(53.7,13.4858571428571);",
        "WB_Poliline_add(45.7,23.343);",
        "WB_Poliline_add(55.7,14.343);",
        "WB_Poliline(\"#00ff00\",6);",
        "WB_Poliline_clr();",
        "WB_Poliline_add(54.7,15.343);",
        "WB_Poliline_add(53.7,16.343);",
        "WB_Poliline(\"#ff0000\",2);",
        "WB_Poliline_clr();",
        "WB_Poliline_add(55.6772727272727,13.4144285714286);",
        "WB_Poliline(\"#ff0000\",2);",
        "WB_POI(45.7,23.343,\"A4 30\",false);",
        "WB_POI(53.7,15.343,\"S7 \\\"300\\\"\",false);",
    };
    EXPECT_EQ(out.calls, expected);
    EXPECT_DOUBLE_EQ(LayerRoads::longitudeOf(70), 23.343);
    EXPECT_DOUBLE_EQ(LayerRoads::latitudeOf(110), 45.7);
}

TEST(LayerRoads, NoSvgElementSendsNothingAndABrokenDocumentIsAnError)
{
    Collected out;
    LayerRoads::send("<html><g id=\"Polska\"><polyline points=\"1,1\"/></g></html>", out);
    EXPECT_TRUE(out.calls.isEmpty());
    EXPECT_THROW(LayerRoads::send("<svg><g id=\"Polska\">", out), KorvixError);
    EXPECT_THROW(LayerRoads::send("", out), KorvixError);
    EXPECT_EQ(LayerScript::degrees15(-0.0), "0");
    EXPECT_EQ(LayerScript::degrees15(1.0 / 3), "0.333333333333333");
}

namespace {

// Counts the calls and checks a few of them without keeping millions of texts.
struct Counted : IMapCalls {
    qint64 count = 0;
    QStringList first, last;
    void send(const QString &call) override
    {
        if (++count <= 3)
            first << call;
        last << call;
        if (last.size() > 3)
            last.removeFirst();
    }
};

struct Positions : IProgress {
    int shown = 0, max = 0;
    std::vector<int> positions;
    void ShowProgress(const QString &, int, int m, int) override { ++shown, max = m; }
    void SetStatus(const QString &) override {}
    void SetProgress(int p) override { positions.push_back(p); }
    void StepProgress() override {}
};

} // namespace

TEST(LayerBadInput, AMillionLineTrackAndAMillionPointRoadAreSentWholeWithProgress)
{
    QByteArray log = "lon,lat,time,desc,A,B,Speed,valid\n";
    log.reserve(45 * 1000001);
    for (int i = 0; i < 1000000; ++i) {
        log += "19.";
        log += QByteArray::number(100000 + i % 900000);
        log += ",50.";
        log += QByteArray::number(100000 + i % 800000);
        log += ",7:00,P,1,2,5,1\n";
    }
    Counted calls;
    Positions progress;
    TripMaster::send(log, DeviceCodec(), calls, &progress);
    EXPECT_EQ(calls.count, 2 * 1000000 + 2);
    EXPECT_EQ(calls.first.value(1), "WB_Poliline_add(50.100000,19.100000);");
    EXPECT_EQ(calls.last.value(2), "WB_Poliline(\"#00ff00\",6);");
    EXPECT_EQ(progress.shown, 1);
    EXPECT_EQ(progress.max, 1000001);
    ASSERT_FALSE(progress.positions.empty());
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    EXPECT_LE(progress.positions.back(), 1000001);

    QByteArray svg = "<svg><g id=\"gpr2000\"><polyline points=\"";
    svg.reserve(12 * 1000000 + 100);
    for (int i = 0; i < 1000000; ++i) {
        svg += QByteArray::number(i % 70);
        svg += ',';
        svg += QByteArray::number(i % 110);
        svg += ' ';
    }
    svg += "\"/></g></svg>";
    Counted roads;
    LayerRoads::send(svg, roads);
    EXPECT_EQ(roads.count, 1000000 + 2);
    EXPECT_EQ(roads.first.value(1), "WB_Poliline_add(55.7,13.343);");
    EXPECT_EQ(roads.last.value(2), "WB_Poliline(\"#ff0000\",2);");
}

TEST(LayerBadInput, HostileTextsInEveryFeedFieldStayInsideTheirLiterals)
{
    const QString evil = QStringLiteral("\");alert(1);//</script><img src=x onerror=alert(2)>\\\u2028'");
    const QByteArray attr = evil.toHtmlEscaped().toUtf8();
    const QByteArray krakow = "<data><marker lat=\"50.0\" long=\"20.0\" iconfile=\"" + attr + "\" limit=\"" + attr
                              + "\" date=\"" + attr + "\" desc=\"" + attr + "\"/>"
                              "<marker lat=\"50);alert(1\" long=\"20\" iconfile=\"x\" limit=\"\" date=\"\" desc=\"\"/></data>";
    Collected out;
    LayerFeeds::sendKrakow(krakow, evil, out);
    ASSERT_EQ(out.calls.size(), 4);
    const QString lit = MapScript::jsonString(evil);
    EXPECT_EQ(out.calls[0], "WB_Icon(" + MapScript::jsonString(evil + "/images/stories/mapa/" + evil) + ");");
    EXPECT_EQ(out.calls[1], "WB_POI(50.0,20.0," + MapScript::jsonString(evil + ' ' + evil + ' ' + evil) + ",false);");
    // The quote that would end the literal comes escaped; the second marker's
    // latitude is no number, so it is left out with its icon.
    EXPECT_TRUE(lit.startsWith("\"\\\");alert(1);"));
    EXPECT_EQ(out.calls[2], "WB_POIRefresh();");
}
