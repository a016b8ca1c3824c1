// SPDX-License-Identifier: GPL-3.0-or-later
// Recording and playback on the real sound server (scripts/sound-server.sh starts one
// with a null sink and a tone source on machines without sound hardware).
#include "media/AudioDevices.h"
#include "media/AudioKit.h"
#include "platform/Error.h"
#include "tests/media/AudioFixtures.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {
constexpr const char *NoServerChild = "KORVIX_TEST_NO_SOUND_SERVER";

void requireDevices()
{
    if (!QMediaDevices::audioInputs().isEmpty() && !QMediaDevices::audioOutputs().isEmpty())
        return;
    // CI starts a server; there a missing one is a failure, elsewhere a skip.
    if (qEnvironmentVariableIsSet("CI"))
        FAIL() << "no sound server: run scripts/sound-server.sh first";
    GTEST_SKIP() << "no sound devices (run scripts/sound-server.sh)";
}
} // namespace

TEST(AudioDevices, RecordsOneSecondWithALevelReportPerBufferThenPlaysItOnce)
{
    if (qEnvironmentVariableIsSet(NoServerChild))
        GTEST_SKIP();
    requireDevices();
    if (HasFatalFailure() || IsSkipped())
        return;

    TWaveStorage storage;
    storage.Wave = AudioFixtures::constant(5, 500);   // replaced by the recording
    TStockAudioRecorder rec;
    rec.Stock = &storage;
    QVector<int> levels;
    int recStops = 0;
    QObject::connect(&rec, &TStockAudioRecorder::OnLevel, [&](int level) {
        levels << level;
        if (rec.Position() >= 1000)
            rec.SetActive(false);
    });
    QObject::connect(&rec, &TStockAudioRecorder::OnDeactivate, [&] { ++recStops; });
    rec.SetActive(true);
    EXPECT_TRUE(rec.Active());
    EXPECT_TRUE(QTest::qWaitFor([&] { return recStops > 0; }, 10000));
    QTest::qWait(300);
    EXPECT_EQ(recStops, 1);
    EXPECT_FALSE(rec.Active());
    EXPECT_TRUE(rec.lastError().isEmpty()) << rec.lastError().toStdString();
    EXPECT_TRUE(storage.Wave.Format().sameLayout(Mono16bit22050Hz()));
    EXPECT_GE(storage.Wave.Length(), 1000);
    EXPECT_LE(storage.Wave.Length(), 1200);
    EXPECT_GE(levels.size(), 9);
    EXPECT_LE(levels.size(), 11);
    for (int l : levels)
        EXPECT_TRUE(l >= 0 && l <= 100) << l;
    if (QMediaDevices::defaultAudioInput().id().contains("korvix_mic")) {
        // The server's tone source: a real signal came through.
        EXPECT_GT(*std::max_element(levels.begin(), levels.end()), 0);
        EXPECT_GT(storage.Wave.PeakLevel(), 0);
    }

    TAudioPlayer player;
    player.Wave = storage.Wave;
    int playLevels = 0, playStops = 0;
    QObject::connect(&player, &TAudioPlayer::OnLevel, [&](int) { ++playLevels; });
    QObject::connect(&player, &TAudioPlayer::OnDeactivate, [&] { ++playStops; });
    player.SetActive(true);
    EXPECT_TRUE(player.Active());
    EXPECT_TRUE(QTest::qWaitFor([&] { return playStops > 0; }, 10000));
    QTest::qWait(300);
    EXPECT_EQ(playStops, 1);
    EXPECT_FALSE(player.Active());
    EXPECT_GE(playLevels, 4);
    EXPECT_NEAR(player.Position(), storage.Wave.Length(), 300);

    // Stopped early: once again exactly one deactivation.
    playStops = 0;
    player.SetActive(true);
    QTest::qWait(250);
    player.SetActive(false);
    player.SetActive(false);
    QTest::qWait(300);
    EXPECT_EQ(playStops, 1);
    EXPECT_LT(player.Position(), 900);
}

TEST(AudioDevices, KitStopsRecordingAfterTenSecondsAndRefreshesTheBox)
{
    if (qEnvironmentVariableIsSet(NoServerChild))
        GTEST_SKIP();
    requireDevices();
    if (HasFatalFailure() || IsSkipped())
        return;
    QWidget parent;
    TAudioKit kit(&parent);
    kit.box()->resize(414, 60);
    int stops = 0;
    QObject::connect(&kit.recorder, &TStockAudioRecorder::OnDeactivate, [&] { ++stops; });
    kit.Record();
    EXPECT_TRUE(kit.isRecording());
    EXPECT_TRUE(QTest::qWaitFor([&] { return stops > 0; }, 15000));
    EXPECT_EQ(stops, 1);
    // At the first level report after 10000 ms: one buffer more at most.
    EXPECT_GT(kit.storage.Wave.Length(), 10000);
    // Plus what the device still held when it was stopped: under two buffers.
    EXPECT_LE(kit.storage.Wave.Length(), 10300);
    EXPECT_EQ(kit.box()->CursorX(), 14);   // RefreshWave(true) after recording
    EXPECT_EQ(kit.box()->Caption(), " " + SoundTimeText(kit.storage.Wave.Length()) + " ");

    // Playing a selection plays just that and leaves the cursor at the end.
    QTest::mouseClick(kit.box(), Qt::LeftButton, {}, QPoint(54, 10));
    QTest::mouseClick(kit.box(), Qt::RightButton, {}, QPoint(94, 10));
    const qint64 selected = kit.box()->SelectionLength();
    ASSERT_GT(selected, 900);
    int playStops = 0;
    QObject::connect(&kit.player, &TAudioPlayer::OnDeactivate, [&] { ++playStops; });
    kit.Play();
    EXPECT_TRUE(kit.isPlaying());
    EXPECT_TRUE(QTest::qWaitFor([&] { return playStops > 0; }, 10000));
    EXPECT_EQ(kit.player.Wave.Length(), selected);
    EXPECT_EQ(kit.box()->CursorX(), 414);   // ShowLevel(0, Length, 0): the end, kept inside
}

// Run in a child process whose sound server address leads nowhere.
TEST(AudioDevices, AMissingDeviceRaisesTheErrorNamingIt)
{
    if (!qEnvironmentVariableIsSet(NoServerChild)) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(NoServerChild, "1");
        env.insert("PULSE_SERVER", "unix:/nonexistent/korvix-no-server");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=AudioDevices.AMissingDeviceRaisesTheErrorNamingIt"});
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
        return;
    }
    TWaveStorage storage;
    TStockAudioRecorder rec;
    rec.Stock = &storage;
    try {
        rec.SetActive(true);
        ADD_FAILURE() << "recording started without a device";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), "No sound input device is available");
    }
    EXPECT_FALSE(rec.Active());
    TAudioPlayer player;
    player.Wave = AudioFixtures::constant(100, 100);
    try {
        player.SetActive(true);
        ADD_FAILURE() << "playback started without a device";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), "No sound output device is available");
    }
    EXPECT_FALSE(player.Active());
}
