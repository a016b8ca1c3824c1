// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's "GoogleAPI" command with the real map window.
#include "app/MainForm.h"
#include "app/SettingsDialog.h"
#include "map/MapPage.h"
#include "platform/Settings.h"
#include "map/GMaps.h"
#include "poi/Ov2Editor.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"
#include "tests/map/PageScript.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QMenu>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Window {
    TempFolder tmp;
    std::unique_ptr<TMainForm> form;
    Window()
    {
        TMainForm::Options o;
        o.scanMounts = false;
        o.updateCheck = false;
        form = std::make_unique<TMainForm>(o);
        form->settings().WriteString("GoogleAPI", "TileMap", "http://127.0.0.1:9/{z}/{x}/{y}.png");
        form->settings().WriteString("GoogleAPI", "InitialView", "");
        form->settings().WriteString("GoogleAPI", "Home", "");
        form->resize(1000, 700);
        form->show();
        QApplication::processEvents();
    }
    ~Window() { form->mdiArea()->closeAllSubWindows(); }
    TGMaps *map() const
    {
        for (QMdiSubWindow *s : form->mdiArea()->subWindowList())
            if (auto *m = qobject_cast<TGMaps *>(s->widget()))
                return m;
        return nullptr;
    }
    int maps() const
    {
        int n = 0;
        for (QMdiSubWindow *s : form->mdiArea()->subWindowList())
            n += qobject_cast<TGMaps *>(s->widget()) != nullptr;
        return n;
    }
};

} // namespace

TEST(MapCommand, WithoutAnEditorTheStoredViewAndHomeInOneMapWindow)
{
    Window w;
    w.form->settings().WriteString("GoogleAPI", "InitialView", "49.0,20.0,49.1,20.2");
    w.form->settings().WriteString("GoogleAPI", "Home", "49.05,20.1,\"Dom\"");
    QAction *command = w.form->commandAction(SharedCommand::GoogleAPI);
    ASSERT_TRUE(command);
    w.form->updateCommands();
    EXPECT_TRUE(command->isEnabled());
    command->trigger();
    TGMaps *map = w.map();
    ASSERT_TRUE(map);
    ASSERT_TRUE(map->WBWait());
    EXPECT_TRUE(qobject_cast<QMdiSubWindow *>(map->parentWidget())->isMaximized());
    EXPECT_EQ(js(*map, "KX.home().name").toString(), "Dom");
    const QVariantList v = js(*map, "KX.view()").toList();
    ASSERT_EQ(v.size(), 4);
    EXPECT_LE(v[0].toDouble(), 49.0);
    EXPECT_GT(v[0].toDouble(), 48.5);

    // With the map on top the command is off; carried out anyway it makes no second map.
    w.form->updateCommands();
    EXPECT_FALSE(command->isEnabled());
    w.form->GoogleAPIAction();
    EXPECT_EQ(w.maps(), 1);
}

TEST(MapCommand, ThePoiEditorOnTopSendsItsList)
{
    Window w;
    auto *poi = new TOV2(*w.form);
    poi->New(w.tmp.path());
    poi->AddPoi("19.935", "50.062", "Rynek");
    poi->AddPoi("19.94", "50.07", "Wawel");
    w.form->addEditorWindow(poi);
    w.form->GoogleAPIAction();
    TGMaps *map = w.map();
    ASSERT_TRUE(map);
    ASSERT_TRUE(map->WBWait());
    EXPECT_EQ(js(*map, "KX.poiCount()").toInt(), 2);
    EXPECT_EQ(w.form->mdiArea()->activeSubWindow()->widget(), map);
    poi->Saved(TOV2::AllBits); // closes without a question
}

TEST(MapCommand, TheSettingsPageHoldsTheMapsServices)
{
    TempFolder tmp;
    KorvixSettings settings(tmp.file("k.ini"));
    settings.WriteString("GoogleAPI", "Driving", "http://127.0.0.1:5000/route/{lng1},{lat1};{lng2},{lat2}");
    TSettings dialog(settings, tmp.file("korvix"));
    dialog.load();
    ASSERT_TRUE(dialog.serviceEdit("TileMap"));
    EXPECT_EQ(dialog.serviceEdit("Driving")->text(), "http://127.0.0.1:5000/route/{lng1},{lat1};{lng2},{lat2}");
    // Empty: the built-in service, shown greyed.
    EXPECT_EQ(dialog.serviceEdit("TileMap")->text(), "");
    EXPECT_EQ(dialog.serviceEdit("TileMap")->placeholderText(), "https://tile.openstreetmap.org/{z}/{x}/{y}.png");
    dialog.serviceEdit("Search")->setText("http://127.0.0.1:5000/search?q={query}");
    EXPECT_EQ(settings.ReadString("GoogleAPI", "Search"), "http://127.0.0.1:5000/search?q={query}");
    EXPECT_EQ(MapPage::readConfig(settings).services.search, "http://127.0.0.1:5000/search?q={query}");
}

TEST(MapCommand, FileOpenEndsWithTheMapCommandAndWebPagesShowInTheMapWindow)
{
    Window w;
    QAction *command = w.form->commandAction(SharedCommand::GoogleAPI);
    ASSERT_TRUE(command);
    // The entry is the command itself, so it follows the command's enabling rule; the
    // editors' entries come before it.
    ASSERT_EQ(menuEntry(*w.form, "Open", "GoogleAPI"), command);
    w.form->addFileOpen("POI", "TT Overlay (*.ov2)", [](const QString &) {});
    auto *open = qobject_cast<QMenu *>(menuEntry(*w.form, "File", "Open")->menu());
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->menuAction()->isVisible());
    QStringList entries;
    for (QAction *a : open->actions())
        entries << a->text();
    EXPECT_EQ(entries, QStringList({"POI", "GoogleAPI"}));
    w.form->updateCommands();
    EXPECT_TRUE(command->isEnabled());

    // A site of the Extra menu shows in the map window with scroll bars and the
    // browser's own context menu.
    QAction *site = menuEntry(*w.form, "WebPages", "www.meteo.pl");
    ASSERT_TRUE(site);
    site->trigger();
    TGMaps *map = w.map();
    ASSERT_TRUE(map);
    map->isOnline = [] { return true; };
    EXPECT_EQ(map->page()->requestedUrl(), QUrl("http://www.meteo.pl/"));
    EXPECT_EQ(map->pageKind(), 0);
    EXPECT_TRUE(map->page()->settings()->testAttribute(QWebEngineSettings::ShowScrollBars));
    EXPECT_EQ(map->contextMenuPolicy(), Qt::DefaultContextMenu);
    w.form->updateCommands();
    EXPECT_FALSE(command->isEnabled());

    // From an editor on top the command writes the map page again and shows its points.
    auto *poi = new TOV2(*w.form);
    poi->New(w.tmp.path());
    poi->AddPoi("19.935", "50.062", "Rynek");
    w.form->addEditorWindow(poi);
    w.form->updateCommands();
    ASSERT_TRUE(command->isEnabled());
    command->trigger();
    EXPECT_EQ(w.maps(), 1);
    ASSERT_TRUE(map->WBWait());
    EXPECT_EQ(map->pageKind(), 1);
    EXPECT_EQ(map->url(), QUrl::fromLocalFile(map->pagePath()));
    EXPECT_FALSE(map->page()->settings()->testAttribute(QWebEngineSettings::ShowScrollBars));
    EXPECT_EQ(js(*map, "KX.poiCount()").toInt(), 1);
    poi->Saved(TOV2::AllBits);
}
