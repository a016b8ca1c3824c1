// SPDX-License-Identifier: GPL-3.0-or-later
// Directions, reverse geocoding and search on the page, against local servers in the
// services' own formats.
#include "map/GMaps.h"
#include "tests/map/MapHttp.h"
#include "tests/map/MapWindow.h"
#include "tests/map/EditorShell.h"
#include "tests/support/TestSupport.h"
#include "tests/map/PageScript.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QByteArray osrm = R"({"code":"Ok","routes":[{"geometry":{"type":"LineString","coordinates":[[19,50],[19.5,50.5],[20,51]]},
 "legs":[{"steps":[{"maneuver":{"type":"depart"},"name":"Rynek"},{"maneuver":{"type":"turn","modifier":"left"},"name":"Floria\u0144ska"},
 {"maneuver":{"type":"arrive"},"name":""}]}],"distance":12345.6,"duration":600}],
 "waypoints":[{"name":"Rynek","location":[19,50]},{"name":"Meta","location":[20,51]}]})";

struct Fixture {
    MapHttp web;
    EditorShell shell;
    std::unique_ptr<TGMaps> map;
    QString alert;
    explicit Fixture(bool servicesUp = true)
    {
        const QString base = servicesUp ? web.url(QString()) : QStringLiteral("http://127.0.0.1:9");
        KorvixSettings &s = shell.settings();
        s.WriteString("GoogleAPI", "TileMap", base + "/tile/{z}/{x}/{y}.png");
        s.WriteString("GoogleAPI", "TileSatellite", base + "/sat/{z}/{x}/{y}.png");
        s.WriteString("GoogleAPI", "TileLabels", base + "/labels/{z}/{x}/{y}.png");
        s.WriteString("GoogleAPI", "Traffic", base + "/traffic/{z}/{x}/{y}.png");
        s.WriteString("GoogleAPI", "Driving", base + "/route/v1/driving/{lng1},{lat1};{lng2},{lat2}?overview=full&geometries=geojson&steps=true");
        s.WriteString("GoogleAPI", "Walking", base + "/route/v1/foot/{lng1},{lat1};{lng2},{lat2}?overview=full&geometries=geojson");
        s.WriteString("GoogleAPI", "Reverse", base + "/reverse?format=jsonv2&lat={lat}&lon={lng}");
        s.WriteString("GoogleAPI", "Search", base + "/search?format=jsonv2&q={query}");
        map = openMapWindow(shell);
        map->GoogleAPI();
        EXPECT_TRUE(map->WBWait());
    }
    QVariant page(const QString &s) { return js(*map, s); }
    // The next alert of the page, answered.
    QString nextAlert(const QString &script)
    {
        QString text;
        onNextModal([&text](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w)) {
                text = box->text();
                box->accept();
            }
        });
        page(script);
        waitFor([&] { return !text.isEmpty(); });
        return text;
    }
};

} // namespace

TEST(MapServices, EachLegFollowsTheDirectionsService)
{
    Fixture f;
    f.web.answers["/route/v1/"].body = osrm;
    f.page("WB_WP(50, 19, 'a'); WB_WP(51, 20, 'b');");
    ASSERT_TRUE(waitFor([&] { return f.page("KX.legs().length && KX.legs()[0].routed").toBool(); }));
    const QVariantMap leg = f.page("KX.legs()[0]").toMap();
    EXPECT_EQ(leg.value("points").toInt(), 3);
    EXPECT_DOUBLE_EQ(leg.value("distance").toDouble(), 12345.6);
    EXPECT_EQ(leg.value("steps").toStringList(),
              QStringList({"depart Rynek", QString::fromUtf8("turn left Floriańska"), "arrive"}));
    // Waypoints without an address take the one the service found.
    EXPECT_EQ(f.page("KX.route().map(function (w) { return w[2]; }).join('|')").toString(), "Rynek|Meta");
    const auto first = f.web.requestsTo("/route/v1/driving/");
    ASSERT_EQ(first.size(), 1);
    EXPECT_TRUE(first[0].head.startsWith("GET /route/v1/driving/19.000000,50.000000;20.000000,51.000000?"))
        << first[0].head.constData();
    EXPECT_TRUE(first[0].head.contains("User-Agent: Korvix/"));

    EXPECT_TRUE(f.page("KX.openWaypoint(1)").toBool());
    const QString popup = f.page("KX.popupText()").toString();
    EXPECT_TRUE(popup.contains("END")) << popup.toStdString();
    EXPECT_TRUE(popup.contains("Total: 12.3 km, 0h 10m 0s")) << popup.toStdString();

    // Walking asks the walking service; avoiding highways adds the exclusion to driving.
    f.page("WB_TravelMode(true); WB_WP(52, 21, 'c');");
    ASSERT_TRUE(waitFor([&] { return f.web.requestsTo("/route/v1/foot/").size() == 1; }));
    f.page("WB_TravelMode(false); WB_AvoidHighways(true); WB_WP(53, 22, 'd');");
    ASSERT_TRUE(waitFor([&] { return f.web.requestsTo("/route/v1/driving/").size() == 2; }));
    EXPECT_TRUE(f.web.requestsTo("/route/v1/driving/")[1].head.contains("&exclude=motorway"));
    // One directions request per second at most.
    QList<qint64> at;
    for (const MapHttp::Request &r : f.web.requestsTo("/route/v1/"))
        at << r.at;
    ASSERT_EQ(at.size(), 3);
    EXPECT_GE(at[1] - at[0], 950);
    EXPECT_GE(at[2] - at[1], 950);

    // Removing the middle waypoint replaces its two legs by one.
    f.page("removeWaypoint(route[1]);");
    EXPECT_EQ(f.page("KX.legs().length").toInt(), 2);
    EXPECT_EQ(f.page("KX.route().length").toInt(), 3);
}

TEST(MapServices, BadDirectionsGiveAMessageAndBigOnesDraw)
{
    Fixture f;
    f.web.answers["/route/v1/"] = {"429 Too Many Requests", "application/json", "{\"message\":\"slow down\"}"};
    EXPECT_TRUE(f.nextAlert("WB_WP(50, 19, ''); WB_WP(51, 20, '');").endsWith("Error code: 429"));

    f.web.answers["/route/v1/"] = {"200 OK", "text/html", "<html>garbage"};
    EXPECT_EQ(f.nextAlert("removeRoute(); WB_WP(50, 19, ''); WB_WP(51, 20, '');"), "An unknown error occurred.");

    f.web.answers["/route/v1/"] = {"200 OK", "application/json", "{\"code\":\"NoRoute\",\"message\":\"none\"}"};
    EXPECT_TRUE(f.nextAlert("removeRoute(); WB_WP(50, 19, ''); WB_WP(51, 20, '');").startsWith("No corresponding geographic"));

    QByteArray big = "{\"code\":\"Ok\",\"routes\":[{\"distance\":1,\"duration\":1,\"geometry\":{\"coordinates\":[";
    for (int i = 0; i < 10000; ++i)
        big += (i ? "," : "") + QByteArray("[") + QByteArray::number(19 + i * 0.0001, 'f', 5) + ",50]";
    big += "]}}]}";
    f.web.answers["/route/v1/"] = {"200 OK", "application/json", big};
    f.page("removeRoute(); WB_WP(50, 19, ''); WB_WP(50, 20, '');");
    ASSERT_TRUE(waitFor([&] { return f.page("KX.legs().length && KX.legs()[0].routed").toBool(); }));
    EXPECT_EQ(f.page("KX.legs()[0].points").toInt(), 10000);
}

TEST(MapServices, ServicesThatAreDownChangeNothing)
{
    Fixture f(false);
    f.page("WB_WP(50, 19, ''); WB_WP(51, 20, ''); KX.clickAt(50.06, 19.94);");
    QEventLoop settle;
    QTimer::singleShot(1500, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(f.page("KX.clickedText()").toString(), "");
    // The straight line stands in for the leg the service did not give; no box asks
    // the user about each leg (an open one would stop this test).
    EXPECT_EQ(f.page("KX.legs()[0].points").toInt(), 2);
    EXPECT_FALSE(f.page("KX.legs()[0].routed").toBool());
}

TEST(MapServices, ClickedPositionGetsItsAddressAsText)
{
    Fixture f;
    const QByteArray hostile = "<img src=x onerror=\\\"window.pwned=1\\\">Rynek G\\u0142\\u00f3wny 1, Krak\\u00f3w";
    f.web.answers["/reverse"].body = "{\"display_name\":\"" + hostile + "\",\"address\":{\"country_code\":\"pl\"}}";
    f.page("KX.clickAt(50.06, 19.94)");
    const QString expected = QString::fromUtf8("<img src=x onerror=\"window.pwned=1\">Rynek Główny 1, Kraków pl");
    ASSERT_TRUE(waitFor([&] { return f.page("KX.clickedText()").toString() == expected; }));
    EXPECT_EQ(f.page("document.querySelector('.leaflet-popup-content input').value").toString(), expected);
    EXPECT_EQ(f.page("typeof window.pwned").toString(), "undefined");
    const auto req = f.web.requestsTo("/reverse");
    ASSERT_EQ(req.size(), 1);
    EXPECT_TRUE(req[0].head.contains("lat=50.060000&lon=19.940000"));

    // Garbage from the geocoder leaves the text empty.
    f.web.answers["/reverse"].body = "not json";
    f.page("KX.clickAt(50.07, 19.95)");
    ASSERT_TRUE(waitFor([&] { return f.web.requestsTo("/reverse").size() == 2; }));
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(f.page("KX.clickedText()").toString(), "");
}

TEST(MapServices, SearchResultsOfferTheirPointWithoutQuotes)
{
    Fixture f;
    f.web.answers["/search"].body =
        R"([{"lat":"50.0614","lon":"19.9366","name":"Rynek \"G\u0142\u00f3wny\" O'Neil","display_name":"Rynek G\u0142\u00f3wny, Krak\u00f3w, Polska"},
            {"lat":"bad","lon":"1","name":"broken"}])";
    QSignalSpy pois(f.map.get(), &TGMaps::poiFromPage);
    f.page("KX.search('Rynek Główny')");
    ASSERT_TRUE(waitFor([&] { return f.page("KX.results().length").toInt() == 1; }));
    EXPECT_TRUE(f.web.requestsTo("/search")[0].head.contains("q=Rynek%20G%C5%82%C3%B3wny"));
    EXPECT_TRUE(f.page("KX.openResult(0)").toBool());
    EXPECT_TRUE(f.page("KX.popupText()").toString().contains(QString::fromUtf8("Rynek Główny, Kraków, Polska")));
    EXPECT_TRUE(f.page("KX.clickLink('AddPOI')").toBool());
    ASSERT_TRUE(waitFor([&] { return pois.size() == 1; }));
    EXPECT_EQ(pois.at(0).at(0).value<MapScript::PagePoint>().name, QString::fromUtf8("Rynek Główny ONeil"));
    // The title is a link to the place.
    EXPECT_EQ(f.page("var t = document.querySelector('.leaflet-popup-content a.kx-title'); t.click(); t.textContent").toString(),
              QString::fromUtf8("Rynek \"Główny\" O'Neil"));
    ASSERT_TRUE(waitFor([&] { return f.page("map.getZoom()").toInt() == 15; }));
    EXPECT_NEAR(f.page("map.getCenter().lat").toDouble(), 50.0614, 1e-4);
    EXPECT_NEAR(f.page("map.getCenter().lng").toDouble(), 19.9366, 1e-4);
}

TEST(MapServices, WikipediaArticlesOfTheViewAndATrafficOverlay)
{
    Fixture f;
    f.shell.settings().WriteString("GoogleAPI", "Wikipedia", f.web.url("/w/api.php?list=geosearch&gsbbox={north}|{west}|{south}|{east}"));
    f.shell.settings().WriteString("GoogleAPI", "Traffic", f.web.url("/traffic/{z}/{x}/{y}.png"));
    // The page takes its sources when it is written.
    TGMaps map(f.shell);
    map.setAttribute(Qt::WA_DeleteOnClose, false);
    map.isOnline = [] { return true; };
    map.resize(800, 600);
    map.show();
    map.GoogleAPI();
    ASSERT_TRUE(map.WBWait());
    f.web.answers["/w/api.php"].body =
        R"({"query":{"geosearch":[{"pageid":1,"title":"Sukiennice <b>","lat":50.0617,"lon":19.9373},
            {"pageid":2,"title":"Wawel","lat":50.054,"lon":19.9354},{"title":"broken","lat":"x"}]}})";
    QSignalSpy reports(&map, &TGMaps::extraChecked);
    js(map, "WB_Bounds(50.05, 19.93, 50.07, 19.95); doWiki(true);");
    ASSERT_TRUE(waitFor([&] { return reports.size() == 1 && js(map, "KX.wikiCount()").toInt() == 2; }));
    EXPECT_EQ(reports.at(0).at(0).toInt(), 1);
    EXPECT_TRUE(reports.at(0).at(1).toBool());
    EXPECT_TRUE(f.web.requestsTo("/w/api.php")[0].head.contains("gsbbox=50."));
    js(map, "doWiki(false); doTraf(true);");
    ASSERT_TRUE(waitFor([&] { return reports.size() == 3; }));
    EXPECT_FALSE(reports.at(1).at(1).toBool());
    EXPECT_EQ(js(map, "KX.wikiCount()").toInt(), 0);
    EXPECT_EQ(reports.at(2).at(0).toInt(), 2);
    EXPECT_TRUE(reports.at(2).at(1).toBool());
    EXPECT_TRUE(waitFor([&] { return !f.web.requestsTo("/traffic/").isEmpty(); }));
}

TEST(MapServices, RouteEditingStartAtHomeInsertAndRemove)
{
    Fixture f;
    f.web.answers["/route/v1/"].body = osrm;
    auto iconOf = [&](int i) {
        return f.page(QStringLiteral("route[%1].marker.options.icon.options.iconUrl").arg(i)).toString();
    };
    // Start at home: the first waypoint brings the home in front of it.
    f.page("WB_Home(50.1, 19.1, 'Dom'); WB_startHome(true); WB_WP(50.5, 19.5, 'a');");
    ASSERT_EQ(f.page("KX.route().length").toInt(), 2);
    EXPECT_DOUBLE_EQ(f.page("KX.route()[0][0]").toDouble(), 50.1);
    EXPECT_EQ(iconOf(0), "mm_20_green.png");
    EXPECT_EQ(iconOf(1), "mm_20_red.png");
    ASSERT_TRUE(waitFor([&] { return f.web.requestsTo("/route/v1/driving/").size() == 1; }));
    EXPECT_TRUE(f.web.requestsTo("/route/v1/driving/")[0].head.contains("19.100000,50.100000;19.500000,50.500000"));

    // A click on the leg puts a waypoint there and asks for both new legs.
    f.page("legs[0].line.fire('click', {latlng: L.latLng(50.3, 19.3)});");
    ASSERT_EQ(f.page("KX.route().length").toInt(), 3);
    EXPECT_DOUBLE_EQ(f.page("KX.route()[1][0]").toDouble(), 50.3);
    EXPECT_EQ(iconOf(1), "mm_20_white.png");
    EXPECT_EQ(f.page("KX.legs().length").toInt(), 2);
    ASSERT_TRUE(waitFor([&] { return f.web.requestsTo("/route/v1/driving/").size() == 3; }));

    // Removing the first: its leg goes and the next is the green start; the last: the
    // leg before it goes and the new last turns red; the only one: nothing is left.
    f.page("removeWaypoint(route[0]);");
    EXPECT_EQ(f.page("KX.legs().length").toInt(), 1);
    EXPECT_EQ(iconOf(0), "mm_20_green.png");
    f.page("removeWaypoint(route[1]);");
    EXPECT_EQ(f.page("KX.legs().length").toInt(), 0);
    EXPECT_EQ(iconOf(0), "mm_20_red.png");
    f.page("removeWaypoint(route[0]);");
    EXPECT_EQ(f.page("KX.route().length").toInt(), 0);
}

namespace {
// A directions answer for one leg of `metres` and `seconds` whose one step is named `step`.
QByteArray leg(double metres, int seconds, const QByteArray &step)
{
    return R"({"code":"Ok","routes":[{"geometry":{"type":"LineString","coordinates":[[19,50],[20,51]]},"legs":[{"steps":[{"maneuver":{"type":"turn"},"name":")"
           + step + R"("}]}],"distance":)" + QByteArray::number(metres, 'f', 1) + ",\"duration\":" + QByteArray::number(seconds)
           + "}],\"waypoints\":[]}";
}
} // namespace

TEST(MapInfoWindows, WaypointTabsWithDistanceAndTimeFromTheStart)
{
    Fixture f;
    // Legs by their starting point: 12.3 km in 10 minutes, then 100 km in a day and 61 s.
    f.web.answers["/route/v1/driving/19.000000"].body = leg(12345.6, 600, "Floria\\u0144ska");
    f.web.answers["/route/v1/driving/20.000000"].body = leg(100000, 90061, "<img src=x onerror=\\\"window.pwned=1\\\">");
    f.page("WB_WP(50, 19, ''); WB_WP(51, 20, ''); WB_WP(52, 21, '');");
    ASSERT_TRUE(waitFor([&] { return f.page("KX.legs().every(function (l) { return l.routed; })").toBool(); }));

    const QStringList tabs{"Info", "Extra", "Zoom"};
    EXPECT_TRUE(f.page("KX.openWaypoint(0)").toBool());
    EXPECT_EQ(f.page("KX.tabs()").toStringList(), tabs);
    QString info = f.page("KX.tabText()").toString();
    EXPECT_TRUE(info.contains("50.000000, 19.000000")) << info.toStdString();
    EXPECT_TRUE(info.contains("START")) << info.toStdString();
    EXPECT_TRUE(info.contains("Total: 112.3 km, 1d 1h 11m 1s")) << info.toStdString();

    EXPECT_TRUE(f.page("KX.openWaypoint(1)").toBool());
    info = f.page("KX.tabText()").toString();
    EXPECT_TRUE(info.contains("1. 12.3 km, 0h 10m 0s")) << info.toStdString();
    EXPECT_TRUE(info.contains("[ ShowRoute ][ RemoveWP ][ Zoom ]")) << info.toStdString();
    EXPECT_FALSE(info.contains("SaveRoute"));
    // The service's step names are shown as text.
    EXPECT_TRUE(info.contains("turn <img src=x onerror=\"window.pwned=1\">")) << info.toStdString();
    EXPECT_EQ(f.page("document.querySelectorAll('.leaflet-popup-content img[src=x]').length").toInt(), 0);
    EXPECT_TRUE(f.page("KX.showTab('Extra')").toBool());
    EXPECT_EQ(f.page("KX.tabText()").toString(), "[ SaveRoute ][ RemoveRoute ]");

    EXPECT_TRUE(f.page("KX.openWaypoint(2)").toBool());
    EXPECT_TRUE(f.page("KX.tabText()").toString().contains("END"));
    // Zoom: a hybrid map of 260 x 120 at level 14 on the waypoint.
    EXPECT_EQ(f.page("KX.zoomMap()").toMap().value("w").toInt(), 0);
    EXPECT_TRUE(f.page("KX.showTab('Zoom')").toBool());
    const QVariantMap zoom = f.page("KX.zoomMap()").toMap();
    EXPECT_EQ(zoom.value("w").toInt(), 260);
    EXPECT_EQ(zoom.value("h").toInt(), 120);
    EXPECT_EQ(zoom.value("zoom").toInt(), 14);
    EXPECT_NEAR(zoom.value("lat").toDouble(), 52, 1e-6);
    EXPECT_NEAR(zoom.value("lng").toDouble(), 21, 1e-6);
    EXPECT_TRUE(waitFor([&] {
        return !f.web.requestsTo("/sat/14/").isEmpty() && !f.web.requestsTo("/labels/14/").isEmpty();
    }));
    EXPECT_EQ(f.page("typeof window.pwned").toString(), "undefined");
}

TEST(MapInfoWindows, ClickedPositionTabsLayersAndASecondClickHidesIt)
{
    Fixture f;
    f.web.answers["/reverse"].body = R"({"display_name":"Rynek","address":{"country_code":"pl"}})";
    QSignalSpy extras(f.map.get(), &TGMaps::extraChecked);
    f.page("KX.clickAt(50.06, 19.94)");
    EXPECT_EQ(f.page("KX.tabs()").toStringList(), QStringList({"Info", "Extra", "Zoom"}));
    EXPECT_EQ(f.page("KX.tabText()").toString(), " 50.060000, 19.940000[ AddPOI ][ AddToRoute ][ PanTo ][ Zoom ]");
    EXPECT_TRUE(f.page("KX.showTab('Extra')").toBool());
    // The address arriving meanwhile goes into the window without switching its tab.
    ASSERT_TRUE(waitFor([&] { return f.page("KX.clickedText()").toString() == "Rynek pl"; }));
    EXPECT_EQ(f.page("document.querySelector('.leaflet-popup-content input').value").toString(), "Rynek pl");
    EXPECT_EQ(f.page("KX.tabText()").toString(),
              "[ SaveAsHome ][ SaveView ][ ShowRoute ][ RemoveRoute ][ Show Panoramio ][ Show Wikipedia ]"
              "[ Show Traffic ][ Show YouTube ][ Show WebCam ]");
    // A layer switched on here reports itself and offers Hide next time.
    EXPECT_TRUE(f.page("KX.clickLink('Show Traffic')").toBool());
    ASSERT_TRUE(waitFor([&] { return extras.size() == 1; }));
    EXPECT_EQ(extras.at(0).at(0).toInt(), 2);
    EXPECT_TRUE(extras.at(0).at(1).toBool());
    EXPECT_TRUE(f.map->extraAction(2)->isChecked());

    f.page("KX.clickMarker()");
    EXPECT_TRUE(f.page("KX.showTab('Extra')").toBool());
    EXPECT_TRUE(f.page("KX.tabText()").toString().contains("[ Hide Traffic ][ Show YouTube ]"));
    EXPECT_TRUE(f.page("KX.showTab('Zoom')").toBool());
    const QVariantMap zoom = f.page("KX.zoomMap()").toMap();
    EXPECT_EQ(zoom.value("w").toInt(), 255);
    EXPECT_EQ(zoom.value("h").toInt(), 120);
    EXPECT_EQ(zoom.value("zoom").toInt(), 16);
    EXPECT_EQ(zoom.value("tileLayers").toInt(), 2);

    // A click on the marker while its window is open closes the window and hides it;
    // the next click on the map shows it again.
    f.page("KX.clickMarker()");
    EXPECT_FALSE(f.page("KX.clickedShown()").toBool());
    EXPECT_EQ(f.page("KX.popupText()"), QVariant());
    f.page("KX.clickAt(50.1, 19.9)");
    EXPECT_TRUE(f.page("KX.clickedShown()").toBool());
    EXPECT_TRUE(f.page("KX.popupText()").toString().contains("50.100000, 19.900000"));
    // Closed by other means, a click on the marker opens its window again.
    f.page("map.closePopup()");
    f.page("KX.clickMarker()");
    EXPECT_TRUE(f.page("KX.clickedShown()").toBool());
    EXPECT_TRUE(f.page("KX.popupText()").toString().contains("50.100000, 19.900000"));
}
