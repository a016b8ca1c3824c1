// SPDX-License-Identifier: GPL-3.0-or-later
// The POI editor's small map, in the real browser.
#include "grid/RBGrids.h"
#include "map/MiniMap.h"
#include "poi/Ov2Editor.h"
#include "tests/map/MapHttp.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"
#include "tests/map/PageScript.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSplitter>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Fixture {
    TempFolder tmp;
    MapHttp web;
    QuietShell shell{tmp.file("k.ini")};
    TOV2 poi{shell};
    TMiniMap *mini;
    bool online = true;
    Fixture()
    {
        shell.settings().WriteString("GoogleAPI", "TileMap", "http://127.0.0.1:9/{z}/{x}/{y}.png");
        shell.settings().WriteString("GoogleAPI", "Reverse", web.url("/reverse?lat={lat}&lon={lng}"));
        shell.settings().WriteString("GoogleAPI", "Search", web.url("/search?q={query}"));
        poi.setAttribute(Qt::WA_DeleteOnClose, false);
        poi.New(tmp.path());
        poi.AddPoi("19.935", "50.062", "Rynek");
        poi.AddPoi("21.0", "52.2", "Warszawa");
        poi.grid()->SetCurrentCell(3, 1);
        mini = new TMiniMap(poi, shell);
        mini->isOnline = [this] { return online; };
        poi.resize(1000, 600);
        poi.show();
    }
    ~Fixture() { poi.Saved(TOV2::AllBits); }
    int panelWidth() const { return poi.listSplitter()->sizes().value(1); }
};

} // namespace

TEST(MiniMap, FollowsTheCurrentRowASecondAfterThePageIsReady)
{
    Fixture f;
    EXPECT_EQ(f.mini->LastMapPoint(), "?");
    EXPECT_TRUE(waitFor([&] { return f.panelWidth() == 300; })) << f.panelWidth();
    ASSERT_TRUE(waitFor([&] { return f.mini->LastMapPoint() == "50.06200,19.93500,\"Rynek\""; }));
    ASSERT_TRUE(waitFor([&] { return js(f.mini->view(), "KX.marker()").toList().size() == 2; }));
    EXPECT_DOUBLE_EQ(js(f.mini->view(), "KX.marker()[0]").toDouble(), 50.062);
    EXPECT_EQ(f.mini->MapDelay, -1);

    // A key released in the description column leaves the map; in a coordinate
    // column the map follows 0.4 s later.
    f.poi.grid()->SetCurrentCell(3, 2);
    f.mini->MapDelay = -1;
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(f.poi.grid(), &release);
    EXPECT_EQ(f.mini->MapDelay, -1);
    f.poi.grid()->SetCurrentCell(1, 2);
    f.mini->MapDelay = -1;
    QCoreApplication::sendEvent(f.poi.grid(), &release);
    EXPECT_EQ(f.mini->MapDelay, 4);
    ASSERT_TRUE(waitFor([&] { return f.mini->LastMapPoint() == "52.20000,21.00000,\"Warszawa\""; }));
}

TEST(MiniMap, AddNewAndUpdateTakeThePointOfTheLabel)
{
    Fixture f;
    f.mini->Write(1, "50.06200,19.93500,\"Rynek, Kraków\"");
    f.mini->AddNew();
    ASSERT_EQ(f.poi.grid()->RowCount(), 4);
    EXPECT_EQ(f.poi.grid()->GetCell(1, 3), "1993500");
    EXPECT_EQ(f.poi.grid()->GetCell(2, 3), "5006200");
    EXPECT_EQ(f.poi.grid()->GetCell(3, 3), QString::fromUtf8("Rynek, Kraków"));

    f.poi.Saved(TOV2::AllBits);
    f.poi.grid()->SetCurrentCell(1, 2);
    f.mini->Write(1, "49.5,20.25,\" spaced \"");
    f.mini->Update();
    EXPECT_EQ(f.poi.grid()->GetCell(1, 2), "2025000");
    EXPECT_EQ(f.poi.grid()->GetCell(2, 2), "4950000");
    EXPECT_EQ(f.poi.grid()->GetCellFlags(1, 2) & RBFlags::RowAdded, RBFlags::RowAdded);
    EXPECT_EQ(f.poi.DirtyMask, TOV2::AllBits);

    // An empty label adds nothing.
    f.mini->Write(1, "");
    f.mini->AddNew();
    EXPECT_EQ(f.poi.grid()->RowCount(), 4);
}

TEST(MiniMap, AClickOnTheMapReportsThePointWithItsAddress)
{
    Fixture f;
    f.web.answers["/reverse"].body = "{\"display_name\":\"Sukiennice \\\"Hall\\\", Krak\\u00f3w\"}";
    ASSERT_TRUE(waitFor([&] { return f.mini->MapDelay == -1; }));
    js(f.mini->view(), "KX.clickAt(50.0617, 19.9373)");
    ASSERT_TRUE(waitFor([&] { return f.mini->LastMapPoint().startsWith("50.061700,19.937300,"); }));
    EXPECT_EQ(f.mini->LastMapPoint(), QString::fromUtf8("50.061700,19.937300,\"Sukiennice Hall, Kraków\""));
    // No address known: "?".
    f.web.answers["/reverse"].body = "{\"error\":\"Unable to geocode\"}";
    js(f.mini->view(), "KX.clickAt(10, 20)");
    ASSERT_TRUE(waitFor([&] { return f.mini->LastMapPoint().startsWith("10.000000,"); }));
    EXPECT_EQ(f.mini->LastMapPoint(), "10.000000,20.000000,?");
}

TEST(MiniMap, OfflineShrinksToAPixelAndComesBack)
{
    Fixture f;
    ASSERT_TRUE(waitFor([&] { return f.mini->MapDelay == -1; }));
    f.online = false;
    ASSERT_TRUE(waitFor([&] { return f.mini->LastMapPoint() == "OffLine"; }));
    EXPECT_TRUE(waitFor([&] { return f.panelWidth() <= 1; })) << f.panelWidth();
    EXPECT_FALSE(f.mini->WB_SetMarker("1", "2"));
    f.online = true;
    ASSERT_TRUE(waitFor([&] { return f.panelWidth() == 300; }));
}

TEST(MiniMap, SearchResultsSetTheMarkerWithTheirAddress)
{
    Fixture f;
    ASSERT_TRUE(waitFor([&] { return f.mini->MapDelay == -1; }));
    QWebEngineView &view = *f.mini->view();
    EXPECT_EQ(js(view, "KX.mapTypes()").toStringList(), QStringList({"Normal", "Satellite", "Hybrid", "Terrain"}));
    EXPECT_EQ(js(view, "KX.overview()").toInt(), 0); // five levels out of zoom 5

    f.web.answers["/search"].body =
        R"([{"lat":"49.2992","lon":"19.9496","display_name":"Zakopane <b>\"Krup\u00f3wki\"</b>"},{"lat":"x","lon":"1"}])";
    f.web.answers["/reverse"].body = R"({"display_name":"Krup\u00f3wki 1, Zakopane"})";
    js(view, "KX.search('Krupówki')");
    ASSERT_TRUE(waitFor([&] { return js(view, "KX.results().length").toInt() == 1; }));
    EXPECT_TRUE(f.web.requestsTo("/search")[0].head.contains("q=Krup%C3%B3wki"));
    EXPECT_TRUE(js(view, "KX.openResult(0)").toBool());
    const QString bubble = js(view, "KX.popupText()").toString();
    EXPECT_EQ(bubble, QString::fromUtf8("Zakopane <b>\"Krupówki\"</b>[ SetMarkerHere ]"));
    EXPECT_TRUE(js(view, "KX.clickLink('SetMarkerHere')").toBool());
    const QVariantList marker = js(view, "KX.marker()").toList();
    ASSERT_EQ(marker.size(), 2);
    EXPECT_DOUBLE_EQ(marker[0].toDouble(), 49.2992);
    EXPECT_DOUBLE_EQ(marker[1].toDouble(), 19.9496);
    ASSERT_TRUE(waitFor([&] { return f.mini->LastMapPoint().startsWith("49.299200,"); }));
    EXPECT_EQ(f.mini->LastMapPoint(), QString::fromUtf8("49.299200,19.949600,\"Krupówki 1, Zakopane\""));
    // The search and the geocoder share one request a second.
    const auto search = f.web.requestsTo("/search"), reverse = f.web.requestsTo("/reverse");
    ASSERT_EQ(reverse.size(), 1);
    EXPECT_GE(reverse[0].at - search[0].at, 950);
}

TEST(MiniMap, ThePageAsksNothing)
{
    Fixture f;
    ASSERT_TRUE(waitFor([&] { return f.mini->MapDelay == -1; }));
    bool asked = false;
    onNextModal([&](QWidget *w) {
        asked = true;
        if (auto *box = qobject_cast<QMessageBox *>(w))
            box->accept();
    });
    EXPECT_EQ(js(f.mini->view(), "alert('a'); [confirm('b'), prompt('c', 'd')]").toList(), QVariantList({false, QVariant()}));
    EXPECT_FALSE(asked);
    EXPECT_TRUE(f.mini->view()->page()->isAudioMuted());
}
