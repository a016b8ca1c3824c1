// SPDX-License-Identifier: GPL-3.0-or-later
// The map with a POI list, a route and an open info window, drawn by the real browser
// and saved for the README (run under Xvfb with QT_QPA_PLATFORM=xcb for the picture
// the user sees; offscreen it is drawn the same way).
#include "core/RBParamsTable.h"
#include "map/GMaps.h"
#include "map/MapLists.h"
#include "tests/map/EditorShell.h"
#include "tests/map/MapHttp.h"
#include "tests/support/TestSupport.h"
#include "tests/map/PageScript.h"

#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTimer>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A plain map-like tile: paper colour with a street grid.
QByteArray tile()
{
    QImage img(256, 256, QImage::Format_RGB32);
    img.fill(QColor(242, 239, 233));
    QPainter p(&img);
    p.setPen(QPen(QColor(255, 255, 255), 6));
    for (int i = 0; i <= 256; i += 64) {
        p.drawLine(i, 0, i, 256);
        p.drawLine(0, i, 256, i);
    }
    p.setPen(QPen(QColor(170, 211, 223), 10));
    p.drawLine(0, 200, 256, 150);
    p.end();
    return encodedImage(img, "PNG");
}

} // namespace

TEST(MapScreenshot, PoisARouteAndAnInfoWindow)
{
    MapHttp web;
    web.answers["/tile/"] = {"200 OK", "image/png", tile()};
    web.answers["/route/"].body =
        R"({"code":"Ok","routes":[{"distance":2350,"duration":420,"geometry":{"coordinates":[[19.9366,50.0614],[19.9390,50.0590],[19.9410,50.0570],[19.9360,50.0540]]},
            "legs":[{"steps":[{"maneuver":{"type":"depart"},"name":"Grodzka"},{"maneuver":{"type":"arrive"},"name":"Wawel"}]}]}],
            "waypoints":[{"name":"Rynek G\u0142\u00f3wny"},{"name":"Wawel"}]})";
    EditorShell shell;
    shell.settings().WriteString("GoogleAPI", "TileMap", web.url("/tile/{z}/{x}/{y}.png"));
    shell.settings().WriteString("GoogleAPI", "Driving", web.url("/route/{lng1},{lat1};{lng2},{lat2}"));
    shell.settings().WriteString("GoogleAPI", "Home", "50.0647,19.9450,\"Dom\"");
    TGMaps map(shell);
    map.setAttribute(Qt::WA_DeleteOnClose, false);
    map.isOnline = [] { return true; };
    map.resize(1024, 700);
    map.show();
    map.GoogleAPI();
    ASSERT_TRUE(map.WBWait());

    TRBParamsTable rows;
    rows.SetColCount(5);
    rows.AppendRow();
    quint32 seed = 7;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int lon = 1990000 + int(seed % 12000);
        seed = seed * 1664525u + 1013904223u;
        const int lat = 5004000 + int(seed % 6000);
        rows.AppendFields(QStringList{QString(), QString::number(lon), QString::number(lat), QStringLiteral("POI %1").arg(i)});
    }
    rows.AppendFields(QStringList{QString(), "1993660", "5006140", QString::fromUtf8("Rynek Główny \"Sukiennice\"")});
    {
        TGMaps::Calls calls(map);
        sendPoiList(rows, QString(), MapFraming{QString(), shell.settings().ReadString("GoogleAPI", "Home")}, calls);
        calls.send("WB_WP(50.0614,19.9366,\"\");");
        calls.send("WB_WP(50.0540,19.9360,\"\");");
    }
    ASSERT_TRUE([&] {
        for (int i = 0; i < 100; ++i) {
            if (js(map, "KX.legs().length && KX.legs()[0].routed").toBool())
                return true;
            settle(50);
        }
        return false;
    }());
    EXPECT_TRUE(js(map, "KX.openWaypoint(0)").toBool());
    settle(1500); // tiles and the popup drawn

    const QImage shot = map.grab().toImage();
    const QString path = QStringLiteral(KORVIX_BINARY_DIR "/map-screenshot.png");
    ASSERT_TRUE(shot.save(path));
    std::printf("map screenshot: %s\n", qPrintable(path));
    // Something was drawn: tiles, markers, the route and the window, not one colour.
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 7)
        for (int x = 0; x < shot.width(); x += 7)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
}
