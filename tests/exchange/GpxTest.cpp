// SPDX-License-Identifier: GPL-3.0-or-later
// GPX writing and reading, and the KML export, against our own KML import and the
// real xmllint.
#include "ExchangeTestUtil.h"

#include "core/RBParamsTable.h"
#include "itn/ItnFormat.h"
#include "exchange/KmlImport.h"
#include "platform/Error.h"
#include "exchange/Gpx.h"
#include "exchange/KmlExport.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using ExchangeTest::randomPoints;

namespace {

GpxContent readBack(const QByteArray &bytes)
{
    GpxContent back;
    const QString error = Gpx::read(bytes, back);
    EXPECT_EQ(error, QString());
    return back;
}

// Valid against the schema subset (well-formed, namespace, version, creator, structure).
void expectValidGpx(const QString &file)
{
    TempFolder tmp;
    const QString xsd = tmp.write("gpx.xsd", ExchangeTest::gpxSchema());
    const ExchangeTest::Run r = ExchangeTest::run(QStringLiteral("xmllint"), {"--noout", "--schema", xsd, file});
    EXPECT_TRUE(r.ok) << r.err.toStdString();
}

} // namespace

TEST(Gpx, WaypointsAndARouteComeBackEqualAndPassTheSchema)
{
    GpxContent content;
    content.waypoints = randomPoints(2000, 7);
    // Exactness at the unit and the extremes of the range.
    content.waypoints.push_back({1, -1, QStringLiteral("one unit")});
    content.waypoints.push_back({-17999999, 9000000, QStringLiteral("north pole")});
    content.waypoints.push_back({0, -9000000, QString()});
    content.routePoints = randomPoints(48, 8);
    content.routeName = QStringLiteral("Kraków – Gdańsk <A&B>");
    TempFolder tmp;
    const QString file = tmp.file("list.gpx");
    Gpx::save(file, content);
    expectValidGpx(file);
    const QByteArray bytes = readAll(file);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << bytes.left(60).toStdString();
    EXPECT_TRUE(bytes.contains("lat=\"-0.00001\" lon=\"0.00001\""));
    const GpxContent back = readBack(bytes);
    EXPECT_EQ(back.waypoints, content.waypoints);
    EXPECT_EQ(back.routePoints, content.routePoints);
    EXPECT_EQ(back.routeName, content.routeName);
    EXPECT_TRUE(back.trackPoints.empty());
}

TEST(Gpx, CoordinatesOutsideTheGpxRangesAreWrappedOrRefused)
{
    TempFolder tmp;
    const QString file = tmp.file("wrap.gpx");
    GpxContent content;
    content.waypoints = {{18000000, 0, QStringLiteral("antimeridian")}, {19000000, 100, QStringLiteral("east")},
                         {-19000000, 0, QStringLiteral("west")}};
    Gpx::save(file, content);
    expectValidGpx(file);
    const GpxContent back = readBack(readAll(file));
    ASSERT_EQ(back.waypoints.size(), 3u);
    EXPECT_EQ(back.waypoints[0].lon, -18000000);
    EXPECT_EQ(back.waypoints[1].lon, -17000000);
    EXPECT_EQ(back.waypoints[2].lon, 17000000);

    // A latitude beyond the poles stops the save and the old file stays.
    content.waypoints.push_back({0, 9000001, QStringLiteral("nowhere")});
    const QByteArray before = readAll(file);
    EXPECT_THROW(Gpx::save(file, content), KorvixError);
    EXPECT_EQ(readAll(file), before);
}

TEST(Gpx, NamesXmlCannotCarryStillGiveAWellFormedFile)
{
    TempFolder tmp;
    const QString file = tmp.file("controls.gpx");
    GpxContent content;
    content.waypoints = {{100, 200, QStringLiteral("a\x01" "b\x1f" "c\rd")},
                         {100, 200, QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y")}};
    Gpx::save(file, content);
    expectValidGpx(file);
    const GpxContent back = readBack(readAll(file));
    ASSERT_EQ(back.waypoints.size(), 2u);
    EXPECT_EQ(back.waypoints[0].name, QStringLiteral("a b c d"));
    EXPECT_EQ(back.waypoints[1].name, QStringLiteral("x") + QChar(QChar::ReplacementCharacter) + QStringLiteral("y"));
}

TEST(Gpx, ReadsWaypointsRoutesAndTracksOfOtherPrograms)
{
    // GPX 1.0, elements of other namespaces, names with markup, digits beyond ours.
    const QByteArray doc = R"(<?xml version="1.0"?>
<gpx version="1.0" creator="x" xmlns="http://www.topografix.com/GPX/1/0" xmlns:e="urn:ext">
 <wpt lat="50.0614300" lon="19.9365800"><ele>210</ele><name>Rynek <![CDATA[G&ówny]]></name><e:x><name>no</name></e:x></wpt>
 <rte><name>first</name><rtept lat="1" lon="2"/><rtept lat="-1.5" lon="-2.25"><name>b</name></rtept></rte>
 <rte><name>second</name><rtept lat="3" lon="4"/></rte>
 <trk><name>t</name><trkseg><trkpt lat="10.000019" lon="-20.000019"><time>2024-01-01T00:00:00Z</time></trkpt></trkseg>
  <trkseg><trkpt lat="11" lon="21"/></trkseg></trk>
</gpx>)";
    const GpxContent got = readBack(doc);
    EXPECT_EQ(got.waypoints, (std::vector<GeoPoint>{{1993658, 5006143, QStringLiteral("Rynek G&ówny")}}));
    EXPECT_EQ(got.routePoints, (std::vector<GeoPoint>{{200000, 100000, QString()},
                                                      {-225000, -150000, QStringLiteral("b")},
                                                      {400000, 300000, QString()}}));
    EXPECT_EQ(got.routeName, QStringLiteral("first"));
    // Truncated toward zero, as the editors take typed degrees.
    EXPECT_EQ(got.trackPoints, (std::vector<GeoPoint>{{-2000001, 1000001, QString()}, {2100000, 1100000, QString()}}));
}

namespace {
QByteArray crowdedWaypoint(int attributes)
{
    QByteArray e = "<gpx><wpt lat=\"1\" lon=\"2\"";
    for (int i = 0; i < attributes; ++i)
        e += " a" + QByteArray::number(i) + "=\"\"";
    return e + "/></gpx>";
}
} // namespace

TEST(Gpx, HostileOrBrokenDocumentsAreRefusedWithTheirReason)
{
    const QByteArray laughs = R"(<?xml version="1.0"?>
<!DOCTYPE gpx [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">]>
<gpx version="1.1" creator="x"><wpt lat="1" lon="1"><name>&b;</name></wpt></gpx>)";
    const QByteArray external = R"(<?xml version="1.0"?>
<!DOCTYPE gpx [<!ENTITY x SYSTEM "file:///etc/passwd">]>
<gpx version="1.1" creator="x"><wpt lat="1" lon="1"><name>&x;</name></wpt></gpx>)";
    QByteArray deep = "<gpx version=\"1.1\" creator=\"x\">";
    for (int i = 0; i < 100; ++i)
        deep += "<extensions>";
    const struct {
        const char *what;
        QByteArray bytes;
        const char *reason;
    } cases[] = {
        {"entity expansion", laughs, "entity declarations are not accepted"},
        {"external entity", external, "entity declarations are not accepted"},
        {"deep nesting", deep, "nest too deeply"},
        {"other root", "<kml><wpt lat=\"1\" lon=\"1\"/></kml>", "root element is not gpx"},
        {"latitude beyond the pole", "<gpx><wpt lat=\"90.00001\" lon=\"1\"/></gpx>", "valid latitude"},
        {"longitude not a number", "<gpx><wpt lat=\"1\" lon=\"east\"/></gpx>", "valid latitude"},
        {"missing latitude", "<gpx><wpt lon=\"1\"/></gpx>", "valid latitude"},
        {"truncated", "<gpx><wpt lat=\"1\" lon=\"1\">", "line 1"},
        {"not XML", "lat,lon\n1,2\n", "Invalid GPX file"},
        {"attributes without end", crowdedWaypoint(200000), "an element has more than 1000 attributes"},
        {"nesting the guard refuses", "<gpx>" + QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000) + "</gpx>",
         "nest"},
    };
    for (const auto &c : cases) {
        GpxContent got;
        got.waypoints = {{5, 5, QStringLiteral("kept")}};
        const QString error = Gpx::read(c.bytes, got);
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << c.what << ": " << error.toStdString();
        EXPECT_EQ(got.waypoints.size(), 1u) << c.what << ": a refused file changes nothing";
    }
}

TEST(Gpx, ATrackIsThinnedEvenlyKeepingItsEnds)
{
    std::vector<GeoPoint> track;
    for (int i = 0; i < 1000; ++i)
        track.push_back({i, -i, QString::number(i)});
    const std::vector<GeoPoint> thin = Gpx::thin(track, 48);
    ASSERT_EQ(thin.size(), 48u);
    EXPECT_EQ(thin.front(), track.front());
    EXPECT_EQ(thin.back(), track.back());
    for (size_t i = 1; i < thin.size(); ++i) {
        const int step = thin[i].lon - thin[i - 1].lon;
        EXPECT_TRUE(step == 21 || step == 22) << "step " << step << " at " << i;
    }
    EXPECT_EQ(Gpx::thin(track, 1), std::vector<GeoPoint>{track.front()});
    EXPECT_EQ(Gpx::thin(track, 2), (std::vector<GeoPoint>{track.front(), track.back()}));
    EXPECT_EQ(Gpx::thin(track, 5000), track);
    EXPECT_TRUE(Gpx::thin(track, 0).empty());
}

TEST(Gpx, ListRowsGiveTheirPointsAndABadCoordinateNamesItsRow)
{
    TRBParamsTable table;
    table.SetColCount(5);
    table.AppendFields({QStringLiteral("LP"), QStringLiteral("Lon"), QStringLiteral("Lat"), QStringLiteral("Name")});
    table.AppendFields({QString(), QStringLiteral("1993658"), QStringLiteral("5006143"), QStringLiteral("Rynek")});
    table.AppendFields({QString(), QString(), QString(), QString()}); // an empty row is not a point
    table.AppendFields({QString(), QStringLiteral("-5"), QStringLiteral(" 7 "), QString(), QStringLiteral("0")});
    EXPECT_EQ(Gpx::pointsOfRows(table, 4),
              (std::vector<GeoPoint>{{1993658, 5006143, QStringLiteral("Rynek")}, {-5, 7, QString()}}));
    table.AppendFields({QString(), QStringLiteral("19.5"), QStringLiteral("50"), QStringLiteral("typed degrees")});
    try {
        Gpx::pointsOfRows(table, 4);
        ADD_FAILURE() << "a coordinate in degrees was taken";
    } catch (const KorvixError &e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("4"))) << e.message().toStdString();
    }
}

TEST(KmlExport, PointsAndARouteAreReadBackByOurImport)
{
    const std::vector<GeoPoint> points = randomPoints(300, 11);
    for (const KmlExport::Kind kind : {KmlExport::Kind::Points, KmlExport::Kind::Route}) {
        TempFolder tmp;
        const QString file = tmp.file("out.kml");
        KmlExport::save(file, points, kind, QStringLiteral("Trasa <1>"));
        const ExchangeTest::Run lint = ExchangeTest::run(QStringLiteral("xmllint"), {"--noout", file});
        EXPECT_TRUE(lint.ok) << lint.err.toStdString();
        const Itn::KmlPoints kml = Itn::ImportKML(readAll(file));
        ASSERT_TRUE(kml.valid);
        ASSERT_EQ(kml.points.size(), points.size()) << "the route's line is no point";
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(Itn::degreesToUnits(kml.points[i].lon), points[i].lon) << i;
            EXPECT_EQ(Itn::degreesToUnits(kml.points[i].lat), points[i].lat) << i;
            // The import puts the (absent) address before the name.
            EXPECT_EQ(kml.points[i].name, QStringLiteral(" : ") + points[i].name) << i;
        }
        const QByteArray bytes = readAll(file);
        EXPECT_EQ(bytes.contains("<LineString>"), kind == KmlExport::Kind::Route);
        if (kind == KmlExport::Kind::Route) {
            EXPECT_TRUE(bytes.contains("<coordinates>" + kml.points[0].lon.toUtf8() + ',' + kml.points[0].lat.toUtf8()
                                       + ",0 " + kml.points[1].lon.toUtf8()));
        }
    }
}

TEST(Gpx, TheFileReaderRefusesAFifoAndADeviceAndTheGuardStreamsWithTheFile)
{
    TempFolder tmp;
    const QString fifo = tmp.file("in.gpx");
    ASSERT_TRUE(makeFifo(fifo));
    GpxContent got;
    FifoGuard guard({fifo});
    EXPECT_EQ(Gpx::readFile(fifo, got), "Not a regular file: " + fifo);
    guard.stop();
    EXPECT_FALSE(guard.hadToRelease());
    EXPECT_EQ(Gpx::readFile(QStringLiteral("/dev/zero"), got), QStringLiteral("Not a regular file: /dev/zero"));
    // Read from the file, the refusal comes from the guard in front of the parser.
    const QString crowded = tmp.write("crowded.gpx", crowdedWaypoint(200000));
    EXPECT_EQ(Gpx::readFile(crowded, got), crowded + ": Invalid GPX file, line 1: an element has more than 1000 attributes");
    const QString fine = tmp.write("fine.gpx", crowdedWaypoint(10));
    ASSERT_EQ(Gpx::readFile(fine, got), QString());
    EXPECT_EQ(got.waypoints, (std::vector<GeoPoint>{{200000, 100000, QString()}}));
}
