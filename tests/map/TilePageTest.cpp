// SPDX-License-Identifier: GPL-3.0-or-later
// The map without a network, in the real browser: every online template points at a
// closed local port, and still the archives' tiles are drawn, the built-in world shows
// land and sea, and a tile kept in the cache is drawn after its server has stopped.
#include "map/GMaps.h"
#include "map/TileSources.h"
#include "tests/map/EditorShell.h"
#include "tests/map/MapHttp.h"
#include "tests/map/MapWindow.h"
#include "tests/map/PageScript.h"
#include "tests/map/TileFixtures.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QJsonArray>
#include <QPainter>
#include <QJsonDocument>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace TileFixtures;

namespace {

const char *const closedPort = "http://127.0.0.1:9/{z}/{x}/{y}.png";

void closeTheNetwork(KorvixSettings &s)
{
    for (const char *key : {"TileMap", "TileTerrain", "TileSatellite", "TileLabels"})
        s.WriteString("GoogleAPI", key, closedPort);
}

std::map<Key, QByteArray> solidTiles(const QColor &colour, int maxZoom)
{
    std::map<Key, QByteArray> tiles;
    const QByteArray png = pngTile(colour);
    for (int z = 0; z <= maxZoom; ++z)
        for (int x = 0; x < (1 << z); ++x)
            for (int y = 0; y < (1 << z); ++y)
                tiles[{z, x, y}] = png;
    return tiles;
}

// Shows the base layer named `name` instead of the first one.
void chooseType(TGMaps &map, const QString &name)
{
    js(map, QStringLiteral("controls.types.forEach(function (t) { map.removeLayer(t.layer); });"
                           "controls.types.filter(function (t) { return t.name === %1; })[0].layer.addTo(map); null")
                .arg(QString::fromUtf8(QJsonDocument(QJsonArray{name}).toJson(QJsonDocument::Compact)).mid(1).chopped(1)));
}

// The tile pictures of the base layer named `name` are all loaded.
bool tilesLoaded(TGMaps &map, const QString &name)
{
    const QString literal = QString::fromUtf8(QJsonDocument(QJsonArray{name}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
    return waitFor([&] {
        return js(map, QStringLiteral("(function () { var t = controls.types.filter(function (x) { return x.name === %1; })[0];"
                                      " var prefix = t.sources[0].via || t.sources[0].url; prefix = prefix.slice(0, prefix.indexOf('{z}'));"
                                      " var imgs = Array.prototype.filter.call(document.images, function (i) { return i.src.indexOf(prefix) === 0; });"
                                      " return imgs.length > 0 && imgs.every(function (i) { return i.complete && i.naturalWidth === 256; }); })()")
                           .arg(literal))
            .toBool();
    });
}

QColor pixelAt(TGMaps &map, double lat, double lng)
{
    QTest::qWait(400); // the tiles' fade-in
    const QVariantList p = js(map, QStringLiteral("(function () { var p = map.latLngToContainerPoint([%1, %2]);"
                                                  " return [Math.round(p.x), Math.round(p.y)]; })()")
                                       .arg(lat).arg(lng))
                               .toList();
    const QImage shot = map.grab().toImage();
    return QColor(shot.pixel(p.value(0).toInt(), p.value(1).toInt()));
}

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 8 && std::abs(a.green() - b.green()) <= 8 && std::abs(a.blue() - b.blue()) <= 8;
}

// The page with its default tiles loaded at zoom 2 over Europe.
void showEuropeAtZoom2(TGMaps &map)
{
    map.GoogleAPI();
    ASSERT_TRUE(map.WBWait());
    js(map, "map.setView([50, 20], 2); null");
    ASSERT_TRUE(tilesLoaded(map, "Normal"));
}

struct OfflineMap {
    TempFolder tmp;
    EditorShell shell;
    std::unique_ptr<TGMaps> map;
    explicit OfflineMap(const QStringList &archives = {})
    {
        closeTheNetwork(shell.settings());
        TileSources::setArchivePaths(shell.settings(), archives);
    }
    void open()
    {
        map = openMapWindow(shell);
        map->GoogleAPI();
        ASSERT_TRUE(map->WBWait());
    }
};

} // namespace

TEST(MapOffline, ArchiveTilesAreDrawnWithTheNetworkClosed)
{
    TempFolder tmp;
    const QString mb = tmp.file("red.mbtiles");
    ASSERT_EQ(writeMBTiles(mb, solidTiles(QColor(200, 40, 40), 3),
                           {{"name", "Red <b>land</b>"}, {"format", "png"}, {"attribution", "Red maps"}}), "");
    PMTilesOptions o;
    o.metadata = QJsonObject{{"name", "Green"}, {"attribution", "Green maps"}};
    o.leafSize = 20;
    const QString pm = tmp.write("green.pmtiles", buildPMTiles(solidTiles(QColor(40, 160, 60), 3), o));
    OfflineMap m({mb, pm});
    m.open();
    // Beside the online types, and the name stays text in the chooser.
    const QStringList types = js(*m.map, "KX.mapTypes()").toStringList();
    ASSERT_TRUE(types.contains("Red &lt;b&gt;land&lt;/b&gt;") && types.contains("Green")) << types.join('|').toStdString();
    EXPECT_EQ(js(*m.map, "document.querySelectorAll('.leaflet-control-layers b').length").toInt(), 0);

    js(*m.map, "map.setView([50, 20], 3); null");
    chooseType(*m.map, "Red &lt;b&gt;land&lt;/b&gt;");
    ASSERT_TRUE(tilesLoaded(*m.map, "Red &lt;b&gt;land&lt;/b&gt;"));
    EXPECT_TRUE(waitFor([&] { return near(pixelAt(*m.map, 50, 20), QColor(200, 40, 40)); })) << pixelAt(*m.map, 50, 20).name().toStdString();
    EXPECT_TRUE(js(*m.map, "document.querySelector('.leaflet-control-attribution').textContent").toString().contains("Red maps"));

    chooseType(*m.map, "Green");
    // Zoom 5 is past the archive's last zoom: its zoom 3 tiles are drawn larger.
    js(*m.map, "map.setView([50, 20], 5); null");
        ASSERT_TRUE(tilesLoaded(*m.map, "Green"));
    EXPECT_TRUE(waitFor([&] { return near(pixelAt(*m.map, 50, 20), QColor(40, 160, 60)); })) << pixelAt(*m.map, 50, 20).name().toStdString();
}

TEST(MapOffline, TheBuiltInWorldShowsLandAndSeaWithNoTileSource)
{
    OfflineMap m;
    m.open();
    js(*m.map, "map.setView([45, 0], 3); null");
    ASSERT_TRUE(waitFor([&] { return js(*m.map, "controls.world !== null && map.hasLayer(controls.world) && !controls.world.isLoading()").toBool(); }));
    // The server is closed: no tile, and the page says so.
    ASSERT_TRUE(waitFor([&] { return js(*m.map, "controls.notice.lines().length").toInt() > 0; }));
    QTest::qWait(600); // the tiles' fade-in
    // The Atlantic, and land near Paris and Warsaw.
    const QColor seaColour(0xaa, 0xd3, 0xdf), landColour(0xf2, 0xef, 0xe9);
    EXPECT_TRUE(waitFor([&] { return near(pixelAt(*m.map, 45, -30), seaColour); })) << pixelAt(*m.map, 45, -30).name().toStdString();
    EXPECT_TRUE(waitFor([&] { return near(pixelAt(*m.map, 48.5, 2.5), landColour); })) << pixelAt(*m.map, 48.5, 2.5).name().toStdString();
    EXPECT_TRUE(waitFor([&] { return near(pixelAt(*m.map, 52.2, 21), landColour); })) << pixelAt(*m.map, 52.2, 21).name().toStdString();
    // Its data came with the program, from beside the page.
    EXPECT_TRUE(js(*m.map, "Array.prototype.some.call(document.scripts, function (s) { return /\\/world\\.js$/.test(s.src) && s.src.indexOf('file:') === 0; })").toBool());
}

TEST(MapOffline, ACachedTileIsDrawnAfterItsServerHasStopped)
{
    auto web = std::make_unique<MapHttp>();
    // Always to be checked again, as a strict server asks: only the cache's
    // fallback draws it once the server is gone.
    web->answers["/tile/"] = {"200 OK", "image/png\r\nCache-Control: no-cache\r\nETag: \"blue1\"", pngTile(QColor(30, 60, 200))};
    EditorShell shell;
    closeTheNetwork(shell.settings());
    const QString tmpl = web->url("/tile/{z}/{x}/{y}.png");
    shell.settings().WriteString("GoogleAPI", "TileMap", tmpl);
    {
        auto map = openMapWindow(shell);
        ASSERT_NO_FATAL_FAILURE(showEuropeAtZoom2(*map));
        EXPECT_TRUE(waitFor([&] { return near(pixelAt(*map, 50, 20), QColor(30, 60, 200)); })) << pixelAt(*map, 50, 20).name().toStdString();
        ASSERT_FALSE(web->requestsTo("/tile/2/").isEmpty());
        EXPECT_TRUE(web->requestsTo("/tile/2/").first().head.contains("User-Agent: Korvix/"));
        EXPECT_FALSE(web->requestsTo("/tile/2/").first().head.contains("If-None-Match"));
    }
    {
        // The next page asks again, with the server's ETag.
        auto map = openMapWindow(shell);
        ASSERT_NO_FATAL_FAILURE(showEuropeAtZoom2(*map));
        EXPECT_TRUE(web->requestsTo("/tile/2/").last().head.contains("If-None-Match: \"blue1\""));
    }
    web.reset(); // the server stops; its port refuses
    auto map = openMapWindow(shell);
    ASSERT_NO_FATAL_FAILURE(showEuropeAtZoom2(*map));
    EXPECT_TRUE(waitFor([&] { return near(pixelAt(*map, 50, 20), QColor(30, 60, 200)); })) << pixelAt(*map, 50, 20).name().toStdString();
}

TEST(MapOffline, HostileArchivesGiveTheirMessageAndNoHang)
{
    TempFolder tmp;
    const QString text = tmp.write("notes.mbtiles", "not a database");
    const QString past = tmp.file("past.pmtiles");
    {
        QByteArray b = buildPMTiles(solidTiles(Qt::red, 1));
        putU64(b, RootOffset, quint64(b.size()) + 100);
        ASSERT_TRUE(writeFile(past, b));
    }
    const QString loop = tmp.write("loop.pmtiles", loopingPMTiles());

    OfflineMap m({text, past, loop});
    m.open();
    const QStringList types = js(*m.map, "KX.mapTypes()").toStringList();
    ASSERT_TRUE(types.contains("notes") && types.contains("past") && types.contains("loop")) << types.join('|').toStdString();
    // Each broken archive, when chosen, says why in the page.
    chooseType(*m.map, "notes");
    QStringList lines = js(*m.map, "controls.notice.lines()").toStringList();
    EXPECT_TRUE(lines.contains(text + ": Not a tile archive (MBTiles or PMTiles)")) << lines.join('|').toStdString();
    chooseType(*m.map, "past");
    lines = js(*m.map, "controls.notice.lines()").toStringList();
    EXPECT_TRUE(lines.contains(past + ": A part of the archive lies past its end")) << lines.join('|').toStdString();
    EXPECT_FALSE(lines.contains(text + ": Not a tile archive (MBTiles or PMTiles)"));
    // The looping archive fails its tiles, and the page goes on answering.
    js(*m.map, "map.eachLayer(function (l) { if (l instanceof L.TileLayer) map.removeLayer(l); }); null");
    chooseType(*m.map, "loop");
    EXPECT_TRUE(waitFor([&] {
        return js(*m.map, "Array.prototype.some.call(document.images, function (i) { return i.src.indexOf('korvix-tiles://archive/') === 0 && i.complete; })").toBool();
    }));
    EXPECT_EQ(js(*m.map, "1 + 1").toInt(), 2);
}

// The map offline for the README: an archive of one region over the built-in world.
TEST(MapOffline, ScreenshotOfAnArchiveOverTheBuiltInWorld)
{
    TempFolder tmp;
    std::map<Key, QByteArray> tiles;
    for (int z = 4; z <= 6; ++z) {
        const int n = 1 << z;
        for (int x = int(n * (14.0 + 180) / 360); x <= int(n * (24.2 + 180) / 360); ++x)
            for (int y = 0; y < n; ++y) {
                QImage img(256, 256, QImage::Format_RGB32);
                img.fill(QColor(236, 232, 220));
                QPainter p(&img);
                p.setPen(QPen(QColor(255, 255, 255), 5));
                for (int i = 32; i < 256; i += 64) {
                    p.drawLine(i, 0, i + 20, 256);
                    p.drawLine(0, i, 256, i - 12);
                }
                p.setPen(QPen(QColor(120, 170, 110), 3));
                p.drawEllipse(QPoint(128, 128), 40, 28);
                p.end();
                tiles[{z, x, y}] = encodedImage(img, "PNG");
            }
    }
    const QString mb = tmp.file("region.mbtiles");
    ASSERT_EQ(writeMBTiles(mb, tiles, {{"name", "Region"}, {"format", "png"}, {"minzoom", "4"}, {"maxzoom", "6"},
                                       {"bounds", "14.1,49.0,24.2,54.9"}, {"attribution", "Region maps"}}), "");
    OfflineMap m({mb});
    m.open();
    m.map->resize(1024, 700);
    js(*m.map, "map.setView([51.5, 17], 5); null");
    chooseType(*m.map, "Region");
    ASSERT_TRUE(tilesLoaded(*m.map, "Region"));
    ASSERT_TRUE(waitFor([&] { return !js(*m.map, "controls.world.isLoading()").toBool(); }));
    QTest::qWait(800);
    const QImage shot = m.map->grab().toImage();
    const QString path = QStringLiteral(KORVIX_BINARY_DIR "/map-offline.png");
    ASSERT_TRUE(shot.save(path));
    std::printf("offline map screenshot: %s\n", qPrintable(path));
    // The region's tiles and the world's land and sea around them.
    EXPECT_TRUE(waitFor([&] { return near(pixelAt(*m.map, 45, -5), QColor(0xaa, 0xd3, 0xdf)); }));
    EXPECT_TRUE(waitFor([&] { return near(pixelAt(*m.map, 47.5, 30), QColor(0xf2, 0xef, 0xe9)); }));
}
