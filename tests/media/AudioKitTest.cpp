// SPDX-License-Identifier: GPL-3.0-or-later
// The kit as the sound, voice and POI editors use it: opening, importing and saving.
#include "media/AudioKit.h"
#include "media/SampleSounds.h"
#include "tests/media/AudioFixtures.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

namespace {
class AudioKit : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (TOggRunner::findProgram("oggenc", {}).isEmpty() || TOggRunner::findProgram("oggdec", {}).isEmpty())
            GTEST_SKIP() << "vorbis-tools are not installed";
        kit.runner.setFolder(tmp.file("work"));
        kit.box()->resize(414, 80);
    }
    TempFolder tmp;
    QWidget window;
    TAudioKit kit{&window};
};
} // namespace

TEST_F(AudioKit, SavesAsOggOrWaveByNameAndOpensEitherWhateverTheCase)
{
    kit.storage.Wave = SampleSounds::tone(700, 1500);
    ASSERT_TRUE(kit.SaveSound(tmp.file("Alarm.OGG")));
    EXPECT_EQ(TOggRunner::OggInfo(tmp.file("Alarm.OGG")), "vorbis Mono 22050Hz");
    ASSERT_TRUE(kit.SaveSound(tmp.file("Alarm.wav")));
    EXPECT_TRUE(readAll(tmp.file("Alarm.wav")).startsWith("RIFF"));

    kit.storage.Wave.Clear();
    ASSERT_TRUE(kit.LoadSound(tmp.file("Alarm.OGG")));
    EXPECT_NEAR(kit.storage.Wave.Length(), 1500, 5);
    EXPECT_NEAR(AudioFixtures::frequencyOf(kit.storage.Wave), 700, 5);
    EXPECT_EQ(kit.box()->Caption(), " 1.50 ");

    kit.storage.Wave.Clear();
    ASSERT_TRUE(kit.LoadSound(tmp.file("Alarm.wav")));
    EXPECT_EQ(kit.storage.Wave.Length(), 1500);
    EXPECT_FALSE(kit.isEmpty());
}

TEST_F(AudioKit, AFailedImportLeavesTheSoundAsItWas)
{
    kit.storage.Wave = SampleSounds::tone(300, 500);
    kit.box()->RefreshWave(true);
    const QByteArray before = kit.storage.Wave.Data();
    // An earlier conversion's work wave must not be taken for this one's result.
    kit.storage.Wave.SaveToFile(tmp.write("work/tmp.wav"));
    EXPECT_FALSE(kit.LoadSound(tmp.write("broken.ogg", "not an Ogg stream")));
    EXPECT_FALSE(kit.LoadSound(tmp.file("missing.ogg")));
    EXPECT_FALSE(kit.LoadSound(tmp.write("broken.wav", "RIFF")));
    EXPECT_EQ(kit.storage.Wave.Data(), before);
    EXPECT_EQ(kit.box()->Caption(), " 0.50 ");

    // A failed encode (no encoder to be found) leaves the target as it was.
    tmp.write("keep.ogg", "old content");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tmp.mkdir("empty-bin").toLocal8Bit());
    const bool saved = kit.SaveSound(tmp.file("keep.ogg"));
    qputenv("PATH", path);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readAll(tmp.file("keep.ogg")), "old content");
}
