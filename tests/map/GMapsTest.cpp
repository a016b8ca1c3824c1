// SPDX-License-Identifier: GPL-3.0-or-later
// The map window with the real browser, against local servers the tests start.
#include "core/RBParamsTable.h"
#include "itn/Itn.h"
#include "poi/Ov2Editor.h"
#include "map/GMaps.h"
#include "map/MapIcon.h"
#include "map/MapLists.h"
#include "map/MapPage.h"
#include "tests/itn/LocalHttp.h"
#include "tests/map/MapHttp.h"
#include "tests/map/MapWindow.h"
#include "tests/map/EditorShell.h"
#include "tests/support/TestSupport.h"
#include "tests/map/PageScript.h"

#include <QEventLoop>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct MapFixture {
    LocalHttp tiles;
    EditorShell shell;
    std::unique_ptr<TGMaps> map;
    MapFixture()
    {
        tiles.headers = "Content-Type: image/png\r\n";
        tiles.body = solidTile(QColor(200, 230, 200));
        shell.settings().WriteString("GoogleAPI", "TileMap", tiles.url("/tile/{z}/{x}/{y}.png"));
        map = openMapWindow(shell);
        map->GoogleAPI();
    }
    QVariant js(const QString &s) { return ::js(*map, s); }
};

TRBParamsTable poiRows(const QStringList &names)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendRow();
    for (int i = 0; i < names.size(); ++i)
        t.AppendFields(QStringList{QString(), QString::number(1993500 + 100 * i), QString::number(5006200 + 100 * i), names[i]});
    return t;
}

} // namespace

TEST(GMaps, PageLoadsWithItsFilesTilesAndAttribution)
{
    MapFixture f;
    ASSERT_TRUE(f.map->WBWait());
    EXPECT_EQ(f.map->pageKind(), 1);
    const QString dir = MapFiles::folder();
    for (const char *name : {"TmpPOI.htm", "korvixmap.js", "leaflet.js", "qwebchannel.js"})
        EXPECT_TRUE(QFileInfo::exists(dir + name)) << name;
    EXPECT_EQ(f.js("typeof WB_POI + typeof WB_Home + typeof WB_WP + typeof WB_Bounds + typeof L").toString(),
              "functionfunctionfunctionfunctionobject");
    EXPECT_TRUE(waitFor([&] {
        for (const QByteArray &r : f.tiles.requests)
            if (r.startsWith("GET /tile/2/") && r.contains("User-Agent: Korvix/"))
                return true;
        return false;
    }));
    EXPECT_TRUE(f.js("document.querySelector('.leaflet-control-attribution').textContent")
                    .toString()
                    .contains(QString::fromUtf8("\u00a9 OpenStreetMap contributors")));
    // A second display keeps the page (and what it shows).
    f.js("WB_POI(1,2,'x',false)");
    f.map->GoogleAPI();
    EXPECT_EQ(f.js("KX.poiCount()").toInt(), 1);
}

TEST(GMaps, ListCallsChangeThePage)
{
    MapFixture f;
    ASSERT_TRUE(f.map->WBWait());
    {
        TGMaps::Calls calls(*f.map);
        sendPoiList(poiRows({"a", "b", "c"}), QString(), MapFraming{QString(), "50.1,19.9,\"Dom\""}, calls);
        sendItinerary(poiRows({"s", "e"}), MapFraming{}, calls);
    }
    EXPECT_EQ(f.js("KX.poiCount()").toInt(), 3);
    const QVariantMap home = f.js("KX.home()").toMap();
    EXPECT_EQ(home.value("name").toString(), "Dom");
    EXPECT_DOUBLE_EQ(home.value("lat").toDouble(), 50.1);
    EXPECT_EQ(f.js("KX.route().length").toInt(), 2);
    // The view frames the points (the last WB_Bounds: the itinerary's).
    const QVariantList v = f.js("KX.view()").toList();
    ASSERT_EQ(v.size(), 4);
    EXPECT_LE(v[0].toDouble(), 50.062);
    EXPECT_GE(v[2].toDouble(), 50.063);
    EXPECT_LE(v[1].toDouble(), 19.935);
    EXPECT_GE(v[3].toDouble(), 19.936);
    const QVariantMap drawn = f.js("KX.redraw()").toMap();
    EXPECT_EQ(drawn.value("points").toInt(), 3);
    EXPECT_GE(drawn.value("markers").toInt() + drawn.value("clusters").toInt(), 1);
}

TEST(GMaps, ClustersCountThePointsInView)
{
    MapFixture f;
    ASSERT_TRUE(f.map->WBWait());
    f.js("for (var i = 0; i < 1000; i++) WB_POI(50 + (i % 10) * 0.001, 19 + Math.floor(i / 10) * 0.001, 'p' + i, false);"
         "WB_POI(-40, -70, 'far', false); WB_POIRefresh(); WB_Bounds(50, 19, 50.01, 19.1);");
    const QVariantMap d = f.js("KX.redraw()").toMap();
    EXPECT_EQ(d.value("points").toInt(), 1000);
    EXPECT_GT(d.value("clusters").toInt(), 0);
    int total = 0;
    for (const QVariant &t : f.js("KX.titles()").toList())
        total += t.toString().toInt();
    // Clusters carry their counts as titles; single markers their names (read as 0).
    EXPECT_EQ(total + d.value("markers").toInt(), 1000);
}

TEST(GMaps, HostileNamesShowAsTextAndRunNothing)
{
    MapFixture f;
    ASSERT_TRUE(f.map->WBWait());
    const QString name = QStringLiteral("O'Neil \"q\" </script><img src=x onerror=\"window.pwned=1\">\nnext");
    {
        TGMaps::Calls calls(*f.map);
        sendPoiList(poiRows({name}), QString(), MapFraming{}, calls);
    }
    EXPECT_EQ(f.js("KX.poiCount()").toInt(), 1);
    f.js("KX.redraw()");
    EXPECT_TRUE(f.js("KX.titles()").toList().contains(name));
    EXPECT_TRUE(f.js("KX.openPoi(0)").toBool());
    EXPECT_TRUE(f.js("KX.popupText()").toString().contains(name));
    // Time for an injected image to fail and run its handler.
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(f.js("typeof window.pwned").toString(), "undefined");
    EXPECT_EQ(f.js("document.querySelectorAll('.leaflet-popup-content img[src=x]').length").toInt(), 0);
}

TEST(GMaps, PageCallbacksReachTheHost)
{
    MapFixture f;
    ASSERT_TRUE(f.map->WBWait());
    QSignalSpy pois(f.map.get(), &TGMaps::poiFromPage);
    QSignalSpy routes(f.map.get(), &TGMaps::routeFromPage);
    QSignalSpy extras(f.map.get(), &TGMaps::extraChecked);

    f.js("WB_Bounds(50, 19, 50.1, 19.2); savePosition();");
    ASSERT_TRUE(waitFor([&] { return !f.shell.settings().ReadString("GoogleAPI", "InitialView").isEmpty(); }));
    const QStringList view = f.shell.settings().ReadString("GoogleAPI", "InitialView").split(',');
    ASSERT_EQ(view.size(), 4);
    EXPECT_LE(view[0].toDouble(), 50.0);
    EXPECT_GE(view[3].toDouble(), 19.2);

    f.js("KX.clickAt(50.5, 19.5)");
    EXPECT_TRUE(f.js("KX.clickLink('SaveAsHome')").toBool());
    ASSERT_TRUE(waitFor([&] { return !f.shell.settings().ReadString("GoogleAPI", "Home").isEmpty(); }));
    EXPECT_EQ(f.shell.settings().ReadString("GoogleAPI", "Home"), "50.500000,19.500000,\"\"");

    f.js("KX.clickAt(50.25, 19.75)");
    EXPECT_TRUE(f.js("KX.clickLink('AddPOI')").toBool());
    ASSERT_TRUE(waitFor([&] { return pois.size() == 1; }));
    const auto point = pois.at(0).at(0).value<MapScript::PagePoint>();
    EXPECT_EQ(point.latitude, "50.250000");
    EXPECT_EQ(point.longitude, "19.750000");

    f.js("WB_WP(50, 19, 'a'); WB_WP(51, 20, 'b'); saveRoute();");
    ASSERT_TRUE(waitFor([&] { return routes.size() == 1; }));
    const auto route = routes.at(0).at(0).value<std::vector<MapScript::PagePoint>>();
    ASSERT_EQ(route.size(), 2u);
    EXPECT_EQ(route[1].latitude, "51.000000");

    // No source behind a layer: it reports itself off.
    f.js("doPano(true); doWebCam(true);");
    ASSERT_TRUE(waitFor([&] { return extras.size() == 2; }));
    EXPECT_EQ(extras.at(0).at(0).toInt(), 0);
    EXPECT_FALSE(extras.at(0).at(1).toBool());
    EXPECT_EQ(extras.at(1).at(0).toInt(), 4);
}

TEST(GMaps, WaitingForAPageThatNeverLoadsCanEnd)
{
    QTcpServer silent; // accepts and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort()));
    QuietShell shell;

    TGMaps cancelled(shell);
    cancelled.setAttribute(Qt::WA_DeleteOnClose, false);
    cancelled.isOnline = [] { return true; };
    cancelled.Navig(url, true);
    QTimer::singleShot(300, &cancelled, &TGMaps::cancelWait);
    EXPECT_FALSE(cancelled.WBWait());

    auto *closed = new TGMaps(shell);
    closed->isOnline = [] { return true; };
    closed->Navig(url, true);
    QTimer::singleShot(300, [closed] { delete closed; });
    EXPECT_FALSE(closed->WBWait());
}

TEST(GMaps, OfflineSaysSoAndLoadsNothing)
{
    QuietShell shell;
    TGMaps m(shell);
    m.setAttribute(Qt::WA_DeleteOnClose, false);
    m.isOnline = [] { return false; };
    QString caption, message;
    onNextModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (box) {
            caption = box->windowTitle();
            message = box->text();
            box->accept();
        }
    });
    m.Navig(QUrl(QStringLiteral("http://127.0.0.1:1/")), true);
    EXPECT_EQ(caption, "GMap");
    EXPECT_EQ(message, "You are offline");
    EXPECT_TRUE(m.url().isEmpty());
}

TEST(GMaps, MapTypesOverviewAndScale)
{
    MapFixture f;
    ASSERT_TRUE(f.map->WBWait());
    const MapPage::Config c = MapPage::readConfig(f.shell.settings());
    EXPECT_EQ(f.js("KX.mapTypes()").toStringList(), QStringList({"Normal", "Satellite", "Hybrid", "Physical"}));
    EXPECT_EQ(f.js("KX.mapTypeTiles('Normal')").toStringList(), QStringList({c.tiles[0].url}));
    EXPECT_EQ(f.js("KX.mapTypeTiles('Hybrid')").toStringList(), QStringList({c.tiles[2].url, c.tiles[3].url}));
    EXPECT_EQ(f.js("KX.mapTypeTiles('Physical')").toStringList(), QStringList({c.tiles[1].url}));
    EXPECT_EQ(f.js("document.querySelectorAll('.leaflet-control-layers-base input').length").toInt(), 4);

    // The scale sits at the bottom left, 3 px in and 35 px up.
    EXPECT_EQ(f.js("var s = document.querySelector('.leaflet-bottom.leaflet-left .leaflet-control-scale');"
                   "s ? getComputedStyle(s).marginLeft + ' ' + getComputedStyle(s).marginBottom : ''").toString(),
              "3px 35px");

    // The overview follows the view five levels out, frames it, and a click on it
    // centres the map there.
    f.js("WB_Bounds(50, 19, 50.1, 19.2);");
    const int zoom = f.js("map.getZoom()").toInt();
    ASSERT_GE(zoom, 8);
    const QVariantMap o = f.js("KX.overview()").toMap();
    EXPECT_EQ(o.value("zoom").toInt(), zoom - 5);
    const QVariantList frame = o.value("frame").toList();
    const QVariantList view = f.js("KX.view()").toList();
    ASSERT_EQ(frame.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(frame[i].toDouble(), view[i].toDouble(), 1e-9) << i;
    const QByteArray overviewTiles = "GET /tile/" + QByteArray::number(zoom - 5) + "/";
    EXPECT_TRUE(waitFor([&] {
        for (const QByteArray &r : f.tiles.requests)
            if (r.startsWith(overviewTiles))
                return true;
        return false;
    }));
    f.js("controls.overview._small.fire('click', {latlng: L.latLng(51, 20)});");
    ASSERT_TRUE(waitFor([&] { return qAbs(f.js("map.getCenter().lat").toDouble() - 51) < 1e-3; }));
    EXPECT_NEAR(f.js("map.getCenter().lng").toDouble(), 20, 1e-3);
    EXPECT_EQ(f.js("KX.overview().zoom").toInt(), zoom - 5);
}

TEST(GMaps, WebPagesScrollAreNotHeardAndGiveWayToTheMap)
{
    MapHttp web;
    QFile channelScript(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    ASSERT_TRUE(channelScript.open(QIODevice::ReadOnly));
    web.answers["/qwebchannel.js"] = {"200 OK", "text/javascript", channelScript.readAll()};
    // A page out there that finds the window's channel and tries our callbacks.
    web.answers["/page.html"] = {"200 OK", "text/html", R"(<html><body style="height:3000px">
<script src="qwebchannel.js"></script><script>
new QWebChannel(qt.webChannelTransport, function (ch) {
  ch.objects.host.Write(1, '1.000000,2.000000,"evil"'); ch.objects.host.Write(3, '1,2,"evil"'); window.sent = 1;
});
function savePosition() { window.called = 1; }</script></body></html>)"};
    MapFixture f;
    ASSERT_TRUE(f.map->WBWait());
    f.shell.settings().WriteString("GoogleAPI", "Home", "");
    QSignalSpy pois(f.map.get(), &TGMaps::poiFromPage);

    f.map->showWebPage(QUrl(web.url("/page.html")));
    EXPECT_EQ(f.map->pageKind(), 0);
    ASSERT_TRUE(f.map->WBWait());
    EXPECT_TRUE(f.map->page()->settings()->testAttribute(QWebEngineSettings::ShowScrollBars));
    EXPECT_EQ(f.map->contextMenuPolicy(), Qt::DefaultContextMenu);
    ASSERT_TRUE(waitFor([&] { return f.js("window.sent").toInt() == 1; }));
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(f.shell.settings().ReadString("GoogleAPI", "Home"), "");
    EXPECT_EQ(pois.size(), 0);
    // The map's commands do not reach it either.
    f.map->editorMenu()->actions().at(0)->trigger(); // Save View
    EXPECT_FALSE(f.map->runScript(QStringLiteral("window.called = 2;")));
    EXPECT_EQ(f.js("typeof window.called").toString(), "undefined");

    // The next display writes and loads the map page again, without scroll bars.
    f.map->GoogleAPI();
    ASSERT_TRUE(f.map->WBWait());
    EXPECT_EQ(f.map->pageKind(), 1);
    EXPECT_EQ(f.map->url(), QUrl::fromLocalFile(f.map->pagePath()));
    EXPECT_FALSE(f.map->page()->settings()->testAttribute(QWebEngineSettings::ShowScrollBars));
    EXPECT_EQ(f.map->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(f.js("typeof WB_POI").toString(), "function");
    // Our page is heard again.
    f.js("KX.clickAt(50.5, 19.5); KX.clickLink('SaveAsHome');");
    ASSERT_TRUE(waitFor([&] { return !f.shell.settings().ReadString("GoogleAPI", "Home").isEmpty(); }));

    // A link followed from the page leaves the map page too.
    f.js(QStringLiteral("location.href = '%1';").arg(web.url("/page.html")));
    ASSERT_TRUE(waitFor([&] { return f.map->pageKind() == 0; }));

    // Offline a web page is not opened and the map page stays.
    f.map->GoogleAPI();
    ASSERT_TRUE(f.map->WBWait());
    f.map->isOnline = [] { return false; };
    QString message;
    onNextModal([&](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            message = box->text();
            box->accept();
        }
    });
    f.map->showWebPage(QUrl(web.url("/page.html")));
    EXPECT_EQ(message, "You are offline");
    EXPECT_EQ(f.map->pageKind(), 1);
    EXPECT_EQ(f.js("typeof WB_POI").toString(), "function");
}

TEST(GMaps, MarkersCarryTheirShadows)
{
    MapFixture f;
    ASSERT_TRUE(f.map->WBWait());
    f.js("WB_Bounds(49.9, 18.9, 51.1, 20.1); WB_POI(50, 19, 'a', false); WB_POIRefresh(); KX.redraw();"
         "WB_Home(51, 20, 'Dom'); WB_WP(50.5, 19.5, '');");
    const QStringList shadows = f.js("Array.prototype.map.call(document.querySelectorAll('.leaflet-marker-shadow'),"
                                     "function (e) { return e.src.split('/').pop() + ' ' + e.width + 'x' + e.height; }).sort()")
                                    .toStringList();
    EXPECT_EQ(shadows, QStringList({"HomeA.png 59x32", "POIa.png 59x32", "mm_20_shadow.png 22x20"}));
}

TEST(GMaps, AMapLibraryThatDoesNotRunIsReported)
{
    // Leaflet beside the page is written only when missing: a damaged one stays.
    const QString lib = MapFiles::folder() + QStringLiteral("leaflet.js");
    struct Restore {
        QString file;
        ~Restore() { QFile::remove(file); } // written afresh by the next page
    } restore{lib};
    QDir().mkpath(MapFiles::folder());
    QFile::remove(lib);
    {
        QFile f(lib);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("throw new Error('damaged');");
    }
    // The page's scripts fail on the missing library, as they must: their errors are
    // expected here.
    static QtMessageHandler outer = nullptr;
    outer = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &c, const QString &m) {
        if (qstrcmp(c.category, "js") != 0)
            outer(type, c, m);
    });
    struct Unhook {
        ~Unhook() { qInstallMessageHandler(outer); }
    } unhook;
    QString alert;
    onNextModal([&](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            alert = box->text();
            box->accept();
        }
    });
    EditorShell shell;
    TGMaps map(shell);
    map.setAttribute(Qt::WA_DeleteOnClose, false);
    map.isOnline = [] { return true; };
    map.show();
    map.GoogleAPI();
    ASSERT_TRUE(waitFor([&] { return !alert.isEmpty(); }));
    EXPECT_EQ(alert, MapPage::pageTexts()[23]);
}

TEST(GMaps, AMapThatGetsNoTilesOrSearchAnswersSaysWhy)
{
    LocalHttp tiles;
    tiles.status = "503 Service Unavailable";
    tiles.headers = "Content-Type: text/plain\r\n";
    tiles.body = "down";
    LocalHttp search;
    search.status = "500 Internal Server Error";
    search.headers = "Content-Type: application/json\r\nAccess-Control-Allow-Origin: *\r\n";
    search.body = "[]";
    EditorShell shell;
    shell.settings().WriteString("GoogleAPI", "TileMap", tiles.url("/tile/{z}/{x}/{y}.png"));
    shell.settings().WriteString("GoogleAPI", "Search", search.url("/search?q={query}"));
    std::unique_ptr<TGMaps> map = openMapWindow(shell);
    map->GoogleAPI();
    ASSERT_TRUE(map->WBWait());
    const QString host = QUrl(tiles.url("/")).authority();
    const QString down = QStringLiteral("The map server %1 does not answer: no background").arg(host);
    ASSERT_TRUE(waitFor([&] { return js(*map, "KX.notices()").toStringList().contains(down); }))
        << js(*map, "KX.notices()").toStringList().join('|').toStdString();
    EXPECT_EQ(js(*map, "document.querySelector('.kx-notice').textContent").toString(), down) << "shown as text in the page";

    js(*map, "KX.search('Rynek')");
    ASSERT_TRUE(waitFor([&] {
        return js(*map, "KX.notices()").toStringList().contains(QStringLiteral("The search service does not answer"));
    }));

    // The server answers again: the first tiles take the line away.
    tiles.status = "200 OK";
    tiles.headers = "Content-Type: image/png\r\n";
    tiles.body = solidTile(QColor(200, 230, 200));
    js(*map, "map.setView([50.06, 19.94], map.getZoom() + 1)");
    ASSERT_TRUE(waitFor([&] { return !js(*map, "KX.notices()").toStringList().contains(down); }));
    search.status = "200 OK";
    js(*map, "KX.search('Rynek')");
    EXPECT_TRUE(waitFor([&] { return js(*map, "KX.notices()").toStringList().isEmpty(); }))
        << js(*map, "KX.notices()").toStringList().join('|').toStdString();
}
