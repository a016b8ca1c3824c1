// SPDX-License-Identifier: GPL-3.0-or-later
// The extra layers drawn by the real browser in the map window, tiles from a local
// server: a raster overlay with its frame, picture and marker, a track fitted.
#include "map/GMaps.h"
#include "map/MapIcon.h"
#include "map/RasterLayer.h"
#include "map/TripMaster.h"
#include "platform/DeviceCodec.h"
#include "tests/map/EditorShell.h"
#include "tests/map/MapHttp.h"
#include "tests/map/MapWindow.h"
#include "tests/map/PageScript.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <QImage>
#include <QJsonDocument>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

struct LayerMap {
    MapHttp web;
    EditorShell shell;
    std::unique_ptr<TGMaps> map;
    LayerMap()
    {
        web.answers["/tile/"] = {"200 OK", "image/png", solidTile(QColor(242, 239, 233))};
        shell.settings().WriteString("GoogleAPI", "TileMap", web.url("/tile/{z}/{x}/{y}.png"));
        map = openMapWindow(shell);
        map->GoogleAPI();
    }
    QVariant js(const QString &s) { return ::js(*map, s); }
    // Pixels of the window close to `colour`.
    int pixelsLike(QColor colour)
    {
        const QImage shot = map->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb p = shot.pixel(x, y);
                if (std::abs(qRed(p) - colour.red()) < 24 && std::abs(qGreen(p) - colour.green()) < 24
                    && std::abs(qBlue(p) - colour.blue()) < 24)
                    ++n;
            }
        return n;
    }
};

} // namespace

TEST(LayerPage, ARasterIsDrawnWithItsPictureFrameAndMarkerAndItsInfoStaysText)
{
    LayerMap m;
    ASSERT_TRUE(m.map->WBWait());
    TempFolder dev;
    QImage picture(200, 150, QImage::Format_RGB32);
    picture.fill(QColor(40, 60, 230));
    dev.write("Raster/Rynek.jpg", encodedImage(picture, "JPEG"));
    const QString sat = dev.write("Raster/Rynek.sat", "-\r\n19.90\r\n50.08\r\n19.98\r\n50.04\r\n0\r\n65535\r\n"
                                                      "<img src=x onerror=\"external.Write(1,'owned')\">\r\n150\r\n");
    const SatFile s = RasterLayer::readSat(sat, DeviceCodec());
    ASSERT_TRUE(RasterLayer::copyPicture(s, MapFiles::folder()));
    {
        TGMaps::Calls calls(*m.map);
        RasterShow show;
        show.show(s, false, true, calls);
    }
    ASSERT_TRUE(waitFor([&] { return m.js("KXL.rasters().length === 1 && KXL.rasters()[0].loaded").toBool(); }));
    const QVariantMap r = m.js("KXL.rasters()[0]").toMap();
    EXPECT_EQ(r["file"].toString(), "Rynek.jpg");
    EXPECT_DOUBLE_EQ(r["south"].toDouble(), 50.04);
    EXPECT_DOUBLE_EQ(r["west"].toDouble(), 19.90);
    EXPECT_DOUBLE_EQ(r["north"].toDouble(), 50.08);
    EXPECT_DOUBLE_EQ(r["east"].toDouble(), 19.98);
    EXPECT_EQ(r["frame"].toString(), "#ff0000");
    EXPECT_EQ(r["frameWidth"].toInt(), 3);
    EXPECT_DOUBLE_EQ(r["markerLat"].toDouble(), 50.08);
    EXPECT_DOUBLE_EQ(r["markerLng"].toDouble(), 19.98);
    EXPECT_EQ(r["title"].toString(), "Rynek.jpg");
    // Fitted to the box, and the picture's blue fills much of the window.
    const QVariantList view = m.js("KXL.view()").toList();
    ASSERT_EQ(view.size(), 4);
    EXPECT_LE(view[0].toDouble(), 50.04);
    EXPECT_LE(view[1].toDouble(), 19.90);
    EXPECT_GE(view[2].toDouble(), 50.08);
    EXPECT_GE(view[3].toDouble(), 19.98);
    ASSERT_TRUE(waitFor([&] { return m.pixelsLike(QColor(40, 60, 230)) > 800 * 600 / 10; }));
    EXPECT_GT(m.pixelsLike(QColor(255, 0, 0)), 100);

    // The hostile width arrives as text in the info window, not as an element.
    ASSERT_TRUE(m.js("KXL.openRaster(0)").toBool());
    EXPECT_EQ(m.js("document.querySelectorAll('.leaflet-popup-content img').length").toInt(), 0);
    EXPECT_TRUE(m.js("document.querySelector('.leaflet-popup-content').textContent").toString().contains("<img src=x"));
    EXPECT_TRUE(m.js("document.querySelector('.leaflet-popup-content').textContent").toString().contains("Image file name:"));
    EXPECT_EQ(m.shell.settings().ReadString("GoogleAPI", "Home"), "");
}

TEST(LayerPage, ATrackIsDrawnGreenAndTheMapFittedToIt)
{
    LayerMap m;
    ASSERT_TRUE(m.map->WBWait());
    QByteArray log = "lon,lat,time,desc,A,B,Speed,valid\n";
    for (int i = 0; i <= 100; ++i)
        log += QByteArray::number(19.0 + i * 0.01, 'f', 2) + ',' + QByteArray::number(50.0 + (i % 10) * 0.005, 'f', 3)
               + ",7:" + QByteArray::number(10 + i % 50) + ",P" + QByteArray::number(i) + ",1,2," + (i == 50 ? "0" : "5")
               + ",1\n";
    {
        TGMaps::Calls calls(*m.map);
        TripMaster::send(log, DeviceCodec(), calls);
    }
    ASSERT_TRUE(waitFor([&] { return m.js("KXL.lines().length === 1").toBool(); }));
    const QVariantMap line = m.js("KXL.lines()[0]").toMap();
    EXPECT_EQ(line["colour"].toString(), "#00ff00");
    EXPECT_EQ(line["width"].toInt(), 6);
    EXPECT_EQ(line["points"].toInt(), 101);
    EXPECT_EQ(m.js("KX.poiCount()").toInt(), 101);
    const QVariantList view = m.js("KXL.view()").toList();
    ASSERT_EQ(view.size(), 4);
    // Fitted: the whole track inside, and not much more than it.
    EXPECT_LE(view[1].toDouble(), 19.0);
    EXPECT_GE(view[3].toDouble(), 20.0);
    EXPECT_LT(view[3].toDouble() - view[1].toDouble(), 2.1);
    ASSERT_TRUE(waitFor([&] { return m.pixelsLike(QColor(0, 255, 0)) > 1000; }));
}

// The map with a raster overlay and a TripMaster track, saved for people to look at
// (run under Xvfb with QT_QPA_PLATFORM=xcb for the picture a user sees).
TEST(LayerScreenshot, ARasterOverlayAndATrack)
{
    LayerMap m;
    ASSERT_TRUE(m.map->WBWait());
    TempFolder dev;
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(QColor(250, 245, 220));
    {
        QPainter p(&picture);
        p.setPen(QPen(QColor(60, 90, 160), 8));
        p.drawLine(0, 220, 400, 120);
        p.setPen(QPen(QColor(120, 120, 120), 3));
        for (int x = 20; x < 400; x += 60)
            p.drawLine(x, 0, x + 40, 300);
        p.setFont(QFont(QStringLiteral("Sans"), 22, QFont::Bold));
        p.setPen(QColor(80, 40, 20));
        p.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Raster"));
    }
    dev.write("Raster/Wisla.jpg", encodedImage(picture, "JPEG"));
    const QString sat = dev.write("Raster/Wisla.sat", "-\r\n19.90\r\n50.075\r\n19.96\r\n50.045\r\n0\r\n65535\r\n400\r\n300\r\n");
    const SatFile s = RasterLayer::readSat(sat, DeviceCodec());
    ASSERT_TRUE(RasterLayer::copyPicture(s, MapFiles::folder()));
    QByteArray log = "lon,lat,time,desc,Temp,Alt,Speed,valid\n";
    for (int i = 0; i <= 40; ++i) {
        const double t = i / 40.0;
        const int minute = 7 * 60 + i * 3 + (i > 20 ? 70 : 0);
        log += QByteArray::number(19.88 + 0.1 * t, 'f', 5) + ',' + QByteArray::number(50.04 + 0.03 * t * t, 'f', 5) + ','
               + QByteArray::number(minute / 60) + ':' + QByteArray::number(minute % 60).rightJustified(2, '0') + ",P"
               + QByteArray::number(i) + ",12,210," + (i == 20 ? "0" : "30") + ",1\n";
    }
    {
        TGMaps::Calls calls(*m.map);
        RasterShow show;
        show.show(s, false, true, calls);
        TripMaster::send(log, DeviceCodec(), calls);
    }
    ASSERT_TRUE(waitFor([&] { return m.js("KXL.lines().length === 1 && KXL.rasters()[0].loaded").toBool(); }));
    ASSERT_TRUE(m.js("KXL.openRaster(0)").toBool());
    ASSERT_TRUE(waitFor([&] { return m.pixelsLike(QColor(250, 245, 220)) > 2000 && m.pixelsLike(QColor(0, 255, 0)) > 500; }));
    const QImage shot = m.map->grab().toImage();
    const QString path = QStringLiteral(KORVIX_BINARY_DIR "/map-layers-screenshot.png");
    ASSERT_TRUE(shot.save(path));
    std::printf("map layers screenshot: %s\n", qPrintable(path));
}

// A description of a picture of 20,000 x 20,000 pixels (its header says so; the data
// is that of a small one): the page stays alive and goes on drawing.
TEST(LayerPage, AHugePictureLeavesThePageWorking)
{
    LayerMap m;
    ASSERT_TRUE(m.map->WBWait());
    QImage small(64, 64, QImage::Format_RGB32);
    small.fill(QColor(200, 40, 40));
    QByteArray jpeg = encodedImage(small, "JPEG");
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    for (int i : {5, 7}) { // height, then width, big-endian
        jpeg[sof + i] = char(20000 >> 8);
        jpeg[sof + i + 1] = char(20000 & 0xFF);
    }
    TempFolder dev;
    dev.write("Raster/Huge.jpg", jpeg);
    const QString sat = dev.write("Raster/Huge.sat", "-\r\n19.0\r\n50.5\r\n19.5\r\n50.0\r\n0\r\n65535\r\n20000\r\n20000\r\n");
    const SatFile s = RasterLayer::readSat(sat, DeviceCodec());
    ASSERT_TRUE(RasterLayer::copyPicture(s, MapFiles::folder()));
    {
        TGMaps::Calls calls(*m.map);
        RasterShow show;
        show.show(s, false, true, calls);
    }
    ASSERT_TRUE(waitFor([&] { return m.js("KXL.rasters().length").toInt() == 1; }));
    m.map->grab();
    {
        TGMaps::Calls calls(*m.map);
        calls.send("WB_Poliline_clr();");
        calls.send("WB_Poliline_add(50.1,19.1);");
        calls.send("WB_Poliline_add(50.2,19.2);");
        calls.send("WB_Poliline(\"#00ff00\",6);");
    }
    ASSERT_TRUE(waitFor([&] { return m.js("KXL.lines().length").toInt() == 1; }));
    EXPECT_TRUE(waitFor([&] { return m.pixelsLike(QColor(0, 255, 0)) > 100; }));
}
