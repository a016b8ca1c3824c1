// SPDX-License-Identifier: GPL-3.0-or-later
// GPX import and GPX / KML export from the menus of the POI and itinerary editors.
#include "grid/RBGrids.h"
#include "grid/RBItnGrid.h"
#include "itn/Itn.h"
#include "exchange/KmlImport.h"
#include "itn/ItnFormat.h"
#include "poi/GpxMenus.h"
#include "poi/Ov2Editor.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QMenu>

#include <gtest/gtest.h>

namespace {

QAction *entry(QMenu *menu, const QStringList &path)
{
    for (QAction *a : menu->actions()) {
        if (a->text() != path.first())
            continue;
        if (path.size() == 1)
            return a;
        return a->menu() ? entry(a->menu(), path.mid(1)) : nullptr;
    }
    return nullptr;
}

const QByteArray kGpx = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="t" xmlns="http://www.topografix.com/GPX/1/1">
 <wpt lat="50.06143" lon="19.93658"><name>  Rynek Główny </name></wpt>
 <rte><name>r</name><rtept lat="-1.5" lon="-2.25"><name>b</name></rtept></rte>
 <trk><trkseg><trkpt lat="10" lon="20"/><trkpt lat="11" lon="21"/></trkseg></trk>
</gpx>)";

QByteArray longTrack(int points)
{
    QByteArray gpx = "<gpx version=\"1.1\" creator=\"t\"><wpt lat=\"1\" lon=\"2\"><name>start</name></wpt><trk><trkseg>";
    for (int i = 0; i < points; ++i)
        gpx += "<trkpt lat=\"50." + QByteArray::number(10000 + i) + "\" lon=\"19.5\"/>";
    return gpx + "</trkseg></trk></gpx>";
}

std::vector<QStringList> rows(const TRBGrid *grid, int columns)
{
    std::vector<QStringList> out;
    for (int r = 1; r < grid->RowCount(); ++r) {
        QStringList row;
        for (int c = 1; c <= columns; ++c)
            row << grid->GetCell(c, r);
        out.push_back(row);
    }
    return out;
}

} // namespace

TEST(GpxEditors, ThePoiEditorImportsEveryPointAndExportsWhatItHolds)
{
    TempFolder tmp;
    QuietShell shell(tmp.file("k.ini"));
    TOV2 w(shell);
    w.New(tmp.path());
    auto *exchange = w.findChild<GpxExchange *>();
    ASSERT_NE(exchange, nullptr);
    const QString in = tmp.write("in.gpx", kGpx);
    exchange->dialogs.openFile = [&](QWidget *, const QString &, const QString &) { return in; };
    QAction *import = entry(w.editorMenu(), {"Import", "GPX..."});
    ASSERT_NE(import, nullptr);
    EXPECT_TRUE(w.importMenu()->menuAction()->isVisible());
    import->trigger();
    const std::vector<QStringList> expected{{"1993658", "5006143", "Rynek Główny"},
                                            {"-225000", "-150000", "b"},
                                            {"2000000", "1000000", ""},
                                            {"2100000", "1100000", ""}};
    EXPECT_EQ(rows(w.grid(), 3), expected);
    EXPECT_TRUE(w.isModified());

    // Export > GPX and KML: the name chosen without an extension gets it.
    QString chosen = tmp.file("out");
    exchange->dialogs.saveFile = [&](QWidget *, const QString &, const QString &) { return chosen; };
    QAction *gpx = entry(w.editorMenu(), {"Export", "GPX..."});
    ASSERT_NE(gpx, nullptr);
    gpx->trigger();
    GpxContent back;
    ASSERT_EQ(Gpx::readFile(tmp.file("out.gpx"), back), QString());
    EXPECT_TRUE(back.routePoints.empty());
    ASSERT_EQ(back.waypoints.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ((QStringList{QString::number(back.waypoints[i].lon), QString::number(back.waypoints[i].lat),
                               back.waypoints[i].name}),
                  expected[i]);
    entry(w.editorMenu(), {"Export", "KML..."})->trigger();
    const Itn::KmlPoints kml = Itn::ImportKML(readAll(tmp.file("out.kml")));
    ASSERT_EQ(kml.points.size(), expected.size());
    EXPECT_EQ(Itn::degreesToUnits(kml.points[1].lon), -225000);
    EXPECT_FALSE(readAll(tmp.file("out.kml")).contains("<LineString>"));

    // A broken file changes nothing and says why.
    QString shown;
    exchange->dialogs.message = [&](QWidget *, const QString &, const QString &text) { shown = text; };
    const QString broken = tmp.write("broken.gpx", "<gpx><wpt lat=\"x\" lon=\"1\"/></gpx>");
    exchange->dialogs.openFile = [&](QWidget *, const QString &, const QString &) { return broken; };
    import->trigger();
    EXPECT_TRUE(shown.contains(QLatin1String("Invalid GPX file"))) << shown.toStdString();
    EXPECT_EQ(rows(w.grid(), 3), expected);
    // A list that cannot be saved cannot be exported either.
    w.grid()->SetCell(1, 2, QStringLiteral("19.5"));
    shown.clear();
    chosen = tmp.file("bad.gpx");
    gpx->trigger();
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(chosen));
}

TEST(GpxEditors, TheItineraryEditorThinsATrackAndExportsARoute)
{
    TempFolder tmp;
    QuietShell shell(tmp.file("k.ini"));
    TItnEdit w(shell);
    w.New(tmp.path() + QStringLiteral("/trip.itn"));
    auto *exchange = w.findChild<GpxExchange *>();
    ASSERT_NE(exchange, nullptr);
    const QString in = tmp.write("track.gpx", longTrack(1000));
    exchange->dialogs.openFile = [&](QWidget *, const QString &, const QString &) { return in; };
    int askedTotal = 0;
    exchange->dialogs.trackCount = [&](QWidget *, int total, int proposed) {
        askedTotal = total;
        return proposed - 1;
    };
    QAction *import = entry(w.toolsMenu(), {"Import", "GPX..."});
    ASSERT_NE(import, nullptr);
    import->trigger();
    EXPECT_EQ(askedTotal, 1000);
    const std::vector<QStringList> got = rows(w.ItnGrid(), 4);
    ASSERT_EQ(got.size(), 48u) << "the waypoint and 47 track points";
    EXPECT_EQ(got[0], (QStringList{"200000", "100000", "start", "0"}));
    EXPECT_EQ(got[1], (QStringList{"1950000", "5010000", "", "0"}));
    EXPECT_EQ(got[47], (QStringList{"1950000", "5010999", "", "0"}));

    // Cancelling the question adds nothing.
    exchange->dialogs.trackCount = [](QWidget *, int, int) { return 0; };
    import->trigger();
    EXPECT_EQ(rows(w.ItnGrid(), 4).size(), 48u);

    exchange->dialogs.saveFile = [&](QWidget *, const QString &, const QString &) { return tmp.file("trip.gpx"); };
    entry(w.toolsMenu(), {"Export", "GPX..."})->trigger();
    GpxContent back;
    ASSERT_EQ(Gpx::readFile(tmp.file("trip.gpx"), back), QString());
    EXPECT_TRUE(back.waypoints.empty());
    EXPECT_EQ(back.routeName, QStringLiteral("trip"));
    ASSERT_EQ(back.routePoints.size(), 48u);
    EXPECT_EQ(back.routePoints[0], (GeoPoint{200000, 100000, QStringLiteral("start")}));
    EXPECT_EQ(back.routePoints[47], (GeoPoint{1950000, 5010999, QString()}));

    exchange->dialogs.saveFile = [&](QWidget *, const QString &, const QString &) { return tmp.file("trip.kml"); };
    entry(w.toolsMenu(), {"Export", "KML..."})->trigger();
    const QByteArray kml = readAll(tmp.file("trip.kml"));
    EXPECT_TRUE(kml.contains("<LineString>"));
    EXPECT_EQ(Itn::ImportKML(kml).points.size(), 48u);
}
