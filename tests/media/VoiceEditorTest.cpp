// SPDX-License-Identifier: GPL-3.0-or-later
// The voice editor window: opening, saving and closing a voice, and the phrase
// editing on the current row, against the real Ogg Vorbis programs.
#include "grid/RBGrids.h"
#include "media/AudioKit.h"
#include "media/ImgFile.h"
#include "media/SoundBox.h"
#include "media/Voice.h"
#include "media/VoiceChk.h"
#include "media/VoiceFile.h"
#include "media/VoiceSpeech.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "tests/media/AudioFixtures.h"
#include "tests/media/VoiceFixtures.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QAudioDevice>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMediaDevices>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <gtest/gtest.h>

using namespace VoiceFixtures;

namespace {

// Records what the editor tells the main window.
class RecordingShell : public QuietShell {
public:
    void ShowProgress(const QString &text, int, int max, int) override
    {
        calls << "progress " + text + " " + QString::number(max);
    }
    void SetStatus(const QString &text) override { calls << "status " + text; }
    void UpdateTreeView(const QString &path, int action) override { trees << path + " " + QString::number(action); }
    QStringList calls, trees;
};

QByteArray record(const QByteArray &ogg, quint32 one = 1, quint32 eight = 8)
{
    const int size = (16 + int(ogg.size()) + 3) / 4 * 4;
    QByteArray r(2, '\0');
    r += char((size / 4 - 1) >> 8);
    r += char((size / 4 - 1) & 0xFF);
    r += word(one) + word(eight) + word(quint32(ogg.size())) + ogg;
    r.resize(size, '\0');
    return r;
}

QByteArray container(const std::vector<QByteArray> &records)
{
    const quint32 n = quint32(records.size());
    QByteArray out = word(n);
    quint32 offset = (n + 2) * 4;
    for (const QByteArray &r : records) {
        out += word(offset);
        offset += quint32(r.size());
    }
    out += word(offset);
    for (const QByteArray &r : records)
        out += r;
    return out;
}

class VoiceEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!oggToolsInstalled() || realPhrases().size() != 59)
            GTEST_SKIP() << "vorbis-tools are not installed";
        // A real voice on a device copy: 59 phrases, an information file, a picture.
        const QString made = tmp.mkdir("made") + "/";
        writePhraseFiles(made);
        VoiceFile::VifData vif;
        vif.name = "Anna";
        vif.gender = 1;
        vif.language = 13;
        vif.flag = 100;
        voice = tmp.mkdir("dev/Voices") + "/Anna.vif";
        QImage red(160, 160, QImage::Format_RGB888);
        red.fill(Qt::red);
        VoiceFile::SaveVoice(voice, made, vif, red, DeviceCodec());
        editor = std::make_unique<TVoice>(shell);
        editor->setPhraseFolder(tmp.file("phrases/"));
        editor->prompts.message = [this](QWidget *, const QString &text) { messages << text; };
        editor->prompts.askSave = [this](QWidget *) { return answer; };
    }
    // Ticks until the pending phrase load has happened.
    void settle()
    {
        for (int i = 0; i < 100 && editor->loadCountdown() > 0; ++i)
            editor->LMDHiTimer1Timer();
        editor->LMDHiTimer1Timer();
    }
    quint32 frame(int row) const { return editor->grid()->GetCellFlags(1, row) & 15; }
    QList<QByteArray> files() const
    {
        return {readAll(VoiceFile::withExtension(voice, ".chk")), readAll(voice),
                readAll(VoiceFile::withExtension(voice, ".bmp"))};
    }

    TempFolder tmp;
    RecordingShell shell;
    QString voice;
    std::unique_ptr<TVoice> editor;
    QStringList messages;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
};

} // namespace

TEST_F(VoiceEditor, OpensTheThreeFilesOfAVoice)
{
    editor->OpenVoice(voice);
    EXPECT_EQ(shell.calls, (QStringList{"status Open Voice file", "progress Reading CHK 62", "status Reading VIF",
                                        "status Reading BMP", "status "}));
    EXPECT_EQ(editor->windowTitle(), voice);
    EXPECT_FALSE(editor->isModified());
    EXPECT_EQ(editor->gridRowCount(), 60);
    EXPECT_EQ(editor->grid()->GetCell(1, 14), "TurnRight.ogg");
    EXPECT_EQ(editor->grid()->GetCell(2, 13), "You have reached your destination");
    for (int k = 1; k <= 59; ++k) {
        EXPECT_EQ(frame(k), TVoice::ReadBit) << k;
        EXPECT_EQ(editor->grid()->GetCell(3, k), "vorbis Mono 22050Hz") << k;
        EXPECT_EQ(readAll(editor->phraseFile(k)), realPhrases()[size_t(k - 1)]) << k;
    }
    EXPECT_EQ(editor->nameEdit()->text(), "Anna");
    EXPECT_EQ(editor->genderBox()->currentText(), "Female");
    EXPECT_EQ(editor->languageBox()->currentText(), "Polish");
    EXPECT_EQ(editor->flagBox()->currentText(), "Polish");
    EXPECT_EQ(editor->picture().pixelColor(80, 80), QColor(Qt::red));
    EXPECT_EQ(editor->chkHeader().size(), 61u);
    EXPECT_TRUE(messages.isEmpty());

    // The first tick loads the current row's phrase into the waveform.
    EXPECT_TRUE(editor->isSampleLoading());
    editor->LMDHiTimer1Timer();
    EXPECT_FALSE(editor->isSampleLoading());
    EXPECT_EQ(editor->phraseLoads(), 1);
    EXPECT_FALSE(editor->isWaveEmpty());
}

TEST_F(VoiceEditor, EditsMarkTheVoiceAndASaveWritesThemAndRefreshesTheTree)
{
    editor->OpenVoice(voice);
    editor->nameEdit()->setText("Ania");
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(editor->windowTitle(), voice + "*");
    editor->flagBox()->setCurrentIndex(-1);
    editor->Save();
    EXPECT_FALSE(editor->isModified());
    EXPECT_EQ(shell.trees, QStringList{voice + " 6"});
    EXPECT_EQ(readAll(voice), "Ania\r\nAnna.chk\r\nAnia\r\n1\r\n13\r\n99\r\n");

    // Save As writes under the new name, and the editor goes on with it.
    editor->prompts.saveFile = [this](QWidget *, const QString &dir, const QString &name) {
        EXPECT_EQ(name, "Anna");
        return dir + "/Copy";
    };
    editor->SaveAs();
    EXPECT_EQ(readAll(tmp.file("dev/Voices/Copy.chk")), readAll(VoiceFile::withExtension(voice, ".chk")));
    EXPECT_TRUE(readAll(tmp.file("dev/Voices/Copy.vif")).startsWith("Ania\r\nCopy.chk\r\n"));
    EXPECT_EQ(editor->voicePath(), tmp.file("dev/Voices/Copy.vif"));
    EXPECT_FALSE(editor->isModified());
}

TEST_F(VoiceEditor, AChosenPictureIsStretchedAndSavedAs160By160With24Bits)
{
    editor->OpenVoice(voice);
    QImage wide(200, 100, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    const QString file = tmp.file("wide.bmp");
    ASSERT_TRUE(wide.save(file));
    editor->prompts.openPicture = [&](QWidget *, const QString &dir) {
        EXPECT_EQ(dir, tmp.file("dev/Voices"));
        return file;
    };
    editor->ImageClick();
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(editor->picture().size(), QSize(160, 160));
    editor->Save();
    const QString bmp = VoiceFile::withExtension(voice, ".bmp");
    EXPECT_EQ(QImage(bmp).size(), QSize(160, 160));
    EXPECT_EQ(QImage(bmp).pixelColor(159, 159), QColor(Qt::blue));
    EXPECT_EQ(ImgFile::bitmapBitsPerPixel(readAll(bmp)), 24);
}

TEST_F(VoiceEditor, AShortOrDamagedContainerMarksRowsAndCannotBeSavedUntilRecorded)
{
    editor->OpenVoice(voice);   // the phrase files now hold Anna's 59 phrases
    const QString other = tmp.mkdir("dev2/Voices") + "/Short.vif";
    QFile::copy(voice, other);
    tmp.write("dev2/Voices/Short.chk",
              container({record(realPhrases()[0]), record(realPhrases()[1], 8, 1), record(realPhrases()[2])}));
    editor->OpenVoice(other);
    EXPECT_EQ(editor->gridRowCount(), 60);
    EXPECT_EQ(frame(1), TVoice::ReadBit);
    EXPECT_EQ(frame(2), TVoice::DamagedFrame);
    EXPECT_EQ(frame(3), TVoice::ReadBit);
    for (int k = 4; k <= 59; ++k) {
        EXPECT_EQ(frame(k), TVoice::DamagedFrame) << k;
        EXPECT_FALSE(QFileInfo::exists(editor->phraseFile(k))) << k;
    }
    EXPECT_EQ(editor->grid()->GetCell(3, 2), "");

    editor->nameEdit()->setText("Short");
    const QByteArray before = readAll(tmp.file("dev2/Voices/Short.chk"));
    try {
        editor->Save();
        ADD_FAILURE() << "a voice with a damaged phrase was saved";
    } catch (const KorvixError &e) {
        EXPECT_TRUE(e.message().startsWith("Phrase 2 (tmp02.ogg)")) << e.message().toStdString();
    }
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(readAll(tmp.file("dev2/Voices/Short.chk")), before);
    EXPECT_EQ(readAll(other), readAll(voice));
    EXPECT_TRUE(shell.trees.isEmpty());
}

TEST_F(VoiceEditor, HostileFilesGiveAMessageAndAVoiceStillOpens)
{
    tmp.write("dev/Voices/Anna.vif", QByteArray(10 << 20, '\x01'));
    tmp.write("dev/Voices/Anna.bmp", "BM not a bitmap at all");
    editor->OpenVoice(voice);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains("Anna.vif"));
    EXPECT_EQ(editor->picture().size(), QSize(160, 160));
    EXPECT_EQ(editor->genderBox()->currentIndex(), -1);
    EXPECT_EQ(frame(59), TVoice::ReadBit);
    // A missing container is an error; the window is not left half open.
    EXPECT_THROW(editor->OpenVoice(tmp.file("dev/Voices/None.vif")), KorvixError);
    EXPECT_EQ(shell.calls.last(), "status ");
}

TEST_F(VoiceEditor, CloseAsksAndCancelKeepsTheWindow)
{
    editor->OpenVoice(voice);
    editor->show();
    editor->languageBox()->setCurrentIndex(0);
    answer = QMessageBox::Cancel;
    EXPECT_FALSE(editor->close());
    EXPECT_TRUE(editor->isVisible());
    answer = QMessageBox::Yes;
    editor->setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_TRUE(editor->close());
    EXPECT_TRUE(readAll(voice).endsWith("\r\n1\r\n0\r\n200\r\n"));
}

TEST_F(VoiceEditor, OnlyOneVoiceEditorExists)
{
    EXPECT_EQ(TVoice::openEditor(), editor.get());
    editor.reset();
    EXPECT_EQ(TVoice::openEditor(), nullptr);
}

TEST_F(VoiceEditor, ScrollingLoadsOnlyThePhraseTheTableRestsOn)
{
    editor->OpenVoice(voice);
    settle();
    const int loads = editor->phraseLoads();
    editor->grid()->SetCurrentCell(1, 2);
    EXPECT_EQ(editor->loadCountdown(), TVoice::FirstLoadTicks);
    for (int row = 3; row <= 6; ++row) {
        editor->LMDHiTimer1Timer();
        editor->grid()->SetCurrentCell(1, row);
        EXPECT_EQ(editor->loadCountdown(), TVoice::FurtherLoadTicks);
    }
    EXPECT_TRUE(editor->isSampleLoading());
    for (int i = 0; i < TVoice::FurtherLoadTicks - 2; ++i)
        editor->LMDHiTimer1Timer();
    EXPECT_EQ(editor->phraseLoads(), loads);
    settle();
    EXPECT_EQ(editor->phraseLoads(), loads + 1);
    EXPECT_EQ(editor->currentSample(), 6);
    // Phrase 6 is 0.1 s + 6 x 300 samples long.
    EXPECT_NEAR(double(editor->audio().storage.Wave.Length()), (2205 + 300 * 6) * 1000.0 / 22050, 30);
}

TEST_F(VoiceEditor, AnEditedPhraseHoldsTheRowUntilEncodedOrDiscarded)
{
    editor->OpenVoice(voice);
    editor->grid()->SetCurrentCell(1, 5);
    settle();
    editor->NormalizeSound();
    EXPECT_TRUE(editor->isSampleEdited());
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(frame(5), TVoice::ReadBit | TVoice::EditedBit);
    editor->grid()->SetCurrentCell(1, 9);
    EXPECT_EQ(editor->grid()->Row(), 5);

    // Redo discards the edit: the phrase file is decoded again at the next tick.
    const int loads = editor->phraseLoads();
    editor->RedoSound();
    EXPECT_FALSE(editor->isSampleEdited());
    EXPECT_EQ(frame(5), TVoice::ReadBit);
    editor->LMDHiTimer1Timer();
    EXPECT_EQ(editor->phraseLoads(), loads + 1);
    editor->grid()->SetCurrentCell(1, 9);
    EXPECT_EQ(editor->grid()->Row(), 9);
}

TEST_F(VoiceEditor, AnImportedPhraseIsEncodedIntoItsFileAndSavedWithTheVoice)
{
    editor->OpenVoice(voice);
    editor->grid()->SetCurrentCell(1, 7);
    settle();
    const QString wav = tmp.file("new.wav");
    ASSERT_TRUE(AudioFixtures::writeSine(wav, SF_FORMAT_PCM_16, 1, 44100, 660, 0.5));
    editor->prompts.openSound = [&](QWidget *) { return wav; };
    const QByteArray old = readAll(editor->phraseFile(7));
    editor->ImportSound();
    EXPECT_TRUE(editor->isSampleEdited());
    EXPECT_EQ(frame(7), TVoice::ReadBit | TVoice::EditedBit);
    EXPECT_EQ(readAll(editor->phraseFile(7)), old);   // only SaveSound changes the file
    editor->SaveSound();
    EXPECT_FALSE(editor->isSampleEdited());
    EXPECT_EQ(frame(7), TVoice::ReadBit);
    const QByteArray phrase = readAll(editor->phraseFile(7));
    EXPECT_NE(phrase, old);
    EXPECT_TRUE(phrase.startsWith("OggS"));
    EXPECT_EQ(editor->grid()->GetCell(3, 7), "vorbis Mono 22050Hz");
    editor->Save();
    VoiceChk::Unpack(VoiceFile::withExtension(voice, ".chk"), tmp.file("back/"), true);
    EXPECT_EQ(readAll(VoiceChk::PhraseFile(tmp.file("back/"), 7)), phrase);
    EXPECT_EQ(readAll(VoiceChk::PhraseFile(tmp.file("back/"), 8)), realPhrases()[7]);
}

TEST_F(VoiceEditor, APhraseTooLongForTheContainerIsRefusedBeforeItsFileChanges)
{
    editor->OpenVoice(voice);
    settle();
    // Two minutes of noise encode to far more than a record holds.
    QVector<qint16> noise(22050 * 120);
    quint32 seed = 1;
    for (qint16 &s : noise) {
        seed = seed * 1664525u + 1013904223u;
        s = qint16(seed >> 16);
    }
    const QString wav = tmp.file("noise.wav");
    AudioFixtures::samples(noise).SaveToFile(wav);
    editor->prompts.openSound = [&](QWidget *) { return wav; };
    editor->ImportSound();
    const QByteArray old = readAll(editor->phraseFile(1));
    editor->SaveSound();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Phrase 1 (tmp01.ogg)")) << messages[0].toStdString();
    EXPECT_EQ(readAll(editor->phraseFile(1)), old);
    EXPECT_TRUE(editor->isSampleEdited());
}

TEST_F(VoiceEditor, ARecordingHoldsTheRowAndStopsByItselfAfterTenSeconds)
{
    if (QMediaDevices::audioInputs().isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << "no sound server: run scripts/sound-server.sh first";
        GTEST_SKIP() << "no sound devices (run scripts/sound-server.sh)";
    }
    editor->OpenVoice(voice);
    editor->grid()->SetCurrentCell(1, 3);
    settle();
    editor->RecSound();
    EXPECT_TRUE(editor->isRecording());
    EXPECT_EQ(frame(3), TVoice::ReadBit | TVoice::EditedBit);
    editor->grid()->SetCurrentCell(1, 4);
    EXPECT_EQ(editor->grid()->Row(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !editor->isRecording(); }, 15000));
    EXPECT_GT(editor->audio().storage.Wave.Length(), 10000);
    EXPECT_LT(editor->audio().storage.Wave.Length(), 10500);
    EXPECT_TRUE(editor->isSampleEdited());
}

TEST_F(VoiceEditor, Screenshot)
{
    // The editor with phrase 14 in the waveform, saved with the test output (under
    // Xvfb with QT_QPA_PLATFORM=xcb it is the real window system's).
    editor->OpenVoice(voice);
    editor->grid()->SetCurrentCell(1, 14);
    settle();
    editor->resize(760, 620);
    editor->show();
    QTest::qWait(50);
    TRBSoundBox *box = editor->soundBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 4, 10));
    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(box->width() / 2, 10));
    QTest::qWait(50);
    const QString out = QStringLiteral(KORVIX_BINARY_DIR "/test-output");
    QDir().mkpath(out);
    const QImage shot = editor->grab().toImage();
    EXPECT_TRUE(shot.save(out + "/voice-editor.png"));
    EXPECT_EQ(editor->currentSample(), 14);
    EXPECT_FALSE(editor->isWaveEmpty());
    EXPECT_TRUE(box->HasSelection());
    // The voice's red picture and the selection's yellow are on the screen.
    bool red = false, yellow = false;
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2) {
            const QColor c = shot.pixelColor(x, y);
            red = red || c == QColor(Qt::red);
            yellow = yellow || c == QColor(255, 255, 0);
        }
    EXPECT_TRUE(red);
    EXPECT_TRUE(yellow);
}

TEST_F(VoiceEditor, SpeechReplacesEveryPhraseSoADamagedVoiceCanBeSaved)
{
    TOggRunner probe;
    if (!VoiceSpeech::available(probe))
        GTEST_SKIP() << "espeak-ng is not installed";
    const QString other = tmp.mkdir("dev2/Voices") + "/Short.vif";
    tmp.write("dev2/Voices/Short.chk", container({record(realPhrases()[0]), record(realPhrases()[1], 8, 1)}));
    editor->OpenVoice(other);
    EXPECT_EQ(frame(2), TVoice::DamagedFrame);
    EXPECT_EQ(frame(59), TVoice::DamagedFrame);
    QStringList offered;
    editor->prompts.speechLanguage = [&](QWidget *, const QStringList &languages, const QString &proposed) {
        offered = languages;
        EXPECT_EQ(proposed, "en");
        return QStringLiteral("en-us");
    };
    editor->SpeakClick();
    EXPECT_TRUE(offered.contains("pl"));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(editor->languageBox()->currentText(), "English US");
    for (int k = 1; k <= 59; ++k) {
        EXPECT_EQ(frame(k) & TVoice::DamagedBit, 0u) << k;
        EXPECT_EQ(editor->grid()->GetCell(3, k), "vorbis Mono 22050Hz") << k;
    }
    editor->Save();
    const VoiceChk::UnpackResult back = VoiceChk::Unpack(tmp.file("dev2/Voices/Short.chk"), tmp.file("back/"), true);
    EXPECT_EQ(back.count, 59);
    // "Depart" is spoken, not its note about the Test button.
    settle();
    editor->grid()->SetCurrentCell(1, 31);
    settle();
    EXPECT_GT(editor->audio().storage.Wave.Length(), 200);
    EXPECT_LT(editor->audio().storage.Wave.Length(), 2000);

    // An edited phrase is never spoken over.
    editor->NormalizeSound();
    editor->SpeakClick();
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(VoiceEditor, APlayingPhraseHoldsTheRow)
{
    if (QMediaDevices::audioOutputs().isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << "no sound server: run scripts/sound-server.sh first";
        GTEST_SKIP() << "no sound devices (run scripts/sound-server.sh)";
    }
    editor->OpenVoice(voice);
    editor->PlaySound();   // nothing while the first phrase is still loading
    EXPECT_FALSE(editor->isPlaying());
    editor->grid()->SetCurrentCell(1, 59);
    settle();
    editor->PlaySound();
    EXPECT_TRUE(editor->isPlaying());
    editor->grid()->SetCurrentCell(1, 58);
    EXPECT_EQ(editor->grid()->Row(), 59);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !editor->isPlaying(); }, 10000));
    editor->grid()->SetCurrentCell(1, 58);
    EXPECT_EQ(editor->grid()->Row(), 58);
}
