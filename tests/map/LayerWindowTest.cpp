// SPDX-License-Identifier: GPL-3.0-or-later
// The extra layers as the main window's commands, in the real browser against local
// servers: rasters of a device, a capture cut at the map's border, a city feed and
// the road network.
#include "core/Settings.h"
#include "map/GMaps.h"
#include "map/LayerFeeds.h"
#include "map/MapIcon.h"
#include "map/MapLayers.h"
#include "platform/Error.h"
#include "poi/FeedDownload.h"
#include "tests/map/EditorShell.h"
#include "tests/map/MapHttp.h"
#include "tests/map/MapWindow.h"
#include "tests/map/PageScript.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QColor tileColour(120, 200, 90);

struct Window {
    MapHttp web;
    EditorShell shell;
    std::unique_ptr<TGMaps> map;
    std::unique_ptr<TMapLayers> layers;
    Window()
    {
        web.answers["/tile/"] = {"200 OK", "image/png", solidTile(tileColour)};
        shell.settings().WriteString("GoogleAPI", "TileMap", web.url("/tile/{z}/{x}/{y}.png"));
        shell.settings().WriteString("GoogleAPI", "TileSatellite", web.url("/tile/{z}/{x}/{y}.png"));
        map = openMapWindow(shell);
        layers = std::make_unique<TMapLayers>(shell, [this] { return map.get(); });
    }
    QVariant js(const QString &s) { return ::js(*map, s); }
};

bool near(QRgb p, QColor c, int tolerance)
{
    return std::abs(qRed(p) - c.red()) <= tolerance && std::abs(qGreen(p) - c.green()) <= tolerance
           && std::abs(qBlue(p) - c.blue()) <= tolerance;
}

} // namespace

TEST(LayerWindow, TheRasterCategoryShowsAllItsRastersInOneView)
{
    Window w;
    TempFolder dev;
    QImage picture(100, 100, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const char *boxes[] = {"19.0\r\n50.3\r\n19.2\r\n50.1", "19.3\r\n50.2\r\n19.5\r\n50.0", "18.8\r\n50.1\r\n18.9\r\n49.9"};
    QStringList sats;
    for (int i = 0; i < 3; ++i) {
        dev.write(QStringLiteral("Raster/r%1.jpg").arg(i), encodedImage(picture, "JPEG"));
        sats << dev.write(QStringLiteral("Raster/r%1.sat").arg(i), QByteArray("-\r\n") + boxes[i] + "\r\n");
    }
    for (int i = 0; i < 3; ++i)
        w.layers->OpenRasterInGoogleAPI(sats[i], i < 2, i == 0);
    ASSERT_TRUE(waitFor([&] { return w.js("KXL.rasters().length === 3 && KXL.rasters().every(function (r) { return r.loaded; })").toBool(); }));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(QFileInfo::exists(MapFiles::folder() + QStringLiteral("r%1.jpg").arg(i)));
    const QVariantList view = w.js("KXL.view()").toList();
    ASSERT_EQ(view.size(), 4);
    EXPECT_LE(view[0].toDouble(), 49.9);
    EXPECT_LE(view[1].toDouble(), 18.8);
    EXPECT_GE(view[2].toDouble(), 50.3);
    EXPECT_GE(view[3].toDouble(), 19.5);
    // One whose first line is empty is the error the box shows.
    EXPECT_THROW(w.layers->OpenRasterInGoogleAPI(dev.write("Raster/bad.sat", "\r\n1\r\n"), false, true), KorvixError);
}

TEST(LayerWindow, ACaptureIsCutAtTheMapsBorderAndSavedWithItsSat)
{
    Window w;
    TempFolder out;
    QString proposed;
    w.layers->askName = [&](QWidget *, const QString &name) {
        proposed = name;
        return out.file("capture.sat");
    };
    w.layers->GetImageFromGoogleAPI();
    ASSERT_TRUE(w.map->WBWait());
    EXPECT_EQ(w.map->pageKind(), 2);
    EXPECT_EQ(w.js("document.getElementById('prefix').value").toString(), "aux_");
    EXPECT_EQ(w.js("document.getElementById('find').value").toString(), "Find & Show");
    EXPECT_EQ(w.js("getComputedStyle(document.getElementById('mapka')).borderLeftStyle + ' ' + "
                   "getComputedStyle(document.getElementById('mapka')).borderLeftColor").toString(),
              "solid rgb(0, 0, 0)");
    EXPECT_EQ(w.js("KXR.showMenu()").toString(), "block");
    EXPECT_EQ(w.js("Array.from(document.querySelectorAll('#menu div')).map(function (d) { return d.textContent; }).join('|')").toString(),
              "MENU|Get Image|Satellite View|Normal View");
    const QVariantList box = w.js("KXR.box()").toList();
    ASSERT_EQ(box.size(), 4);
    EXPECT_EQ(box[2].toInt(), 798);
    EXPECT_EQ(box[3].toInt(), 565);
    // Tiles drawn before the picture is taken.
    ASSERT_TRUE(waitFor([&] {
        const QImage shot = w.map->grab().toImage();
        return near(shot.pixel(400, 300), tileColour, 8);
    }));
    w.js("document.getElementById('prefix').value = 'aux_'; KXR.getImage();");
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(out.file("capture.sat")); }));
    EXPECT_TRUE(proposed.startsWith("aux__")) << proposed.toStdString();
    EXPECT_FALSE(proposed.contains('.'));

    const QImage jpeg(out.file("capture.jpg"));
    ASSERT_EQ(jpeg.size(), QSize(798, 565));
    // Every edge of the picture is map, none of it the black border or the form.
    for (int x = 0; x < jpeg.width(); x += 13) {
        EXPECT_TRUE(near(jpeg.pixel(x, 0), tileColour, 40)) << x;
        EXPECT_TRUE(near(jpeg.pixel(x, jpeg.height() - 1), tileColour, 40)) << x;
    }
    for (int y = 0; y < jpeg.height(); y += 13) {
        EXPECT_TRUE(near(jpeg.pixel(0, y), tileColour, 40)) << y;
        EXPECT_TRUE(near(jpeg.pixel(jpeg.width() - 1, y), tileColour, 40)) << y;
    }
    const QList<QByteArray> lines = readAll(out.file("capture.sat")).split('\n');
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], "capture.jpg\r");
    EXPECT_EQ(lines[5], "0\r");
    EXPECT_EQ(lines[6], "65535\r");
    EXPECT_EQ(lines[7], "800\r");
    EXPECT_EQ(lines[8], "600\r");
    // The proposed name carries the reported west and north without their points.
    EXPECT_EQ(proposed, "aux__" + QString::fromLatin1(lines[1].trimmed()).remove('.') + '_'
                            + QString::fromLatin1(lines[2].trimmed()).remove('.'));

    // Back to the map page on the next display.
    w.map->GoogleAPI();
    ASSERT_TRUE(w.map->WBWait());
    EXPECT_EQ(w.map->pageKind(), 1);
}

TEST(LayerWindow, TheCaptureDialogProposesTheNameAndCancellingWritesNothing)
{
    Window w;
    TempFolder out;
    QString seen, filters;
    onNextModal([&](QWidget *dialog) {
        if (auto *d = qobject_cast<QFileDialog *>(dialog)) {
            seen = d->selectedFiles().value(0);
            filters = d->nameFilters().join('|');
            d->setDirectory(out.path());
        }
        dialog->close();
    });
    w.map->GoogleAPI();
    ASSERT_TRUE(w.map->WBWait());
    w.layers->captured(*w.map, "50.000000,19.876543,50.123456,20.000000,aux_,200,100,0,0");
    EXPECT_TRUE(seen.endsWith("/aux__19876543_50123456.sat")) << seen.toStdString();
    EXPECT_EQ(filters, "TTMap overlays (*.sat)|All (*.*)");
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty());
}

TEST(LayerWindow, KrakowFromItsServerAndTheRoadNetworkFromItsSvg)
{
    Window w;
    w.web.answers["/images/stories/mapa/mapa.xml"] = {
        "200 OK", "text/xml",
        "\xEF\xBB\xBF<data><marker lat=\"50.06\" long=\"19.94\" iconfile=\"roboty.png\" limit=\"40\" date=\"dzis\" desc=\"Rynek\"/>"
        "<marker lat=\"50.07\" long=\"19.522705\" iconfile=\"roboty.png\" limit=\"\" date=\"\" desc=\"out\"/>"
        "<marker lat=\"50.05\" long=\"19.95\" iconfile=\"roboty.png\" limit=\"40\" date=\"dzis\"/></data>"};
    QImage icon(22, 22, QImage::Format_RGB32);
    icon.fill(Qt::red);
    w.web.answers["/images/stories/mapa/roboty.png"] = {"200 OK", "image/png", encodedImage(icon, "PNG")};
    // The POI feed's server, set without a scheme: the layer and its icons get "http://".
    Prefs::sources(w.shell.settings()).setServer(Prefs::Source::Krakow, w.web.url("").mid(7) + "/");
    w.layers->OpenKrakow();
    ASSERT_TRUE(waitFor([&] { return w.js("KX.poiCount()").toInt() == 1; }));
    ASSERT_TRUE(waitFor([&] { return !w.web.requestsTo("/images/stories/mapa/roboty.png").isEmpty(); }));
    EXPECT_EQ(w.js("KX.poiCount()").toInt(), 1) << "the marker without \"desc\" is skipped";
    EXPECT_EQ(w.web.requestsTo("/images/stories/mapa/mapa.xml").size(), 1);
    // The POI feeds of the source read the very same setting.
    EXPECT_EQ(Feeds::feedUrl(Feeds::server(w.shell.settings(), Feeds::Source::Krakow), Feeds::KrakowPath),
              QUrl(w.web.url(LayerFeeds::krakowPath)));

    TempFolder tmp;
    const QString svg = tmp.write("siec.svg", "<svg><g id=\"Polska\"><polygon points=\"10,20 30,40 50,20\"/></g>"
                                              "<g id=\"autostrady\"><polyline points=\"20,30 40,30\"/></g></svg>");
    w.layers->OpenGDDKIA_1(svg);
    ASSERT_TRUE(waitFor([&] { return w.js("KXL.lines().length").toInt() == 2; }));
    EXPECT_EQ(w.js("KXL.lines().map(function (l) { return l.colour + '/' + l.width + '/' + l.points; }).join(' ')").toString(),
              "#00ff00/6/3 #ff0000/2/2");
    EXPECT_THROW(w.layers->OpenGDDKIA_1(tmp.write("bad.svg", "<svg>")), KorvixError);
    QByteArray crowded = "<svg><g id=\"Polska\"";
    for (int i = 0; i < 200000; ++i)
        crowded += " a" + QByteArray::number(i) + "=\"\"";
    const QString hostile = tmp.write("crowded.svg", crowded + "/></svg>");
    try {
        w.layers->OpenGDDKIA_1(hostile);
        ADD_FAILURE() << "read";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), hostile + ": The SVG map can't be read: an element has more than 1000 attributes");
    }
}

TEST(LayerWindow, ZakopaneReadsTheFeedsServerAndSkipsMarkersLackingAnAttribute)
{
    Window w;
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(Qt::blue);
    w.web.answers["/ikony/"] = {"200 OK", "image/png", encodedImage(icon, "PNG")};
    const QByteArray good = w.web.url("/ikony/dom.png").toUtf8();
    QByteArray xml = "<dane><marker lat=\"49.30\" lon=\"19.95\" ikona=\"" + good + "\" nazwa=\"Willa\"/>";
    for (const char *lacking : {"lat", "lon", "ikona", "nazwa"}) {
        QByteArray m = "<marker lat=\"49.31\" lon=\"19.96\" ikona=\"" + good + "\" nazwa=\"x\"/>";
        m.replace(QByteArray(" ") + lacking + "=", QByteArray(" no") + lacking + "=");
        xml += m;
    }
    w.web.answers["/wszystkie.xml"] = {"200 OK", "text/xml", xml + "</dane>"};
    Prefs::sources(w.shell.settings()).setServer(Prefs::Source::Zakopane, w.web.url("").mid(7));
    w.layers->OpenZakopane();
    ASSERT_TRUE(waitFor([&] { return w.js("KX.poiCount()").toInt() >= 1; }));
    ASSERT_TRUE(waitFor([&] { return !w.web.requestsTo("/ikony/dom.png").isEmpty(); }));
    EXPECT_EQ(w.js("KX.poiCount()").toInt(), 1);
    EXPECT_EQ(w.web.requestsTo("/wszystkie.xml").size(), 1);
}

TEST(LayerWindow, AFifoOrADeviceChosenAsALayerFileIsRefusedBeforeTheMapOpens)
{
    TempFolder tmp;
    EditorShell shell;
    bool opened = false;
    TMapLayers layers(shell, [&opened]() -> TGMaps * {
        opened = true;
        throw KorvixError(QStringLiteral("the map was opened"));
    });
    const QString fifo = tmp.file("track.csv");
    ASSERT_TRUE(makeFifo(fifo));
    const QString zero = tmp.file("zero.svg");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const std::function<void(const QString &)> readers[] = {
        [&](const QString &f) { layers.ShowTripMasterCSV(f); },
        [&](const QString &f) { layers.OpenGDDKIA_1(f); },
        [&](const QString &f) { layers.OpenRasterInGoogleAPI(f, false, true); },
    };
    for (const auto &read : readers) {
        for (const QString &path : {fifo, zero}) {
            FifoGuard guard({fifo});
            QString message;
            try {
                read(path);
            } catch (const KorvixError &e) {
                message = e.message();
            }
            guard.stop();
            EXPECT_FALSE(guard.hadToRelease());
            EXPECT_EQ(message, "Not a regular file: " + path);
        }
    }
    EXPECT_FALSE(opened);
}
