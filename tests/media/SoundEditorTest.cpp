// SPDX-License-Identifier: GPL-3.0-or-later
// The sound editor against the real Ogg programs and the real sound server.
#include "media/Sound.h"

#include "app/CommandRules.h"
#include "media/AudioKit.h"
#include "media/OggRunner.h"
#include "media/SampleSounds.h"
#include "platform/Error.h"
#include "tests/media/AudioFixtures.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <sndfile.h>

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FakeShell : public QuietShell {
public:
    explicit FakeShell(const QString &ini) : QuietShell(ini) {}
    void UpdateTreeView(const QString &path, int action) override { updates << qMakePair(path, action); }
    QList<QPair<QString, int>> updates;
};

bool oggTools()
{
    return !TOggRunner::findProgram("oggenc", {}).isEmpty() && !TOggRunner::findProgram("oggdec", {}).isEmpty();
}

struct Fixture {
    TempFolder tmp;
    FakeShell shell{tmp.file("Korvix.ini")};
    QPointer<TSound> edit = new TSound(shell);
    QStringList messages, saveDirs;
    QString saveName, importName;
    QMessageBox::StandardButton answer = QMessageBox::No;
    int questions = 0;

    Fixture()
    {
        edit->audio().runner.setFolder(tmp.file("ogg"));
        edit->prompts.askSave = [this](QWidget *) {
            ++questions;
            return answer;
        };
        edit->prompts.saveFile = [this](QWidget *, const QString &dir) {
            saveDirs << dir;
            return saveName;
        };
        edit->prompts.openSound = [this](QWidget *) { return importName; };
        edit->prompts.message = [this](QWidget *, const QString &text) { messages << text; };
        edit->show();
    }
    ~Fixture() { delete edit.data(); }

    QString oggOf(const TWave &wave, const QString &name)
    {
        const QString path = tmp.file(name);
        EXPECT_TRUE(edit->audio().runner.EncodeOggFile(wave, path));
        return path;
    }
    void select(int fromX, int toX)
    {
        QWidget *box = reinterpret_cast<QWidget *>(edit->soundBox());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(fromX, 20));
        QTest::mouseClick(box, Qt::RightButton, {}, QPoint(toX, 20));
    }
    void close()
    {
        edit->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

// The enabling rule of a sound command for this editor on top.
bool enabled(TSound *e, SharedCommand c)
{
    EditorContext ctx;
    ctx.active = ctx.top = e;
    ctx.anyEditor = true;
    return CommandRules::enabled(c, ctx, false);
}

void requireDevices()
{
    if (!QMediaDevices::audioInputs().isEmpty() && !QMediaDevices::audioOutputs().isEmpty())
        return;
    if (qEnvironmentVariableIsSet("CI"))
        FAIL() << "no sound server: run scripts/sound-server.sh first";
    GTEST_SKIP() << "no sound devices (run scripts/sound-server.sh)";
}

} // namespace

TEST(SoundEditor, OpensOggInAnyCaseAndWaveConvertedToTheWorkingFormat)
{
    if (!oggTools())
        GTEST_SKIP() << "vorbis-tools are not installed";
    Fixture f;
    const QString ogg = f.oggOf(SampleSounds::tone(440, 700), "HORN.OGG");
    f.edit->OpenSound(ogg);
    EXPECT_FALSE(f.edit->isWaveEmpty());
    EXPECT_NEAR(double(f.edit->audio().storage.Wave.Length()), 700.0, 30.0);
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_EQ(f.edit->windowTitle(), ogg);
    EXPECT_TRUE(f.messages.isEmpty());

    Fixture w;
    ASSERT_TRUE(AudioFixtures::writeSine(w.tmp.file("st.wav"), SF_FORMAT_FLOAT, 2, 44100, 440, 0.5));
    w.edit->OpenSound(w.tmp.file("st.wav"));
    EXPECT_TRUE(w.edit->audio().storage.Wave.Format().sameLayout(Mono16bit22050Hz()));
    EXPECT_EQ(w.edit->audio().storage.Wave.Length(), 500);
}

TEST(SoundEditor, AFileThatDoesNotDecodeLeavesItEmptyWithAMessage)
{
    Fixture f;
    const QString bad = f.tmp.write("bad.ogg", QByteArray(5000, 'x'));
    f.edit->OpenSound(bad);
    EXPECT_TRUE(f.edit->isWaveEmpty());
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_EQ(f.edit->soundPath(), bad);
    EXPECT_EQ(f.messages.size(), 1);
    f.edit->OpenSound(f.tmp.write("bad.wav", "RIFF....WAVEjunk"));
    EXPECT_TRUE(f.edit->isWaveEmpty());
    EXPECT_EQ(f.messages.size(), 2);
}

TEST(SoundEditor, SavesOggOrWaveByTheTargetsEnding)
{
    if (!oggTools())
        GTEST_SKIP() << "vorbis-tools are not installed";
    Fixture f;
    const QString folder = f.tmp.mkdir("dev/Sounds");
    // New on the "Sounds" category: the save asks for a name in that folder.
    f.edit->OpenSound(folder + "/");
    f.edit->audio().storage.Wave = SampleSounds::tone(600, 400);
    f.edit->Cap(true);
    f.saveName = folder + "/Bell.ogg";
    f.edit->Save();
    EXPECT_EQ(f.saveDirs, QStringList{folder + "/"});
    EXPECT_EQ(TOggRunner::OggInfo(f.saveName), "vorbis Mono 22050Hz");
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_EQ(f.shell.updates, (QList<QPair<QString, int>>{{f.saveName, 7}}));
    EXPECT_EQ(f.edit->soundPath(), f.saveName); // the window goes on under the name saved as

    const QString wav = folder + "/Bell.wav";
    f.edit->Cap(true);
    ASSERT_TRUE(f.edit->SaveSound(wav));
    TWave back;
    ASSERT_TRUE(back.LoadFromFile(wav));
    EXPECT_EQ(AudioFixtures::samplesOf(back), AudioFixtures::samplesOf(f.edit->audio().storage.Wave));

    // Opened from its file, Save writes it in place without asking.
    Fixture again;
    again.edit->OpenSound(wav);
    again.edit->NormalizeSound();
    again.edit->Save();
    EXPECT_TRUE(again.saveDirs.isEmpty());
    EXPECT_FALSE(again.edit->isModified());
    ASSERT_TRUE(back.LoadFromFile(wav));
    EXPECT_GE(back.PeakLevel(), 98);
}

TEST(SoundEditor, AMissingEncoderSavesNothingAndKeepsTheSoundModified)
{
    Fixture f;
    const QString target = f.tmp.write("old.ogg", "previous content");
    f.edit->audio().storage.Wave = SampleSounds::tone(600, 300);
    f.edit->Cap(true);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", f.tmp.mkdir("empty-bin").toLocal8Bit());
    const bool saved = f.edit->SaveSound(target);
    const bool savedNew = f.edit->SaveSound(f.tmp.file("new.ogg"));
    qputenv("PATH", path);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(savedNew);
    EXPECT_EQ(f.messages, QStringList({"Problem with saving files!", "Problem with saving files!"}));
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_EQ(f.edit->windowTitle(), "*");
    EXPECT_EQ(readAll(target), "previous content");
    EXPECT_FALSE(QFile::exists(f.tmp.file("new.ogg")));
    EXPECT_TRUE(f.shell.updates.isEmpty());
    // Closing with Yes then keeps the window, since the save failed.
    f.answer = QMessageBox::Yes;
    f.saveName = target;
    f.edit->Cap(true);
    qputenv("PATH", f.tmp.file("empty-bin").toLocal8Bit());
    f.close();
    qputenv("PATH", path);
    EXPECT_FALSE(f.edit.isNull());
}

TEST(SoundEditor, EditingCommandsFollowTheSelectionAndMarkTheSound)
{
    Fixture f;
    f.edit->resize(600, 160);
    f.edit->audio().storage.Wave = SampleSounds::tone(500, 1000, 20);
    f.edit->soundBox()->RefreshWave(true);
    EXPECT_FALSE(f.edit->hasWaveSelection());
    f.select(100, 300);
    ASSERT_TRUE(f.edit->hasWaveSelection());
    const qint64 from = f.edit->soundBox()->SelectionStart(), len = f.edit->soundBox()->SelectionLength();
    f.edit->Silence1Click();
    EXPECT_TRUE(f.edit->isModified());
    const TWave &doc = f.edit->audio().storage.Wave;
    EXPECT_EQ(doc.Length(), 1000);
    TWave part;
    ASSERT_TRUE(part.CopyRange(doc, from + 5, len - 10));
    EXPECT_EQ(part.PeakLevel(), 0);

    f.edit->Cap(false);
    f.edit->NormalizeSound();
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_GE(doc.PeakLevel(), 98);
    f.select(100, 300);
    f.edit->DeleteSound();
    EXPECT_NEAR(double(doc.Length()), double(1000 - len), 2.0);
    f.select(50, 150);
    const qint64 keep = f.edit->soundBox()->SelectionLength();
    f.edit->CropSound();
    EXPECT_NEAR(double(doc.Length()), double(keep), 2.0);

    // Import replaces the sound; a file that cannot be read keeps it, with a message.
    ASSERT_TRUE(AudioFixtures::writeSine(f.tmp.file("in.wav"), SF_FORMAT_PCM_16, 1, 22050, 300, 0.25));
    f.edit->Cap(false);
    f.importName = f.tmp.file("in.wav");
    f.edit->ImportSound();
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_EQ(doc.Length(), 250);
    f.edit->Cap(false);
    f.importName = f.tmp.write("junk.wav", "junk");
    f.edit->ImportSound();
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_EQ(doc.Length(), 250);
    EXPECT_EQ(f.messages.size(), 1);
}

TEST(SoundEditor, TheSoundToolbarsRulesForThisEditor)
{
    Fixture f;
    f.edit->resize(600, 160);
    for (SharedCommand c : {SharedCommand::PlaySound, SharedCommand::NormalizeSound, SharedCommand::DeleteSound,
                            SharedCommand::TrimSound, SharedCommand::StopSound, SharedCommand::SaveSound,
                            SharedCommand::DelSound})
        EXPECT_FALSE(enabled(f.edit, c)) << int(c);
    EXPECT_TRUE(enabled(f.edit, SharedCommand::RecSound));
    EXPECT_TRUE(enabled(f.edit, SharedCommand::ImportSound));

    f.edit->audio().storage.Wave = SampleSounds::tone(500, 1000);
    f.edit->soundBox()->RefreshWave(true);
    EXPECT_TRUE(enabled(f.edit, SharedCommand::PlaySound));
    EXPECT_TRUE(enabled(f.edit, SharedCommand::NormalizeSound));
    EXPECT_FALSE(enabled(f.edit, SharedCommand::TrimSound));
    f.select(100, 300);
    EXPECT_TRUE(enabled(f.edit, SharedCommand::DeleteSound));
    EXPECT_TRUE(enabled(f.edit, SharedCommand::TrimSound));
    EXPECT_FALSE(enabled(f.edit, SharedCommand::SaveSound));
    EXPECT_FALSE(enabled(f.edit, SharedCommand::DelSound));

    // Routed commands reach the editor.
    EditorContext ctx;
    ctx.active = ctx.top = f.edit;
    const qint64 before = f.edit->audio().storage.Wave.Length();
    CommandRules::route(SharedCommand::TrimSound, ctx);
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_LT(f.edit->audio().storage.Wave.Length(), before);
}

TEST(SoundEditor, RecordsUntilItStopsByItselfPastTenSecondsAndPlays)
{
    requireDevices();
    if (HasFatalFailure() || IsSkipped())
        return;
    Fixture f;
    f.edit->RecSound();
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_TRUE(f.edit->isRecording());
    EXPECT_TRUE(enabled(f.edit, SharedCommand::StopSound));
    EXPECT_FALSE(enabled(f.edit, SharedCommand::RecSound));
    EXPECT_FALSE(enabled(f.edit, SharedCommand::PlaySound));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.edit->isRecording(); }, 20000));
    const qint64 length = f.edit->audio().storage.Wave.Length();
    EXPECT_GT(length, 10000);
    EXPECT_LT(length, 11000);
    EXPECT_TRUE(enabled(f.edit, SharedCommand::PlaySound));

    f.select(100, 120);
    f.edit->PlaySound();
    EXPECT_TRUE(f.edit->isPlaying());
    EXPECT_TRUE(enabled(f.edit, SharedCommand::StopSound));
    f.edit->StopSound();
    EXPECT_FALSE(f.edit->isPlaying());
}

TEST(SoundEditor, TheCloseQuestionOffersCancel)
{
    Fixture f;
    f.edit->Cap(true);
    f.answer = QMessageBox::Cancel;
    f.close();
    ASSERT_FALSE(f.edit.isNull());
    EXPECT_EQ(f.questions, 1);
    f.answer = QMessageBox::No;
    f.close();
    EXPECT_TRUE(f.edit.isNull());

    Fixture g;
    g.edit->prompts.askSave = TSound(g.shell).prompts.askSave;
    g.edit->Cap(true);
    QString title;
    QMessageBox::StandardButtons buttons;
    onNextModal([&](QWidget *w) {
        title = w->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(w))
            buttons = box->standardButtons();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    g.close();
    EXPECT_EQ(title, "Sounds");
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_FALSE(g.edit.isNull());
}

TEST(SoundEditor, ShowsTheWaveform)
{
    Fixture f;
    f.edit->resize(480, 180);
    // Words of rising and falling loudness with pauses, as a recorded phrase looks.
    TWave phrase = SampleSounds::tone(300, 150, 10);
    for (int i = 0; i < 8; ++i) {
        const TWave word = SampleSounds::chirp(200 + 100 * i, 900, 120, 15 + 10 * (i % 5));
        phrase.AppendData(word.Data().constData(), word.DataSize());
        const TWave pause = AudioFixtures::constant(0, 60);
        phrase.AppendData(pause.Data().constData(), pause.DataSize());
    }
    f.edit->audio().storage.Wave = phrase;
    f.edit->soundBox()->RefreshWave(true);
    f.select(120, 260);
    QApplication::processEvents();
    const QImage shot = f.edit->grab().toImage();
    shot.save(QStringLiteral(KORVIX_BINARY_DIR) + "/sound-editor.png");
    // The wave is drawn: the box's middle row holds more than its background.
    QSet<QRgb> colours;
    const QImage box = f.edit->soundBox()->render();
    for (int x = 20; x < box.width() - 5; ++x)
        colours.insert(box.pixel(x, box.height() / 2));
    EXPECT_GT(colours.size(), 1);
}
