// SPDX-License-Identifier: GPL-3.0-or-later
// The sound editor in the main window: opened from the tree, New on "Sounds", the File
// menu, and the sound toolbar following it.
#include "app/EditorRegistry.h"
#include "app/MainForm.h"
#include "app/SampleDevice.h"
#include "media/AudioKit.h"
#include "media/Sound.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <gtest/gtest.h>


TEST(SoundTree, SoundsOpenFromTheTreeNewOnesInTheirFolderAndTheToolbarFollows)
{
    TempFolder tmp;
    ASSERT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
    TMainForm form(folderOnly(tmp.file("dev")));
    registerEditors(form);
    form.show();
    QApplication::processEvents();

    TreeNode *sounds = form.treeModel().tree().device(0)->findChild("Sounds");
    ASSERT_TRUE(sounds);
    TreeNode *beep = sounds->findChild("Beep.wav");
    ASSERT_TRUE(beep);
    form.TTOpen(beep);
    form.selectNode(sounds);
    form.New1Click();
    QAction *fileNew = menuEntry(form, "New", "Sound");
    ASSERT_TRUE(fileNew);
    fileNew->trigger();
    EXPECT_TRUE(menuEntry(form, "Open", "Sound"));
    QApplication::processEvents();

    const QList<TSound *> editors = editorsOf<TSound>(form);
    ASSERT_EQ(editors.size(), 3);
    EXPECT_EQ(QFileInfo(editors[0]->soundPath()).fileName().toLower(), "beep.wav");
    EXPECT_FALSE(editors[0]->isWaveEmpty());
    EXPECT_FALSE(editors[0]->isModified());
    // New on "Sounds": the folder, so a save asks for a name there.
    EXPECT_TRUE(editors[1]->soundPath().endsWith("/"));
    EXPECT_EQ(QDir(editors[1]->soundPath()).dirName().toLower(), "sounds");
    EXPECT_TRUE(editors[1]->isWaveEmpty());
    EXPECT_EQ(editors[2]->soundPath(), QString());

    // The toolbar follows the sound editor on top.
    form.mdiArea()->setActiveSubWindow(form.mdiArea()->subWindowList()[0]);
    form.updateCommands();
    EXPECT_TRUE(form.commandAction(SharedCommand::PlaySound)->isEnabled());
    EXPECT_TRUE(form.commandAction(SharedCommand::NormalizeSound)->isEnabled());
    EXPECT_FALSE(form.commandAction(SharedCommand::TrimSound)->isEnabled());
    EXPECT_FALSE(form.commandAction(SharedCommand::SaveSound)->isEnabled());
    form.commandAction(SharedCommand::NormalizeSound)->trigger();
    EXPECT_TRUE(editors[0]->isModified());
    form.mdiArea()->setActiveSubWindow(form.mdiArea()->subWindowList()[1]);
    form.updateCommands();
    EXPECT_FALSE(form.commandAction(SharedCommand::PlaySound)->isEnabled());
    EXPECT_TRUE(form.commandAction(SharedCommand::RecSound)->isEnabled());
    // The editor's "Tools" menu shows in the main menu bar while it is active.
    EXPECT_TRUE(menuEntry(form, "Tools", "Silence"));

    for (TSound *e : editors)
        e->prompts.askSave = [](QWidget *) { return QMessageBox::No; };
    form.mdiArea()->closeAllSubWindows();
}
