// SPDX-License-Identifier: GPL-3.0-or-later
// The tree's GDDKIA command in the real main window, with the feeds from a local server.
#include "app/BaseIcons.h"
#include "app/EditorRegistry.h"
#include "app/MainForm.h"
#include "app/SampleDevice.h"
#include "grid/RBGrids.h"
#include "platform/Settings.h"
#include "poi/FeedDownload.h"
#include "poi/Ov2Editor.h"
#include "tests/poi/FeedHttp.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

struct FeedWindow {
    TempFolder tmp;
    FeedHttp server;
    std::unique_ptr<TMainForm> form;
    FeedWindow()
    {
        EXPECT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
        form = std::make_unique<TMainForm>(folderOnly(tmp.file("dev")));
        registerEditors(*form);
        form->settings().WriteString("Settings", "GddkiaServer", server.server());
        form->show();
        QApplication::processEvents();
    }
    TreeNode *mapFolder() { return form->treeModel().tree().device(0)->findChild("POI")->child(0); }
};

TEST(FeedTree, GddkiaCommandDownloadsIntoTheMapFolderList)
{
    FeedWindow w;
    w.server.answers[Feeds::GddkiaPath] = {"200 OK", "<u><e><typ>Roboty</typ><geo_long>19.94</geo_long><geo_lat>50.06</geo_lat></e></u>"};
    w.server.answers[Feeds::GddkiaMobiPath] = {"200 OK", "<dane/>"};
    TreeNode *map = w.mapFolder();
    w.form->selectNode(map);
    ASSERT_TRUE(w.form->popupItems().gddkia);
    w.form->GDKIA1Click();
    QApplication::processEvents();
    const QList<TOV2 *> editors = editorsOf<TOV2>(*w.form);
    ASSERT_EQ(editors.size(), 1);
    TOV2 *poi = editors.first();
    poi->dialogs.ask = [](QWidget *, const QString &, const QString &, QMessageBox::StandardButtons) { return QMessageBox::No; };
    EXPECT_EQ(QFileInfo(poi->FileName).fileName(), "GDDKIA.ov2");
    EXPECT_EQ(QFileInfo(poi->FileName).dir().dirName(), map->text());
    EXPECT_EQ(poi->grid()->GetCell(3, 1), "Roboty");
    EXPECT_EQ(poi->grid()->GetCellFlags(1, 1) & 0xFF, 0x30u);
    EXPECT_TRUE(poi->isModified());
    // Picture 6 of the base list covers the small icon's top-left corner.
    const QImage badge = baseTreeIcons().value(6).pixmap(22, 22).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage icon = poi->smallIcon().convertToFormat(QImage::Format_ARGB32);
    bool drawn = false;
    for (int y = 0; y < badge.height(); ++y)
        for (int x = 0; x < badge.width(); ++x)
            if (qAlpha(badge.pixel(x, y)) == 255) {
                drawn = true;
                EXPECT_EQ(icon.pixel(x, y), badge.pixel(x, y)) << x << "," << y;
            }
    EXPECT_TRUE(drawn);
    EXPECT_TRUE(map->findChild("GDDKIA"));
    w.form->mdiArea()->closeAllSubWindows();
}

TEST(FeedTree, AFailedDownloadSaysSoAndFallsBackToTheStoredList)
{
    FeedWindow w;
    w.server.silent = false; // every path answers 404
    w.form->selectNode(w.mapFolder());
    QStringList shown;
    // The feed's message, then the reader's: there is no stored list yet.
    std::function<void(QWidget *)> close = [&](QWidget *box) {
        if (auto *m = qobject_cast<QMessageBox *>(box))
            shown << m->windowTitle() + "|" + m->text();
        box->close();
        if (shown.size() < 2)
            onNextModal(close);
    };
    onNextModal(close);
    w.form->GDKIA1Click();
    QApplication::processEvents();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith("Error|Can't open \"" + w.server.server())) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(Feeds::GddkiaPath));
    EXPECT_TRUE(shown[1].contains("Can't open OV2 file")) << shown[1].toStdString();
    for (TOV2 *poi : editorsOf<TOV2>(*w.form))
        poi->dialogs.ask = [](QWidget *, const QString &, const QString &, QMessageBox::StandardButtons) { return QMessageBox::No; };
    w.form->mdiArea()->closeAllSubWindows();
}

} // namespace
