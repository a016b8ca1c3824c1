// SPDX-License-Identifier: GPL-3.0-or-later
// The map window's Tools menu and the points and routes the page hands back.
#include "grid/RBGrids.h"
#include "grid/RBItnGrid.h"
#include "itn/Itn.h"
#include "map/GMaps.h"
#include "poi/Ov2Editor.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"
#include "tests/map/MapWindow.h"
#include "tests/map/PageScript.h"

#include <QAction>
#include <QDialog>
#include <QEventLoop>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEnginePage>

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Keeps the editor windows the map opens, as the main window would.
class WindowShell : public QuietShell {
public:
    using QuietShell::QuietShell;
    void addEditorWindow(QWidget *editor) override { windows.append(editor); }
    QList<QWidget *> windows;
};

struct Fixture {
    TempFolder tmp;
    WindowShell shell{tmp.file("k.ini")};
    std::unique_ptr<TGMaps> map;
    Fixture()
    {
        shell.settings().WriteString("GoogleAPI", "TileMap", "http://127.0.0.1:9/{z}/{x}/{y}.png");
        map = openMapWindow(shell);
        map->openEditors = [this] { return shell.windows; };
        map->GoogleAPI();
        EXPECT_TRUE(map->WBWait());
    }
    ~Fixture()
    {
        for (QWidget *w : shell.windows) {
            if (auto *poi = qobject_cast<TOV2 *>(w))
                poi->Saved(TOV2::AllBits);
            if (auto *itn = qobject_cast<TItnEdit *>(w))
                itn->Cap(false);
            delete w;
        }
    }
    QVariant page(const QString &s) { return js(*map, s); }
};

} // namespace

TEST(MapTools, RouteSwitchesSaveViewAndShowWithNothingToShow)
{
    Fixture f;
    f.map->routeAction("StartAtHome")->setChecked(true);
    f.map->routeAction("Walking")->setChecked(true);
    f.map->routeAction("AvoidHigways")->setChecked(true);
    EXPECT_EQ(f.page("[startHome, walking, avoidHighways].join()").toString(), "true,true,true");
    f.map->routeAction("Walking")->setChecked(false);
    EXPECT_EQ(f.page("walking").toBool(), false);

    f.page("WB_WP(50, 19, ''); WB_WP(51, 20, '');");
    f.map->routeAction("Remove")->trigger();
    EXPECT_EQ(f.page("KX.route().length").toInt(), 0);

    QString alert;
    onNextModal([&](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            alert = box->text();
            box->accept();
        }
    });
    f.map->routeAction("Show")->trigger();
    EXPECT_TRUE(waitFor([&] { return !alert.isEmpty(); }));
    EXPECT_EQ(alert, "Nothing to show");

    f.page("WB_Bounds(50, 19, 50.1, 19.2);");
    f.map->editorMenu()->actions().at(0)->trigger(); // Save View
    EXPECT_TRUE(waitFor([&] { return !f.shell.settings().ReadString("GoogleAPI", "InitialView").isEmpty(); }));
}

TEST(MapTools, ExtraChecksFollowThePagesReport)
{
    Fixture f;
    QSignalSpy reports(f.map.get(), &TGMaps::extraChecked);
    QAction *pano = f.map->extraAction(0);
    f.page("doPano(true)"); // no source behind the layer: the page says False
    ASSERT_TRUE(waitFor([&] { return reports.size() == 1; }));
    EXPECT_FALSE(pano->isChecked());
    f.page("external.Write(104, 'True')");
    ASSERT_TRUE(waitFor([&] { return reports.size() == 2; }));
    EXPECT_TRUE(f.map->extraAction(4)->isChecked());
    f.page("external.Write(104, 'False'); external.Write(99, 'True');");
    ASSERT_TRUE(waitFor([&] { return reports.size() == 3; }));
    EXPECT_FALSE(f.map->extraAction(4)->isChecked());
}

TEST(MapTools, ExtraLayersWithoutASourceAreOffAndNameTheSettingToFill)
{
    Fixture f;
    const char *keys[] = {"Panoramio", "Wikipedia", "Traffic", "YouTube", "WebCam"};
    for (int i : {0, 2, 3, 4}) {
        EXPECT_FALSE(f.map->extraAction(i)->isEnabled()) << keys[i];
        EXPECT_EQ(f.map->extraAction(i)->toolTip(),
                  QStringLiteral("No source is set for this layer: fill in the setting GoogleAPI, %1").arg(keys[i]));
    }
    // Wikipedia has our default source.
    EXPECT_TRUE(f.map->extraAction(1)->isEnabled());
    EXPECT_FALSE(f.map->extraAction(1)->toolTip().contains("No source"));

    // A disabled entry sends nothing to the page.
    QSignalSpy reports(f.map.get(), &TGMaps::extraChecked);
    f.map->extraAction(2)->trigger();
    QTest::qWait(200);
    EXPECT_EQ(reports.size(), 0);

    // A source set meanwhile turns the entry on the next time the menu opens.
    f.shell.settings().WriteString("GoogleAPI", "Traffic", "http://127.0.0.1:9/traffic/{z}/{x}/{y}.png");
    emit f.map->editorMenu()->aboutToShow();
    EXPECT_TRUE(f.map->extraAction(2)->isEnabled());
    EXPECT_FALSE(f.map->extraAction(2)->toolTip().contains("No source"));
    EXPECT_FALSE(f.map->extraAction(0)->isEnabled());
}

TEST(MapTools, PointsFromThePageGoToAPoiEditor)
{
    Fixture f;
    f.page("external.Write(3, '50.250000,19.750000,\"Rynek, Krak\\u00f3w\"')");
    ASSERT_TRUE(waitFor([&] { return f.shell.windows.size() == 1; }));
    auto *poi = qobject_cast<TOV2 *>(f.shell.windows.front());
    ASSERT_TRUE(poi);
    EXPECT_EQ(poi->grid()->GetCell(1, 1), "1975000");
    EXPECT_EQ(poi->grid()->GetCell(2, 1), "5025000");
    EXPECT_EQ(poi->grid()->GetCell(3, 1), QString::fromUtf8("Rynek, Kraków"));
    // The one POI editor open takes the next point without a question.
    f.page("external.Write(3, '50.3,19.8,\"b\"'); external.Write(3, 'x,19.8,\"not a number\"');");
    ASSERT_TRUE(waitFor([&] { return poi->grid()->RowCount() == 3; }));
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(poi->grid()->RowCount(), 3);
    EXPECT_EQ(f.shell.windows.size(), 1);
}

TEST(MapTools, ARouteGoesToTheItineraryChosenAmongSeveral)
{
    Fixture f;
    for (const char *name : {"a.itn", "b.itn", "c.itn"}) {
        auto *itn = new TItnEdit(f.shell);
        itn->New(QString());
        itn->setWindowTitle(name);
        f.shell.windows.append(itn);
    }
    // A count that does not match the waypoints is ignored: no question, no point.
    f.page("external.Write(4, '3|50.1,19.9,a|50.2,19.8,b')");
    QStringList offered;
    onNextModal([&](QWidget *w) {
        auto *dlg = qobject_cast<QDialog *>(w);
        auto *list = w->findChild<QListWidget *>();
        if (!dlg || !list)
            return;
        EXPECT_EQ(dlg->windowTitle(), "Save As...");
        for (int i = 0; i < list->count(); ++i)
            offered << list->item(i)->text();
        EXPECT_EQ(list->currentRow(), 0);
        list->setCurrentRow(1);
        dlg->accept();
    });
    f.page("external.Write(4, '2|50.1,19.9,Rynek 1, Krak\\u00f3w|50.2,19.8,')");
    auto *second = qobject_cast<TItnEdit *>(f.shell.windows[1]);
    ASSERT_TRUE(waitFor([&] { return second->ItnGrid()->RowCount() >= 3; }));
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(second->ItnGrid()->RowCount(), 3); // the header and the two waypoints
    EXPECT_EQ(offered, QStringList({"a.itn", "b.itn", "c.itn"}));
    EXPECT_EQ(second->ItnGrid()->GetCell(1, 1), "1990000");
    EXPECT_EQ(second->ItnGrid()->GetCell(2, 1), "5010000");
    EXPECT_EQ(second->ItnGrid()->GetCell(3, 1), QString::fromUtf8("Rynek 1, Kraków"));
    EXPECT_EQ(second->ItnGrid()->GetCell(2, 2), "5020000");
    EXPECT_EQ(qobject_cast<TItnEdit *>(f.shell.windows[0])->ItnGrid()->GetCell(3, 1), "");
    EXPECT_EQ(f.shell.windows.size(), 3);
}
