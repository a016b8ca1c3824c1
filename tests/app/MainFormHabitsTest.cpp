// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as people expect it: Close, the save question, windows inside the
// area, Polish throughout, files from outside, a tree that follows the disk.
#include "app/ContentTreeModel.h"
#include "app/Language.h"
#include "app/SingleInstance.h"
#include "itn/Itn.h"
#include "map/GMaps.h"
#include "media/IconEdit.h"
#include "media/Img.h"
#include "media/SchemEdit.h"
#include "platform/Question.h"
#include "tests/app/MainFormFixtures.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <QTreeView>

TEST(MainForm, CloseEndsTheActiveWindowOnlyTheMapIncluded)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    TMainForm form(noDevices());
    form.show();
    QStringList asked;
    QMessageBox::StandardButton answer = QMessageBox::No;
    QPointer<TOV2> poi = changedPoiEditor(form, "a", asked, answer);
    QApplication::processEvents();
    QPointer<TGMaps> map = form.GetGoogleAPI();
    QApplication::processEvents();
    // Keys and clicks go into the page, as when the user has clicked the map.
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(50, 50));
    if (map->focusProxy())
        map->focusProxy()->setFocus();
    QTest::qWait(300);
    QAction *close = menuEntry(form, "File", "C&lose");
    ASSERT_NE(close, nullptr);
    close->trigger();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(map.isNull());
    EXPECT_TRUE(asked.isEmpty()) << "the POI list was not asked about";
    ASSERT_FALSE(poi.isNull());
    EXPECT_TRUE(poi->isModified());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.mdiArea()->subWindowList().size(), 1);
}

TEST(MainForm, TheSaveQuestionNamesTheDocument)
{
    QWidget editor;
    editor.setWindowTitle(QStringLiteral("/media/ann/DEV/Fuel.ov2*"));
    QString named;
    onNextModal([&named](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        named = box->informativeText();
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(askToSaveChanges(&editor, QStringLiteral("POI"), QStringLiteral("Do you want to save changes?")),
              QMessageBox::Cancel);
    EXPECT_EQ(named, QStringLiteral("/media/ann/DEV/Fuel.ov2"));
}

TEST(MainForm, EditorsOpenWhollyInsideTheArea)
{
    TMainForm form(noDevices());
    form.resize(800, 600);
    form.show();
    QApplication::processEvents();
    QStringList asked;
    QMessageBox::StandardButton answer = QMessageBox::No;
    for (int i = 0; i < 6; ++i) {
        changedPoiEditor(form, QStringLiteral("p%1").arg(i), asked, answer);
        QApplication::processEvents();
    }
    const QRect area = form.mdiArea()->viewport()->rect();
    for (QMdiSubWindow *w : form.mdiArea()->subWindowList())
        if (!w->isMaximized())
            EXPECT_TRUE(area.contains(w->geometry())) << w->windowTitle().toStdString();
    for (QMdiSubWindow *w : form.mdiArea()->subWindowList())
        w->close();
}

TEST(MainForm, TheSchemePreviewStaysWhollyInsideTheAreaMaximisedOrNot)
{
    TMainForm form(noDevices());
    form.resize(800, 600);
    form.show();
    QApplication::processEvents();
    form.addEditorWindow(new TSchemEdit(form));
    form.addEditorWindow(new TSchemEdit(form));
    QApplication::processEvents();
    const QRect area = form.mdiArea()->viewport()->rect();
    const QList<QMdiSubWindow *> windows = form.mdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_TRUE(windows[0]->isMaximized());
    for (QMdiSubWindow *w : windows) {
        const QWidget *preview = w->findChild<QWidget *>(QStringLiteral("SchemePreview"));
        ASSERT_NE(preview, nullptr);
        const QRect shown(preview->mapTo(form.mdiArea()->viewport(), QPoint()), preview->size());
        EXPECT_TRUE(area.contains(shown)) << w->isMaximized();
        EXPECT_GE(preview->width(), 100);
    }
    form.mdiArea()->closeAllSubWindows();
}

TEST(MainForm, PolishAlsoTranslatesQtsOwnDialogButtons)
{
    const QList<QTranslator *> polish = Language::install(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix"), QStringLiteral("PLK"));
    ASSERT_EQ(polish.size(), 2) << "the program's texts and Qt's own";
    QMessageBox box(QMessageBox::Question, QStringLiteral("Korvix"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&'), QStringLiteral("Tak"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove('&'), QStringLiteral("Nie"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove('&'), QStringLiteral("Anuluj"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text().remove('&'), QStringLiteral("Anuluj"));
    for (QTranslator *t : polish) {
        QApplication::removeTranslator(t);
        delete t;
    }
    QMessageBox english(QMessageBox::Question, QStringLiteral("Korvix"), QStringLiteral("?"), QMessageBox::Yes);
    EXPECT_EQ(english.button(QMessageBox::Yes)->text().remove('&'), QStringLiteral("Yes"));
}

TEST(MainForm, FilesFromTheCommandLineAndFromALaterStartOpenInTheirEditors)
{
    TempFolder tmp;
    ASSERT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
    const QString ov2 = tmp.file("dev/Sample_Map/Parking.ov2");
    const QStringList itineraries = QDir(tmp.file("dev/Itn")).entryList({"*.itn"}, QDir::Files);
    ASSERT_FALSE(itineraries.isEmpty());
    const QString itn = tmp.file("dev/Itn/" + itineraries.first());
    TMainForm form(noDevices());
    registerEditors(form);
    form.show();

    // A kind no editor takes says so by name; the other file still opens.
    QString told;
    onNextModal([&told](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            told = box->text();
            box->accept();
        }
    });
    form.openFiles({tmp.write("notes.txt", "x"), ov2});
    EXPECT_TRUE(told.contains(tmp.file("notes.txt"))) << told.toStdString();
    EXPECT_EQ(editorsOf<TOV2>(form).size(), 1);

    // A real later start of the program hands its file to this running copy and ends.
    SingleInstance running(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix"));
    ASSERT_TRUE(running.listen());
    QObject::connect(&running, &SingleInstance::openFiles, &form, &TMainForm::openFiles);
    QProcess later;
    later.setWorkingDirectory(tmp.file("dev/Itn"));
    later.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix"), {itineraries.first()});
    ASSERT_TRUE(later.waitForStarted());
    for (int i = 0; i < 300 && editorsOf<TItnEdit>(form).isEmpty(); ++i)
        QTest::qWait(50);
    ASSERT_TRUE(later.state() == QProcess::NotRunning || later.waitForFinished(20000));
    EXPECT_EQ(later.exitCode(), 0) << later.readAllStandardError().toStdString();
    ASSERT_EQ(editorsOf<TItnEdit>(form).size(), 1);
    EXPECT_TRUE(editorsOf<TItnEdit>(form).first()->windowTitle().startsWith(itn)) << editorsOf<TItnEdit>(form).first()->windowTitle().toStdString();
    for (QMdiSubWindow *w : form.mdiArea()->subWindowList())
        w->close();
}

TEST(MainForm, TheTreeFollowsFilesChangedOutsideAndF5RefreshesKeepingWhatWasOpen)
{
    SampleWindow sample;
    TMainForm &form = *sample.form;
    const auto mapNode = [&form] { return form.treeModel().tree().device(0)->findChild("POI")->child(0); };
    form.treeView()->expand(form.treeModel().indexOf(mapNode()));
    form.selectNode(mapNode()->findChild("Fuel.ov2"));
    const QString folder = sample.tmp.file("dev/Sample_Map");

    // Another program adds a list: the tree shows it by itself.
    const CliRun wrote = runCli({"ov2", "write", folder + "/Added.ov2"}, "1\t2\tnew\n");
    ASSERT_EQ(wrote.code, 0) << wrote.err.toStdString();
    for (int i = 0; i < 200 && !mapNode()->findChild("Added.ov2"); ++i)
        QTest::qWait(50);
    EXPECT_TRUE(mapNode()->findChild("Added.ov2"));
    EXPECT_TRUE(form.treeView()->isExpanded(form.treeModel().indexOf(mapNode())));
    ASSERT_TRUE(form.selectedNode());
    EXPECT_EQ(form.selectedNode()->text(), "Fuel.ov2");

    // F5 refreshes at once, before the watcher's pause is over.
    ASSERT_TRUE(QFile::remove(folder + "/Added.ov2"));
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    form.treeView()->setFocus();
    QTest::keyClick(form.treeView(), Qt::Key_F5);
    EXPECT_FALSE(mapNode()->findChild("Added.ov2"));
    EXPECT_EQ(form.selectedNode()->text(), "Fuel.ov2");
}

TEST(MainForm, TheTreesCategoriesReadPolishInPolishAndKeepTheirNames)
{
    const QList<QTranslator *> polish = Language::install(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix"), QStringLiteral("PLK"));
    {
        SampleWindow sample;
        ContentTreeModel &model = sample.form->treeModel();
        TreeNode *sounds = model.tree().device(0)->findChild("Sounds");
        ASSERT_TRUE(sounds);
        EXPECT_EQ(model.data(model.indexOf(sounds), Qt::DisplayRole).toString(), QStringLiteral("Dźwięki"));
        EXPECT_EQ(model.data(model.indexOf(model.tree().device(0)->findChild("Images")), Qt::DisplayRole).toString(),
                  QStringLiteral("Obrazy"));
        EXPECT_EQ(sounds->text(), QStringLiteral("Sounds")) << "the rules go on reading the name";
        // A file keeps its own name.
        EXPECT_EQ(model.data(model.indexOf(sounds->child(0)), Qt::DisplayRole).toString(), sounds->child(0)->text());
    }
    for (QTranslator *t : polish) {
        QApplication::removeTranslator(t);
        delete t;
    }
}

TEST(MainForm, EnterOnAPictureOfTheTreeOpensItsEditorAndAnIconIsSavedWithItsList)
{
    SampleWindow sample;
    TMainForm &form = *sample.form;
    QTreeView *view = form.treeView();
    ContentTreeModel &model = form.treeModel();
    TreeNode *device = model.tree().device(0);
    auto press = [&](TreeNode *node) {
        view->setFocus();
        view->setCurrentIndex(model.indexOf(node));
        QTest::keyClick(view, Qt::Key_Return);
        QApplication::processEvents();
    };

    TreeNode *splash = device->findChild("Images")->child(0);
    ASSERT_TRUE(splash);
    press(splash);
    ASSERT_EQ(editorsOf<TImg>(form).size(), 1);

    // The list's small icon: its list opens with the icon in the drawing window.
    TreeNode *fuel = device->findChild("POI")->child(0)->findChild("Fuel.ov2");
    ASSERT_TRUE(fuel && fuel->findChild("Fuel.bmp"));
    const QString bmp = sample.tmp.file("dev/Sample_Map/Fuel.bmp");
    const QImage before(bmp);
    ASSERT_FALSE(before.isNull());
    QSize drawn;
    QPoint pixel;
    onNextModal([&drawn, &pixel](QWidget *w) {
        auto *icons = qobject_cast<TIconEdit *>(w);
        ASSERT_NE(icons, nullptr);
        drawn = icons->image().size();
        icons->setLeftColor(QColor(255, 0, 0));
        const QWidget *surface = icons->drawingSurface();
        const QPoint at(surface->width() / 2, surface->height() / 2);
        pixel = icons->pixelAt(at);
        icons->paintAt(at, Qt::LeftButton);
        icons->accept();
    });
    press(fuel->findChild("Fuel.bmp"));
    ASSERT_EQ(editorsOf<TOV2>(form).size(), 1);
    TOV2 *list = editorsOf<TOV2>(form).first();
    EXPECT_EQ(drawn, before.size());
    EXPECT_TRUE(list->isModified());
    list->Save();
    QApplication::processEvents();
    const QImage after(bmp);
    EXPECT_NE(after, before);
    ASSERT_TRUE(after.rect().contains(pixel));
    EXPECT_EQ(after.pixelColor(pixel), QColor(255, 0, 0));

    // The large one goes to the list already open, not to a second window.
    fuel = model.tree().device(0)->findChild("POI")->child(0)->findChild("Fuel.ov2");
    TreeNode *large = fuel ? fuel->findChild("Fuel_X2.bmp") : nullptr;
    ASSERT_TRUE(large);
    bool asked = false;
    onNextModal([&asked](QWidget *w) {
        asked = qobject_cast<TIconEdit *>(w) != nullptr;
        static_cast<QDialog *>(w)->reject();
    });
    press(large);
    EXPECT_TRUE(asked);
    EXPECT_EQ(editorsOf<TOV2>(form).size(), 1);
    EXPECT_FALSE(list->isModified());
    form.mdiArea()->closeAllSubWindows();
}
