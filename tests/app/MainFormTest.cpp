// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BaseIcons.h"
#include "core/Settings.h"
#include "app/ContentTreeModel.h"
#include "app/Language.h"
#include "app/EditorRegistry.h"
#include "app/MainForm.h"
#include "app/SingleInstance.h"
#include "itn/Itn.h"
#include "map/GMaps.h"
#include "poi/Ov2Editor.h"
#include "app/SampleDevice.h"
#include "grid/RBGrids.h"
#include "platform/Editor.h"
#include "platform/Folders.h"
#include "platform/Question.h"
#include "tests/support/FifoGuard.h"
#include "tests/app/MainFormFixtures.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDate>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QHeaderView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QTranslator>
#include <QTreeView>


#include <gtest/gtest.h>

namespace {

QStringList menuTexts(const TMainForm &form)
{
    QStringList out;
    for (QAction *a : form.menuBar()->actions())
        out << a->text();
    return out;
}

// The main window on a fresh sample device, with every editor attached.
struct Doc : QWidget, IEditor, ISaveAs, IListCommands {
    EditorKind kind;
    bool modified = false;
    int saves = 0;
    explicit Doc(EditorKind k) : kind(k) {}
    EditorKind editorKind() const override { return kind; }
    bool isModified() const override { return modified; }
    int gridRowCount() const override { return 3; }
    void Save() override { ++saves; }
    void SaveAs() override {}
};

// What the window system sends for a double-click: press, release, press, double-click,
// release (QTest::mouseDClick leaves out the second press, so a view ignores it).
void doubleClick(QTreeView *view, const QModelIndex &index)
{
    const QPoint at = view->visualRect(index).center();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(at), view->viewport()->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &twice);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

TEST(MainForm, ShowsTheSampleDeviceAndTakesAScreenshot)
{
    TempFolder tmp;
    ASSERT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
    TMainForm form(folderOnly(tmp.file("dev")));
    EXPECT_EQ(form.windowTitle(), "Korvix");
    EXPECT_FALSE(form.treePanelVisible());
    form.resize(1024, 700);
    form.show();
    QApplication::processEvents();
    ASSERT_EQ(form.treeModel().tree().deviceCount(), 1);
    EXPECT_TRUE(form.treePanelVisible());
    TreeNode *device = form.treeModel().tree().device(0);
    EXPECT_EQ(device->text(), QDir(tmp.file("dev")).absolutePath() + "|Korvix Sample");

    form.treeView()->expandAll();
    form.TTClick(device);
    EXPECT_EQ(form.statusText(), "DeviceName: Korvix Sample; HWVersion: HW 2.1; SerialNumber: KX0000000001; "
                                 "DeviceID: 0123456789ABCDEF; AppVersion: 9.510;");
    QApplication::processEvents();
    const QImage shot = form.grab().toImage();
    shot.save(QStringLiteral(KORVIX_BINARY_DIR) + "/main-window.png");
    // The tree panel is drawn: its column holds more than one colour.
    QSet<QRgb> colours;
    const QRect tree = form.treeView()->geometry();
    for (int y = tree.top() + 60; y < tree.top() + 160; ++y)
        for (int x = 10; x < 200; x += 3)
            colours.insert(shot.pixel(form.treeView()->mapTo(&form, QPoint(x, y - tree.top()))));
    EXPECT_GT(colours.size(), 3);
}

TEST(MainForm, ProgressServicesFollowTheBarRules)
{
    TMainForm form(TMainForm::Options{QString(), false, {}, false, false, {}});
    form.ShowProgress("x", 0, 10, 5);
    EXPECT_EQ(form.statusText(), "x");
    EXPECT_EQ(form.progress().percent(), 50);
    form.StepProgress();
    EXPECT_EQ(form.progress().position(), 6);
    form.SetStatus("");
    EXPECT_EQ(form.statusText(), "");
    EXPECT_EQ(form.progress().percent(), 0);
    form.ShowProgress("y", 5, 5, 5); // the maximum equal to the new minimum is ignored
    EXPECT_EQ(form.progress().min(), 5);
    EXPECT_EQ(form.progress().max(), 10);
    EXPECT_EQ(form.progress().percent(), 0);
}

TEST(MainForm, CommandsWithoutADeviceSayNoTTPathAndTreeCommandsNeedTheirEditor)
{
    TempFolder tmp;
    ASSERT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
    TMainForm form(folderOnly(tmp.file("dev")));
    form.show();
    QApplication::processEvents();
    TreeNode *device = form.treeModel().tree().device(0);
    TreeNode *itn = device->findChild("Itinerary");
    form.selectNode(itn);
    // No itinerary editor is built in: neither "New" nor "Open Curent Itn" is offered.
    EXPECT_FALSE(form.popupItems().newItem);
    EXPECT_FALSE(form.popupItems().openCurrentItn);
    int opened = 0;
    form.registerOpener(TreeActions::OpenKind::Itinerary, [&](const TreeActions::OpenAction &a, TreeNode *) {
        ++opened;
        EXPECT_TRUE(a.path.endsWith("/Itn/temporary.iti")) << a.path.toStdString();
    });
    form.registerCreator(TreeActions::NewKind::Itinerary, [&](const TreeActions::NewAction &, TreeNode *) { ++opened; });
    EXPECT_TRUE(form.popupItems().newItem);
    EXPECT_TRUE(form.popupItems().openCurrentItn);
    form.OpenCurentItn1Click();
    form.New1Click();
    EXPECT_EQ(opened, 2);

    form.UpdateTreeView(QDir(tmp.file("dev")).absolutePath(), 8);
    EXPECT_EQ(form.treeModel().tree().deviceCount(), 0);
    EXPECT_TRUE(form.treePanelVisible()); // stays visible when all devices are gone
    bool raised = false;
    try {
        form.GetSelTTPath();
    } catch (const std::exception &) {
        raised = true;
    }
    EXPECT_TRUE(raised);
}

TEST(MainForm, SharedCommandsGoToTheEditorWindows)
{
    TMainForm form(TMainForm::Options{QString(), false, {}, false, false, {}});
    form.show();
    auto *poi = new Doc(EditorKind::Poi);
    form.addEditorWindow(poi);
    QApplication::processEvents();
    form.updateCommands();
    EXPECT_FALSE(form.commandAction(SharedCommand::Save)->isEnabled());
    EXPECT_TRUE(form.commandAction(SharedCommand::Duplicates)->isEnabled());
    EXPECT_TRUE(form.commandAction(SharedCommand::Select)->isEnabled());
    poi->modified = true;
    form.updateCommands();
    ASSERT_TRUE(form.commandAction(SharedCommand::Save)->isEnabled());
    form.commandAction(SharedCommand::Save)->trigger();
    EXPECT_EQ(poi->saves, 1);

    auto *sound = new Doc(EditorKind::Sound);
    form.addEditorWindow(sound);
    QApplication::processEvents();
    form.updateCommands();
    EXPECT_EQ(form.topEditor(), static_cast<IEditor *>(sound));
    EXPECT_FALSE(form.commandAction(SharedCommand::Select)->isEnabled());
    EXPECT_FALSE(form.commandAction(SharedCommand::Search)->isEnabled());
    form.mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    form.updateCommands();
    EXPECT_FALSE(form.commandAction(SharedCommand::SaveAs)->isEnabled());
}

TEST(MainForm, PicturesOpenFromTheTreeWithTheirMenuInTheMenuBar)
{
    SampleWindow sample;
    TMainForm &form = *sample.form;
    TreeNode *images = form.treeModel().tree().device(0)->findChild("Images");
    ASSERT_TRUE(images);
    ASSERT_EQ(images->childCount(), 2); // the sample device has both pictures
    form.selectNode(images->child(0));
    EXPECT_TRUE(form.popupItems().open);
    form.TTOpen(images->child(0));
    QApplication::processEvents();
    ASSERT_EQ(form.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(form.activeEditor()->editorKind(), EditorKind::Image);
    QStringList menus;
    for (QAction *a : form.menuBar()->actions())
        menus << a->text();
    EXPECT_TRUE(menuTexts(form).contains(form.activeEditor()->editorMenu()->title())) << menuTexts(form).join(",").toStdString();
    form.mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    EXPECT_EQ(menuTexts(form).size(), 5) << menuTexts(form).join(",").toStdString(); // File, Edit, Window, About..., Extra
}

TEST(MainForm, ItinerariesOpenFromTheTreeAndTheCurrentOne)
{
    SampleWindow sample;
    TMainForm &form = *sample.form;
    TreeNode *itn = form.treeModel().tree().device(0)->findChild("Itinerary");
    ASSERT_GE(itn->childCount(), 3);
    form.selectNode(itn);
    EXPECT_TRUE(form.popupItems().newItem);
    EXPECT_TRUE(form.popupItems().openCurrentItn);
    form.TTOpen(itn->child(0));
    form.OpenCurentItn1Click();
    form.New1Click();
    QApplication::processEvents();
    ASSERT_EQ(form.mdiArea()->subWindowList().size(), 3);
    for (QMdiSubWindow *w : form.mdiArea()->subWindowList())
        EXPECT_EQ(dynamic_cast<IEditor *>(w->widget())->editorKind(), EditorKind::Itinerary);
    form.updateCommands();
    EXPECT_TRUE(form.commandAction(SharedCommand::Search)->isEnabled());
    form.mdiArea()->closeAllSubWindows();
}

TEST(MainForm, PolishTextsComeFromTheCompanionFile)
{
    QTranslator polish;
    ASSERT_TRUE(polish.load(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix.PLK")));
    QApplication::installTranslator(&polish);
    {
        TMainForm form(TMainForm::Options{QString(), false, {}, false, false, {}});
        form.resize(900, 500);
        form.show();
        QApplication::processEvents();
        EXPECT_TRUE(menuTexts(form).contains("&Plik")) << menuTexts(form).join(",").toStdString();
        EXPECT_TRUE(menuTexts(form).contains("&Okno"));
        form.grab().save(QStringLiteral(KORVIX_BINARY_DIR) + "/main-window-pl.png");
    }
    QApplication::removeTranslator(&polish);
    TMainForm english(TMainForm::Options{QString(), false, {}, false, false, {}});
    EXPECT_EQ(english.menuBar()->actions().first()->text(), "&File");
}

TEST(MainForm, PoiFilesOpenFromTheTreeAndNewOnesFromAMapFolder)
{
    SampleWindow sample;
    TMainForm &form = *sample.form;
    TreeNode *map = form.treeModel().tree().device(0)->findChild("POI")->child(0);
    ASSERT_GE(map->childCount(), 4);
    form.selectNode(map->child(0));
    EXPECT_TRUE(form.popupItems().open);
    EXPECT_TRUE(form.popupItems().del);
    form.TTOpen(map->child(0));
    form.selectNode(map);
    EXPECT_TRUE(form.popupItems().newItem);
    form.New1Click();
    QApplication::processEvents();
    ASSERT_EQ(form.mdiArea()->subWindowList().size(), 2);
    for (QMdiSubWindow *w : form.mdiArea()->subWindowList()) {
        auto *poi = dynamic_cast<TOV2 *>(w->widget());
        ASSERT_TRUE(poi);
        poi->dialogs.ask = [](QWidget *, const QString &, const QString &, QMessageBox::StandardButtons) { return QMessageBox::No; };
    }
    // The file opened as it is on the device; the new list is not saved yet.
    EXPECT_FALSE(dynamic_cast<IEditor *>(form.mdiArea()->subWindowList()[0]->widget())->isModified());
    form.updateCommands();
    EXPECT_TRUE(form.commandAction(SharedCommand::Select)->isEnabled());
    form.mdiArea()->closeAllSubWindows();
}

TEST(MainForm, TreeSwallowsCharacterKeysAndOpensOnEnter)
{
    SampleWindow sample;
    TMainForm &form = *sample.form;
    TreeNode *itn = form.treeModel().tree().device(0)->findChild("Itinerary");
    form.selectNode(itn->child(0));
    form.treeView()->setFocus();
    QTest::keyClick(form.treeView(), Qt::Key_K); // no jump to "Korvix…" or anything else
    EXPECT_EQ(form.selectedNode(), itn->child(0));
    QTest::keyClick(form.treeView(), Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(form.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(form.activeEditor()->editorKind(), EditorKind::Itinerary);
    form.mdiArea()->closeAllSubWindows();
}

TEST(MainForm, DeleteAsksFirstAndSaysWhereTheSafetyCopyWent)
{
    SampleWindow sample;
    TMainForm &form = *sample.form;
    QStringList asked;
    bool answer = false;
    form.confirmDelete = [&](const QString &question) {
        asked << question;
        return answer;
    };
    TreeNode *map = form.treeModel().tree().device(0)->findChild("POI")->child(0);
    TreeNode *fuel = map->findChild("Fuel.ov2");
    ASSERT_TRUE(fuel);
    form.selectNode(fuel);
    form.Delete1Click(); // "No" keeps everything
    EXPECT_EQ(asked, QStringList({"Move Fuel.ov2 and its companions to the safety folder?"}));
    EXPECT_EQ(map->findChild("Fuel.ov2"), fuel);
    for (const char *name : {"Fuel.ov2", "Fuel.bmp", "Fuel_X2.bmp"})
        EXPECT_TRUE(QFile::exists(sample.tmp.file("dev/Sample_Map/") + name)) << name;

    answer = true;
    form.Delete1Click();
    EXPECT_EQ(asked.size(), 2);
    EXPECT_FALSE(map->findChild("Fuel.ov2"));
    for (const char *name : {"Fuel.ov2", "Fuel.bmp", "Fuel_X2.bmp"})
        EXPECT_FALSE(QFile::exists(sample.tmp.file("dev/Sample_Map/") + name)) << name;
    const QString today = QDate::currentDate().toString("yyyyMMdd");
    const QString poiCopies = Folders::UserDataFolder() + "BackUp/Delete_" + today + "/Sample_Map";
    EXPECT_EQ(form.statusText(), "Fuel.ov2 moved to the safety folder " + poiCopies);
    EXPECT_TRUE(QFile::exists(poiCopies + "/Fuel_X2.bmp"));

    // A sound has no companions, and the question does not claim any.
    TreeNode *sounds = form.treeModel().tree().device(0)->findChild("Sounds");
    const int before = sounds->childCount();
    const QString name = sounds->child(0)->text();
    form.selectNode(sounds->child(0));
    form.Delete1Click();
    EXPECT_EQ(asked.last(), "Move " + name + " to the safety folder?");
    EXPECT_EQ(sounds->childCount(), before - 1);
    EXPECT_FALSE(QFile::exists(sample.tmp.file("dev/sounds/" + name)));
    const QString soundCopies = Folders::UserDataFolder() + "BackUp/Delete_" + today + "/Sounds";
    EXPECT_TRUE(QFile::exists(soundCopies + "/" + name)) << soundCopies.toStdString();
    EXPECT_EQ(form.statusText(), name + " moved to the safety folder " + soundCopies);
}

TEST(MainForm, DoubleClickOpensLikeEnterAndASaveKeepsTheTreeAsItWas)
{
    SampleWindow sample;
    TMainForm &form = *sample.form;
    QTreeView *view = form.treeView();
    ContentTreeModel &model = form.treeModel();
    TreeNode *device = model.tree().device(0);
    TreeNode *itn = device->findChild("Itinerary");
    TreeNode *poi = device->findChild("POI");
    view->expand(model.indexOf(itn));
    view->expand(model.indexOf(poi));
    QApplication::processEvents();

    // A category opens and closes as before; nothing else happens.
    doubleClick(view, model.indexOf(poi));
    EXPECT_FALSE(view->isExpanded(model.indexOf(poi)));
    EXPECT_TRUE(form.mdiArea()->subWindowList().isEmpty());
    view->expand(model.indexOf(poi));
    TreeNode *map = poi->child(0);
    view->expand(model.indexOf(map));
    view->expand(model.indexOf(map->findChild("Fuel.ov2")));
    QApplication::processEvents();

    TreeNode *krakow = itn->findChild("Krakow.itn");
    ASSERT_TRUE(krakow);
    doubleClick(view, model.indexOf(krakow));
    QApplication::processEvents();
    ASSERT_EQ(form.mdiArea()->subWindowList().size(), 1);
    ASSERT_EQ(form.activeEditor()->editorKind(), EditorKind::Itinerary);
    EXPECT_EQ(form.selectedNode(), krakow);

    form.activeEditor()->Save(); // the editor refreshes the device in the tree
    QApplication::processEvents();
    device = model.tree().device(0);
    itn = device->findChild("Itinerary");
    map = device->findChild("POI")->child(0);
    EXPECT_TRUE(view->isExpanded(model.indexOf(device)));
    EXPECT_TRUE(view->isExpanded(model.indexOf(itn)));
    EXPECT_TRUE(view->isExpanded(model.indexOf(map)));
    EXPECT_TRUE(view->isExpanded(model.indexOf(map->findChild("Fuel.ov2"))));
    EXPECT_FALSE(view->isExpanded(model.indexOf(map->findChild("Parking.ov2"))));
    ASSERT_TRUE(form.selectedNode());
    EXPECT_EQ(form.selectedNode(), itn->findChild("Krakow.itn"));
    form.mdiArea()->closeAllSubWindows();
}

TEST(MainForm, PictureThatIsAFifoOrAnEndlessDeviceGivesAPlainIcon)
{
    TempFolder tmp;
    tmp.write("dev/TTGO.BIF", "[TomTomGo]\nDeviceName=GO\n");
    tmp.write("dev/ttsystem");
    tmp.write("dev/Map/cline.dat");
    tmp.write("dev/Map/Fuel.ov2");
    tmp.write("dev/Map/Zero.ov2");
    ASSERT_TRUE(makeFifo(tmp.file("dev/Map/Fuel.bmp")));
    ASSERT_TRUE(QFile::link("/dev/zero", tmp.file("dev/Map/Zero.bmp")));
    FifoGuard guard({tmp.file("dev/Map/Fuel.bmp")});
    TMainForm form(folderOnly(tmp.file("dev")));
    form.show();
    QApplication::processEvents();
    guard.stop();
    EXPECT_FALSE(guard.hadToRelease()) << "the tree waited on a FIFO";
    ASSERT_EQ(form.treeModel().tree().deviceCount(), 1);
    TreeNode *map = form.treeModel().tree().device(0)->findChild("POI")->child(0);
    EXPECT_TRUE(map->findChild("Fuel.ov2") && map->findChild("Fuel.ov2")->findChild("Fuel.bmp"));
    EXPECT_TRUE(map->findChild("Zero.ov2"));
}


TEST(MainForm, ClosingAsksEveryEditorAndCancelInAnyKeepsTheProgramOpen)
{
    TMainForm form(noDevices());
    form.show();
    QStringList asked;
    QMessageBox::StandardButton first = QMessageBox::Cancel, second = QMessageBox::Cancel;
    QPointer<TOV2> a = changedPoiEditor(form, "a", asked, first);
    QPointer<TOV2> b = changedPoiEditor(form, "b", asked, second);
    QApplication::processEvents();

    EXPECT_FALSE(form.close());
    EXPECT_EQ(asked, QStringList{"a"}) << "after Cancel no more questions";
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.mdiArea()->subWindowList().size(), 2);

    // No throws a's changes away; Cancel in b still keeps the program and b.
    asked.clear();
    first = QMessageBox::No;
    EXPECT_FALSE(form.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(asked, (QStringList{"a", "b"}));
    EXPECT_TRUE(a.isNull());
    ASSERT_FALSE(b.isNull());
    EXPECT_TRUE(b->isModified());
    EXPECT_TRUE(form.isVisible());

    second = QMessageBox::No;
    EXPECT_TRUE(form.close());
}

TEST(MainForm, ProgressBarShowsOnlyWhileWorkRuns)
{
    TMainForm form(noDevices());
    form.show();
    QApplication::processEvents();
    auto *bar = form.statusBar()->findChild<QProgressBar *>();
    ASSERT_TRUE(bar);
    EXPECT_FALSE(bar->isVisible()) << "no 0 % bar when nothing runs";
    form.ShowProgress("Reading", 0, 10, 0);
    EXPECT_TRUE(bar->isVisible());
    form.SetProgress(5);
    EXPECT_TRUE(bar->isVisible());
    form.SetStatus("");
    EXPECT_FALSE(bar->isVisible());
    // A loop that names its step goes on; its closing message ends it.
    form.ShowProgress("Save POI file", 0, 10, 0);
    form.SetStatus("Writing [1,2,3,4]");
    form.SetProgress(7);
    EXPECT_TRUE(bar->isVisible());
    form.SetStatus("Can't read the icon Fuel.bmp");
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(form.statusText(), "Can't read the icon Fuel.bmp");
}

TEST(MainForm, FirstEditorFillsTheAreaLaterOnesOpenAtTheSizeTheirKindHadLast)
{
    TMainForm form(noDevices());
    form.settings().WriteString("Windows", "POISize", "");
    form.settings().WriteString("Windows", "ItnSize", "");
    form.resize(1280, 900);
    form.show();
    QApplication::processEvents();
    const QSize area = form.mdiArea()->viewport()->size();
    ASSERT_GE(area.width(), 900);
    ASSERT_GE(area.height(), 600);

    form.addEditorWindow(new Doc(EditorKind::Poi));
    QApplication::processEvents();
    QMdiSubWindow *first = form.mdiArea()->subWindowList().last();
    EXPECT_TRUE(first->isMaximized());

    // The second one neither fills the area nor opens tiny.
    form.addEditorWindow(new Doc(EditorKind::Poi));
    QApplication::processEvents();
    QMdiSubWindow *second = form.mdiArea()->subWindowList().last();
    EXPECT_FALSE(second->isMaximized());
    EXPECT_GE(second->width(), 700);
    EXPECT_GE(second->height(), 450);
    EXPECT_TRUE(first->isMaximized()) << "the first stays as it was";

    // The size it had when closed is the next one's size, for its kind only.
    second->resize(720, 460);
    second->close();
    QApplication::processEvents();
    EXPECT_EQ(Prefs::windows(form.settings()).editorSize("POI"), QSize(720, 460));
    form.addEditorWindow(new Doc(EditorKind::Poi));
    QApplication::processEvents();
    EXPECT_EQ(form.mdiArea()->subWindowList().last()->size(), QSize(720, 460));
    form.addEditorWindow(new Doc(EditorKind::Itinerary));
    QApplication::processEvents();
    QMdiSubWindow *itn = form.mdiArea()->subWindowList().last();
    EXPECT_GE(itn->width(), 500);
    EXPECT_GE(itn->height(), 400);
    EXPECT_NE(itn->size(), QSize(720, 460));
    // A maximised one says nothing about the wanted size.
    first->close();
    QApplication::processEvents();
    EXPECT_EQ(Prefs::windows(form.settings()).editorSize("POI"), QSize(720, 460));
    form.mdiArea()->closeAllSubWindows();
}

TEST(MainForm, TheTitleNamesTheActiveEditorNotTheFirstMaximisedOne)
{
    TMainForm form(noDevices());
    form.resize(1280, 900);
    form.show();
    auto open = [&form](const char *title) {
        auto *doc = new Doc(EditorKind::Poi);
        doc->setWindowTitle(QString::fromLatin1(title));
        form.addEditorWindow(doc);
        QApplication::processEvents();
        return form.mdiArea()->subWindowList().last();
    };
    QMdiSubWindow *fuel = open("/media/ann/DEV/Fuel.ov2");
    ASSERT_TRUE(fuel->isMaximized());
    EXPECT_EQ(form.windowTitle(), "Korvix - [/media/ann/DEV/Fuel.ov2]");

    QMdiSubWindow *trip = open("/media/ann/DEV/Trip.itn");
    ASSERT_FALSE(trip->isMaximized());
    EXPECT_EQ(form.windowTitle(), "Korvix - [/media/ann/DEV/Trip.itn]");
    trip->widget()->setWindowTitle("/media/ann/DEV/Trip.itn*");
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), "Korvix - [/media/ann/DEV/Trip.itn*]");
    // A change of the maximised one behind does not take the title back.
    fuel->widget()->setWindowTitle("/media/ann/DEV/Fuel.ov2*");
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), "Korvix - [/media/ann/DEV/Trip.itn*]");

    form.mdiArea()->setActiveSubWindow(fuel);
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), "Korvix - [/media/ann/DEV/Fuel.ov2*]");
    fuel->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), "Korvix - [/media/ann/DEV/Fuel.ov2*]");
    fuel->close();
    trip->close();
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), "Korvix");
}

namespace {
// An editor with a grid, as every list editor has.
struct GridDoc : Doc {
    TRBGrid *grid = new TRBGrid(this);
    explicit GridDoc(EditorKind k) : Doc(k)
    {
        grid->SetAutoSize(true);
        grid->SetCell(1, 1, QStringLiteral("a name"));
    }
};
} // namespace

namespace {
// An editor with a menu of its own, which the main window merges into its menu bar.
struct MenuDoc : Doc {
    QMenu *menu = new QMenu(QStringLiteral("Tools"), this);
    explicit MenuDoc(EditorKind k) : Doc(k) { menu->addAction(QStringLiteral("Something")); }
    QMenu *editorMenu() override { return menu; }
};
} // namespace

// Quitting without closing the editors first (a session ending) must not run the
// menu merging on a main window half destroyed.
TEST(MainForm, DestroyedWithEditorsOpenEndsCleanly)
{
    auto form = std::make_unique<TMainForm>(noDevices());
    form->show();
    form->addEditorWindow(new MenuDoc(EditorKind::Poi));
    form->addEditorWindow(new MenuDoc(EditorKind::Itinerary));
    QApplication::processEvents();
    EXPECT_EQ(form->mdiArea()->subWindowList().size(), 2);
    form.reset();
    QApplication::processEvents();
}

TEST(MainForm, ColumnWidthsChosenByHandAreRememberedPerEditorKind)
{
    TMainForm form(noDevices());
    form.settings().WriteString("Windows", "POIColumns", "");
    form.settings().WriteString("Windows", "ItnColumns", "");
    form.resize(1280, 900);
    form.show();
    auto *poi = new GridDoc(EditorKind::Poi);
    form.addEditorWindow(poi);
    QApplication::processEvents();
    const int fitted = poi->grid->ColWidths(1);
    poi->grid->horizontalHeader()->resizeSection(1 - poi->grid->FixedCols(), fitted + 120);
    form.mdiArea()->subWindowList().last()->close();
    QApplication::processEvents();

    auto *again = new GridDoc(EditorKind::Poi);
    form.addEditorWindow(again);
    auto *itn = new GridDoc(EditorKind::Itinerary);
    form.addEditorWindow(itn);
    QApplication::processEvents();
    EXPECT_EQ(again->grid->ColWidths(1), fitted + 120);
    EXPECT_EQ(itn->grid->ColWidths(1), fitted) << "another kind keeps its own widths";
    form.mdiArea()->closeAllSubWindows();
}

#include <QToolBar>
#include <QToolButton>

namespace {
// An editor that reports the sound state the rules read and notes what reaches it.
struct SoundDoc : QWidget, IEditor, ISoundCommands {
    EditorKind kind;
    bool recording = false, playing = false, empty = true, selection = false;
    QStringList calls;
    explicit SoundDoc(EditorKind k) : kind(k) {}
    EditorKind editorKind() const override { return kind; }
    bool isRecording() const override { return recording; }
    bool isPlaying() const override { return playing; }
    bool isWaveEmpty() const override { return empty; }
    bool hasWaveSelection() const override { return selection; }
    void PlaySound() override { calls << "Play"; }
    void RecSound() override { calls << "Record"; }
    void StopSound() override { calls << "Stop"; }
    void DelSound() override { calls << "Redo"; }
    void ImportSound() override { calls << "Import"; }
    void DeleteSound() override { calls << "Delete"; }
    void CropSound() override { calls << "Trim"; }
    void NormalizeSound() override { calls << "Normalize"; }
};
} // namespace

namespace {
// How much a picture stands out from a light toolbar: opacity times darkness, summed.
double ink(const QPixmap &pm)
{
    const QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            sum += qAlpha(c) / 255.0 * (255 - qGray(c)) / 255.0;
        }
    return sum;
}
} // namespace

// A disabled button must look disabled: the style's own disabled play and stop were
// nearly as dark as the enabled ones.
TEST(MainForm, DisabledCommandPicturesArePale)
{
    for (SharedCommand c : {SharedCommand::PlaySound, SharedCommand::RecSound, SharedCommand::StopSound,
                            SharedCommand::DelSound, SharedCommand::ImportSound, SharedCommand::SaveSound,
                            SharedCommand::DeleteSound, SharedCommand::TrimSound, SharedCommand::NormalizeSound,
                            SharedCommand::Save}) {
        const QIcon icon = commandIcon(c);
        const double on = ink(icon.pixmap(QSize(22, 22), QIcon::Normal));
        const double off = ink(icon.pixmap(QSize(22, 22), QIcon::Disabled));
        EXPECT_GT(on, 0) << int(c);
        EXPECT_LT(off, on * 0.25) << "command " << int(c);
    }
}

TEST(MainForm, SoundToolbarButtonsFollowTheEditorOnTopAndReachIt)
{
    TMainForm form(TMainForm::Options{QString(), false, {}, false, false, {}});
    form.show();
    auto *bar = form.findChild<QToolBar *>("soundToolBar");
    ASSERT_TRUE(bar);
    // The buttons as the user sees them, left to right.
    QMap<QString, QToolButton *> buttons;
    QStringList order;
    for (QAction *a : bar->actions()) {
        if (a->isSeparator())
            continue;
        auto *b = qobject_cast<QToolButton *>(bar->widgetForAction(a));
        ASSERT_TRUE(b);
        buttons.insert(a->text(), b);
        order << a->text();
    }
    ASSERT_EQ(order, QStringList({"PlaySound", "RecSound", "StopSound", "DelSound", "ImportSound", "SaveSound", "Delete",
                                  "Trim", "Normalize"}));
    const auto enabled = [&] {
        QApplication::processEvents();
        form.updateCommands();
        QStringList on;
        for (const QString &name : order)
            if (buttons[name]->isEnabled())
                on << name;
        return on;
    };
    EXPECT_EQ(enabled(), QStringList()); // no editor offers sound

    auto *poi = new SoundDoc(EditorKind::Poi);
    form.addEditorWindow(poi);
    EXPECT_EQ(enabled(), QStringList({"RecSound", "ImportSound"})); // empty wave
    poi->empty = false;
    EXPECT_EQ(enabled(), QStringList({"PlaySound", "RecSound", "DelSound", "ImportSound", "Normalize"}));
    poi->selection = true;
    EXPECT_EQ(enabled(), QStringList({"PlaySound", "RecSound", "DelSound", "ImportSound", "Delete", "Trim", "Normalize"}));
    for (const char *name : {"PlaySound", "Trim", "Normalize", "DelSound", "Delete"})
        QTest::mouseClick(buttons[name], Qt::LeftButton);
    EXPECT_EQ(poi->calls, QStringList({"Play", "Trim", "Normalize", "Redo", "Delete"}));
    poi->playing = true;
    EXPECT_EQ(enabled(), QStringList({"StopSound"}));
    poi->calls.clear();
    QTest::mouseClick(buttons["PlaySound"], Qt::LeftButton); // disabled: nothing happens
    QTest::mouseClick(buttons["StopSound"], Qt::LeftButton);
    EXPECT_EQ(poi->calls, QStringList({"Stop"}));
    poi->playing = false;
    poi->recording = true;
    EXPECT_EQ(enabled(), QStringList({"StopSound"}));

    // An editor without sound on top: nothing to play, record or trim.
    auto *itn = new SoundDoc(EditorKind::Itinerary);
    itn->empty = false;
    form.addEditorWindow(itn);
    EXPECT_EQ(enabled(), QStringList());
    form.mdiArea()->closeAllSubWindows();
    EXPECT_EQ(enabled(), QStringList());
}

#include "media/AudioKit.h"
#include "media/SampleSounds.h"

TEST(MainForm, SoundToolbarActsOnTheSoundOfTheRealPoiEditor)
{
    SampleWindow sample;
    TMainForm &form = *sample.form;
    TreeNode *map = form.treeModel().tree().device(0)->findChild("POI")->child(0);
    ASSERT_GE(map->childCount(), 1);
    form.TTOpen(map->child(0));
    QApplication::processEvents();
    auto *poi = dynamic_cast<TOV2 *>(form.activeEditor());
    ASSERT_TRUE(poi);
    poi->dialogs.ask = [](QWidget *, const QString &, const QString &, QMessageBox::StandardButtons) { return QMessageBox::No; };
    auto *bar = form.findChild<QToolBar *>("soundToolBar");
    ASSERT_TRUE(bar);
    const auto button = [&](SharedCommand c) { return bar->widgetForAction(form.commandAction(c)); };

    poi->audio().storage.Wave = SampleSounds::tone(440, 1000, 25);
    poi->audio().box()->RefreshWave(true);
    form.updateCommands();
    ASSERT_TRUE(button(SharedCommand::NormalizeSound)->isEnabled());
    EXPECT_FALSE(button(SharedCommand::TrimSound)->isEnabled()); // nothing selected
    QTest::mouseClick(button(SharedCommand::NormalizeSound), Qt::LeftButton);
    EXPECT_GE(poi->audio().storage.Wave.PeakLevel(), 95);
    EXPECT_TRUE(poi->isModified());

    poi->audio().storage.Wave.Clear();
    form.updateCommands();
    EXPECT_FALSE(button(SharedCommand::PlaySound)->isEnabled());
    EXPECT_FALSE(button(SharedCommand::NormalizeSound)->isEnabled());
    EXPECT_TRUE(button(SharedCommand::RecSound)->isEnabled());
    form.mdiArea()->closeAllSubWindows();
}
