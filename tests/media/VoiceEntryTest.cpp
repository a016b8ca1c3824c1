// SPDX-License-Identifier: GPL-3.0-or-later
// The ways into the voice editor from the main window: the content tree opens a voice
// only while no voice editor exists, and a save refreshes the device's tree.
#include "app/EditorRegistry.h"
#include "app/MainForm.h"
#include "app/SampleDevice.h"
#include "media/Voice.h"
#include "media/VoiceFile.h"
#include "platform/DeviceCodec.h"
#include "tests/media/VoiceFixtures.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

using namespace VoiceFixtures;

TEST(VoiceEntry, TheTreeOpensOneVoiceAtATime)
{
    if (!oggToolsInstalled() || realPhrases().size() != 59)
        GTEST_SKIP() << "vorbis-tools are not installed";
    TempFolder tmp;
    ASSERT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
    const QString made = tmp.mkdir("made") + "/";
    writePhraseFiles(made);
    VoiceFile::VifData vif;
    for (const char *name : {"Anna", "Jan"}) {
        vif.name = QString::fromLatin1(name);
        VoiceFile::SaveVoice(tmp.file(QStringLiteral("dev/Voices/%1.vif").arg(vif.name)), made, vif,
                             VoiceFile::blankPicture(), DeviceCodec());
    }
    TMainForm::Options options;
    options.scanMounts = false;
    options.updateCheck = false;
    options.deviceFolders = {tmp.file("dev")};
    TMainForm form(options);
    registerEditors(form);
    form.show();
    QApplication::processEvents();

    TreeNode *voices = form.treeModel().tree().device(0)->findChild("Voices");
    ASSERT_TRUE(voices);
    ASSERT_EQ(voices->childCount(), 2);
    form.selectNode(voices->child(0));
    EXPECT_TRUE(form.popupItems().open);
    form.TTOpen(voices->child(0));
    QApplication::processEvents();
    ASSERT_EQ(form.mdiArea()->subWindowList().size(), 1);
    auto *editor = dynamic_cast<TVoice *>(form.mdiArea()->subWindowList().first()->widget());
    ASSERT_TRUE(editor);
    EXPECT_EQ(TVoice::openEditor(), editor);
    EXPECT_TRUE(editor->voicePath().endsWith("/Voices/" + voices->child(0)->text()));
    EXPECT_EQ(editor->nameEdit()->text(), voices->child(0)->text().section('.', 0, 0));

    // A second voice waits until the first editor is closed.
    form.TTOpen(voices->child(1));
    QApplication::processEvents();
    EXPECT_EQ(form.mdiArea()->subWindowList().size(), 1);
    form.mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    EXPECT_EQ(TVoice::openEditor(), nullptr);
    form.TTOpen(voices->child(1));
    QApplication::processEvents();
    ASSERT_EQ(form.mdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(TVoice::openEditor()->voicePath().endsWith(voices->child(1)->text()));
    form.mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
}
