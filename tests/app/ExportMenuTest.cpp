// SPDX-License-Identifier: GPL-3.0-or-later
// File > Export in the main window offers the active editor's exports.
#include "app/EditorRegistry.h"
#include "app/MainForm.h"
#include "app/SampleDevice.h"
#include "app/TreeBuilder.h"
#include "itn/Itn.h"
#include "poi/Ov2Editor.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

QMenu *fileExport(TMainForm &form)
{
    for (QAction *top : form.menuBar()->actions())
        if (top->menu() && top->text().remove('&') == QStringLiteral("File"))
            for (QAction *a : top->menu()->actions())
                if (a->menu() && a->text() == QStringLiteral("Export"))
                    return a->menu();
    return nullptr;
}

QStringList texts(const QMenu *menu)
{
    QStringList out;
    for (const QAction *a : menu->actions())
        out << a->text();
    return out;
}

} // namespace

TEST(ExportMenu, FileExportFollowsTheEditorOnTop)
{
    TempFolder tmp;
    ASSERT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
    TMainForm form(folderOnly(tmp.file("dev")));
    registerEditors(form);
    form.show();
    QApplication::processEvents();
    QMenu *exports = fileExport(form);
    ASSERT_NE(exports, nullptr);
    EXPECT_FALSE(exports->menuAction()->isVisible()) << "no editor, nothing to export";

    TreeNode *map = form.treeModel().tree().device(0)->findChild("POI")->child(0);
    form.TTOpen(map->child(0));
    QApplication::processEvents();
    ASSERT_EQ(form.mdiArea()->subWindowList().size(), 1);
    auto *poi = dynamic_cast<TOV2 *>(form.mdiArea()->subWindowList()[0]->widget());
    ASSERT_NE(poi, nullptr);
    poi->dialogs.ask = [](QWidget *, const QString &, const QString &, QMessageBox::StandardButtons) { return QMessageBox::No; };
    EXPECT_TRUE(exports->menuAction()->isVisible());
    EXPECT_EQ(texts(exports), (QStringList{"GPX...", "KML..."}));
    // The entries are the editor's own and run its export.
    EXPECT_EQ(exports->actions(), poi->exportMenu()->actions());
    EXPECT_FALSE(poi->exportMenu()->menuAction()->isVisible()) << "not twice in the menu bar";

    form.mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    EXPECT_FALSE(exports->menuAction()->isVisible());
    EXPECT_TRUE(exports->actions().isEmpty());
}
