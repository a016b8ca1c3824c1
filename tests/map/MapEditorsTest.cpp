// SPDX-License-Identifier: GPL-3.0-or-later
// The editors' lists through the map window, in the real browser.
#include "grid/RBGrids.h"
#include "grid/RBItnGrid.h"
#include "itn/Itn.h"
#include "map/GMaps.h"
#include "map/MapIcon.h"
#include "poi/Ov2Editor.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"
#include "tests/map/MapWindow.h"
#include "tests/map/PageScript.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTimer>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Fixture {
    TempFolder tmp;
    QuietShell shell{tmp.file("k.ini")};
    std::unique_ptr<TGMaps> map;
    Fixture()
    {
        // No tile server: the page works without tiles.
        shell.settings().WriteString("GoogleAPI", "TileMap", "http://127.0.0.1:9/{z}/{x}/{y}.png");
        map = openMapWindow(shell);
    }
};

} // namespace

TEST(MapEditors, PoiEditorSendsItsMarkedRowsWithAFreshIconEachTime)
{
    Fixture f;
    TOV2 poi(f.shell);
    poi.setAttribute(Qt::WA_DeleteOnClose, false);
    poi.New(f.tmp.path());
    poi.AddPoi("19.935", "50.062", "a");
    poi.AddPoi("0.00001", "0.00002", "b");
    poi.AddPoi("19.937", "50.06", "c");
    QImage green(22, 22, QImage::Format_RGB888);
    green.fill(Qt::green);
    poi.setSmallIcon(green);
    poi.grid()->MarkRow(1, RBFlags::RowMark);
    poi.grid()->MarkRow(3, RBFlags::RowMark);
    QFile::remove(MapFiles::folder() + "image000.bmp");

    f.map->showList(poi);
    ASSERT_TRUE(f.map->WBWait());
    EXPECT_EQ(js(*f.map, "KX.poiCount()").toInt(), 2);
    EXPECT_EQ(QImage(MapFiles::folder() + "image000.bmp").pixelColor(5, 5), QColor(Qt::green));
    EXPECT_EQ(js(*f.map, "icons[1].options.iconUrl").toString(), "image000.bmp");
    const QVariantList v = js(*f.map, "KX.view()").toList();
    ASSERT_EQ(v.size(), 4);
    EXPECT_LE(v[0].toDouble(), 50.060);
    EXPECT_GE(v[2].toDouble(), 50.062);
    EXPECT_GT(v[0].toDouble(), 49.9); // framed on the two marked rows, not on row 2

    // Without marks every row goes; the icon gets the next number.
    poi.grid()->UnmarkAllRows(RBFlags::RowMark);
    f.map->showList(poi);
    EXPECT_EQ(js(*f.map, "KX.poiCount()").toInt(), 5);
    EXPECT_TRUE(QFileInfo::exists(MapFiles::folder() + "image001.bmp"));
}

TEST(MapEditors, ItineraryShownTwiceAddsItsRouteBehindTheFirst)
{
    Fixture f;
    TItnEdit itn(f.shell);
    itn.setAttribute(Qt::WA_DeleteOnClose, false);
    itn.New(QString());
    itn.AddItn("19.935", "50.062", "start");
    itn.AddItn("20.0", "50.1", "end");
    f.map->showList(itn);
    ASSERT_TRUE(f.map->WBWait());
    EXPECT_EQ(js(*f.map, "KX.route().length").toInt(), 2);
    f.map->showList(itn);
    EXPECT_EQ(js(*f.map, "KX.route().length").toInt(), 4);
    itn.Cap(false);
}

TEST(MapEditors, PointsWithoutIntegersShowTheStoredViewAndNoHomeWhenThereIsNone)
{
    Fixture f;
    f.shell.settings().WriteString("GoogleAPI", "InitialView", "49.0,20.0,49.1,20.2");
    TItnEdit itn(f.shell);
    itn.setAttribute(Qt::WA_DeleteOnClose, false);
    itn.New(QString());
    itn.ItnGrid()->SetCell(3, 1, "no point");
    f.map->showList(itn);
    ASSERT_TRUE(f.map->WBWait());
    const QVariantList v = js(*f.map, "KX.view()").toList();
    ASSERT_EQ(v.size(), 4);
    EXPECT_LE(v[0].toDouble(), 49.0);
    EXPECT_GE(v[2].toDouble(), 49.1);
    EXPECT_GT(v[0].toDouble(), 48.5);
    EXPECT_TRUE(js(*f.map, "KX.home() === null").toBool());
    itn.Cap(false);
}
