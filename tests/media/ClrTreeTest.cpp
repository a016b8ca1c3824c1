// SPDX-License-Identifier: GPL-3.0-or-later
// The scheme editor's entry points in the main window: the tree's Open and New, File.
#include "app/EditorRegistry.h"
#include "app/MainForm.h"
#include "app/SampleDevice.h"
#include "grid/RBGrids.h"
#include "media/ClrFile.h"
#include "media/SchemEdit.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <gtest/gtest.h>


TEST(SchemTree, SchemesOpenFromTheTreeAndNewOnesFromTheCategoryAndTheFileMenu)
{
    TempFolder tmp;
    ASSERT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
    const QString night = tmp.write("dev/Schemes/Night.clr", "1,2,3 // x\r\n4,5,6 // y\r\n");
    TMainForm form(folderOnly(tmp.file("dev")));
    registerEditors(form);
    form.show();
    QApplication::processEvents();

    TreeNode *schemes = form.treeModel().tree().device(0)->findChild("Schemes");
    ASSERT_TRUE(schemes);
    TreeNode *file = schemes->findChild("Night.clr");
    ASSERT_TRUE(file);
    form.TTOpen(file);
    form.selectNode(schemes);
    form.New1Click();
    QAction *fileNew = menuEntry(form, "New", "Schem");
    ASSERT_TRUE(fileNew);
    fileNew->trigger();
    EXPECT_TRUE(menuEntry(form, "Open", "Schem"));
    QApplication::processEvents();

    const QList<TSchemEdit *> editors = editorsOf<TSchemEdit>(form);
    ASSERT_EQ(editors.size(), 3);
    EXPECT_EQ(QFileInfo(editors[0]->schemePath()).canonicalFilePath(), QFileInfo(night).canonicalFilePath());
    EXPECT_EQ(editors[0]->grid()->RowCount(), 3);
    EXPECT_EQ(editors[0]->grid()->GetCell(1, 2), "$00060504");
    for (TSchemEdit *e : editors.mid(1)) {
        EXPECT_EQ(e->schemePath(), QString());
        EXPECT_EQ(e->grid()->RowCount(), Clr::EntryCount + 1);
        EXPECT_FALSE(e->isModified());
    }
    // Save and Save As go to the scheme editor on top.
    form.mdiArea()->setActiveSubWindow(form.mdiArea()->subWindowList()[0]);
    editors[0]->Cap(true);
    form.updateCommands();
    EXPECT_TRUE(form.commandAction(SharedCommand::Save)->isEnabled());
    EXPECT_FALSE(form.commandAction(SharedCommand::PlaySound)->isEnabled());
    for (TSchemEdit *e : editors)
        e->prompts.askSave = [](QWidget *) { return QMessageBox::No; };
    form.mdiArea()->closeAllSubWindows();
}
