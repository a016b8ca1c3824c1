// SPDX-License-Identifier: GPL-3.0-or-later
// The Ogg conversions against the real vorbis-tools programs.
#include "media/OggRunner.h"
#include "media/SampleSounds.h"
#include "media/Wave.h"
#include "platform/Error.h"
#include "tests/media/AudioFixtures.h"
#include "tests/support/TestSupport.h"

#include <sndfile.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>

#include <gtest/gtest.h>

using namespace AudioFixtures;

namespace {
bool toolsInstalled()
{
    return !TOggRunner::findProgram("oggenc", {}).isEmpty() && !TOggRunner::findProgram("oggdec", {}).isEmpty();
}

// A program of our own in the work folder, found before the one on PATH.
void putProgram(const QString &folder, const QString &name, const QByteArray &script)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + script);
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

class Ogg : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!toolsInstalled())
            GTEST_SKIP() << "vorbis-tools (oggenc, oggdec) are not installed";
        runner.setFolder(tmp.file("ogg"));
    }
    // Encodes `wave` with the real encoder and keeps the result as `name`.
    QString encode(const TWave &wave, const QString &name)
    {
        EXPECT_TRUE(runner.OggEncode(wave));
        const QString out = tmp.file(name);
        EXPECT_TRUE(runner.CopyWorkOggTo(out));
        return out;
    }
    TempFolder tmp;
    TOggRunner runner;
};
} // namespace

TEST(OggWorkFolder, LiesInTheCommonDataFolder)
{
    EXPECT_TRUE(OggWorkFolder().endsWith("/Korvix/ogg/"));
    const TOggRunner r;
    EXPECT_EQ(r.workOgg(), OggWorkFolder() + "tmp.ogg");
    EXPECT_EQ(r.workWave(), OggWorkFolder() + "tmp.wav");
}

TEST_F(Ogg, RoundTripKeepsLengthPitchAndLevel)
{
    const QString ogg = encode(SampleSounds::tone(440, 2000, 50), "tone.ogg");
    EXPECT_EQ(TOggRunner::OggInfo(ogg), "vorbis Mono 22050Hz");

    ASSERT_TRUE(runner.OggDecode(ogg));
    TWave back;
    ASSERT_TRUE(back.LoadFromFile(runner.workWave()));
    ASSERT_TRUE(back.ConvertToPCM(Mono16bit22050Hz()));
    EXPECT_NEAR(back.Length(), 2000, 5);
    EXPECT_NEAR(frequencyOf(back), 440, 3);
    EXPECT_NEAR(back.PeakLevel(), 50, 3);
}

TEST_F(Ogg, InfoDescribesStereoAndRejectsWhatIsNotVorbis)
{
    tmp.mkdir("ogg");
    ASSERT_TRUE(writeSine(tmp.file("ogg/tmp.wav"), SF_FORMAT_PCM_16, 2, 44100, 300, 0.5));
    ASSERT_TRUE(runner.OggEncode());
    EXPECT_EQ(TOggRunner::OggInfo(runner.workOgg()), "vorbis 2 channels 44100Hz");

    const QByteArray vorbis = readAll(runner.workOgg());
    EXPECT_EQ(TOggRunner::OggInfo(tmp.write("text.ogg", "This is only a text file, written to look like a sound.\n")), "");
    EXPECT_EQ(TOggRunner::OggInfo(tmp.write("empty.ogg")), "");
    EXPECT_EQ(TOggRunner::OggInfo(tmp.write("short.ogg", vorbis.left(40))), "");
    EXPECT_EQ(TOggRunner::OggInfo(tmp.file("missing.ogg")), "");
    QByteArray notId = vorbis;
    notId[28] = 3;   // first packet a comment header, not the identification
    EXPECT_EQ(TOggRunner::OggInfo(tmp.write("comment-first.ogg", notId)), "");
}

TEST_F(Ogg, EncodingWithoutAWorkWaveOrWithABrokenEncoderFails)
{
    // An old work Ogg file must not pass for the result of this run.
    tmp.write("ogg/tmp.ogg", "stale");
    QFile::remove(runner.workWave());
    EXPECT_FALSE(runner.OggEncode());
    EXPECT_FALSE(QFileInfo::exists(runner.workOgg()));

    tmp.write("ogg/tmp.ogg", "stale");
    // Not a wave at all: the real encoder refuses it.
    tmp.write("ogg/tmp.wav", "no wave here");
    EXPECT_FALSE(runner.OggEncode());
    EXPECT_FALSE(QFileInfo::exists(runner.workOgg()));
}

TEST_F(Ogg, DecodingFailuresLeaveNoWorkWaveBehind)
{
    const QString good = encode(SampleSounds::tone(600, 300), "good.ogg");
    ASSERT_TRUE(runner.OggDecode(good));   // leaves a work wave ...
    ASSERT_TRUE(QFileInfo::exists(runner.workWave()));

    // ... which a failed run must not leave for the caller to load.
    EXPECT_FALSE(runner.OggDecode(tmp.write("text.ogg", "plain text, no Ogg pages")));
    EXPECT_FALSE(QFileInfo::exists(runner.workWave()));

    ASSERT_TRUE(runner.OggDecode(good));
    EXPECT_FALSE(runner.OggDecode(tmp.file("missing.ogg")));   // copy fails: decoder not run
    EXPECT_FALSE(QFileInfo::exists(runner.workWave()));
    EXPECT_FALSE(QFileInfo::exists(runner.workOgg()));
}

TEST_F(Ogg, MissingFailingAndHangingProgramsAreFailedConversions)
{
    const QString good = encode(SampleSounds::tone(600, 300), "good.ogg");
    TOggRunner none(tmp.file("ogg"));

    // Missing: neither in the work folder nor on PATH; stale outputs do not count.
    EXPECT_FALSE(none.RunHidden(tmp.file("ogg/nothing"), {}, none.folder()));
    {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", tmp.mkdir("empty-bin").toLocal8Bit());
        EXPECT_FALSE(none.OggDecode(good));
        EXPECT_FALSE(QFileInfo::exists(none.workWave()));
        SampleSounds::tone(600, 100).SaveToFile(none.workWave());
        tmp.write("ogg/tmp.ogg", "stale");
        EXPECT_FALSE(none.OggEncode());
        EXPECT_FALSE(QFileInfo::exists(none.workOgg()));
        qputenv("PATH", path);
    }

    // Failing: writes half an output, then reports an error.
    putProgram(none.folder(), "oggdec", "echo partial > tmp.wav\nexit 3\n");
    EXPECT_FALSE(none.OggDecode(good));
    EXPECT_FALSE(QFileInfo::exists(none.workWave()));

    // Hanging: ended at the time limit, with its output removed.
    putProgram(none.folder(), "oggenc", "echo partial > tmp.ogg\nexec sleep 30\n");
    none.setTimeLimit(500);
    SampleSounds::tone(600, 100).SaveToFile(none.workWave());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(none.OggEncode());
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(QFileInfo::exists(none.workOgg()));

    // The programs of the work folder come first, PATH after them.
    QFile::remove(QDir(none.folder()).filePath("oggdec"));
    QFile::remove(QDir(none.folder()).filePath("oggenc"));
    EXPECT_TRUE(none.OggEncode());
    EXPECT_TRUE(none.OggDecode(good));
}

TEST_F(Ogg, SampleSoundsAreWrittenAsWaveAndOgg)
{
    const QStringList files = writeSampleSounds(tmp.file("device/Sounds"), runner.folder());
    ASSERT_EQ(files.size(), 4);
    for (const QString &f : files) {
        SCOPED_TRACE(f.toStdString());
        if (f.endsWith(".ogg")) {
            EXPECT_EQ(TOggRunner::OggInfo(f), "vorbis Mono 22050Hz");
        } else {
            TWave w;
            ASSERT_TRUE(w.LoadFromFile(f));
            EXPECT_TRUE(w.Format().sameLayout(Mono16bit22050Hz()));
            EXPECT_GT(w.PeakLevel(), 40);
        }
    }
}

TEST_F(Ogg, HoldsNestWithinARunnerAndShutOutEveryOtherRunner)
{
    const TWave tone = SampleSounds::tone(500, 300);
    TOggRunner other(runner.folder());
    other.setTimeLimit(100);
    {
        const TOggRunner::Hold outer(runner);
        ASSERT_TRUE(outer);
        EXPECT_TRUE(QFileInfo::exists(runner.lockFile()));
        // The steps of one conversion take the lock their caller already holds.
        EXPECT_TRUE(runner.EncodeOggFile(tone, tmp.file("a.ogg")));
        TWave back;
        EXPECT_TRUE(runner.DecodeOggFile(tmp.file("a.ogg"), back));
        EXPECT_NEAR(back.Length(), 300, 5);
        try {
            other.EncodeOggFile(tone, tmp.file("b.ogg"));
            ADD_FAILURE() << "the other runner converted inside the hold";
        } catch (const KorvixError &e) {
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(runner.folder()))) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains("in use by another conversion")) << e.message().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(tmp.file("b.ogg")));
    }
    EXPECT_FALSE(QFileInfo::exists(runner.lockFile()));
    EXPECT_TRUE(other.EncodeOggFile(tone, tmp.file("b.ogg")));
}

TEST_F(Ogg, AnotherProcessKeepsTheWorkFolderUntilItEndsOrDies)
{
    // A real korvix-cli in the middle of a conversion: its encoder (ours, found first
    // in the work folder) says who it is and waits.
    const QString cache = tmp.file("cache");
    runner.setFolder(cache + "/Korvix/ogg");
    putProgram(runner.folder(), "oggenc", "echo $$ > ../encoder.pid\nexec sleep 60\n");
    const TWave tone = SampleSounds::tone(500, 300);
    tone.SaveToFile(tmp.file("in.wav"));
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CACHE_HOME", cache);
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), {"sound", "convert", tmp.file("in.wav"), tmp.file("cli.ogg")});
    ASSERT_TRUE(cli.waitForStarted());
    const QString pidFile = cache + "/Korvix/encoder.pid";
    for (int i = 0; i < 3000 && readAll(pidFile).trimmed().isEmpty(); ++i)
        QThread::msleep(10);
    const pid_t encoder = pid_t(readAll(pidFile).trimmed().toLongLong());
    ASSERT_GT(encoder, 0) << "the command line never started its encoder";

    runner.setTimeLimit(200);
    try {
        runner.EncodeOggFile(tone, tmp.file("mine.ogg"));
        ADD_FAILURE() << "converted while another process held the work folder";
    } catch (const KorvixError &e) {
        EXPECT_TRUE(e.message().contains("korvix-cli")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QString::number(cli.processId()))) << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(tmp.file("mine.ogg")));

    // Killed while converting, it leaves its lock behind; a dead owner's lock is taken.
    cli.kill();
    cli.waitForFinished();
    ::kill(encoder, SIGKILL);
    EXPECT_TRUE(QFileInfo::exists(runner.lockFile()));
    QFile::remove(QDir(runner.folder()).filePath("oggenc"));
    runner.setTimeLimit(60000);
    EXPECT_TRUE(runner.EncodeOggFile(tone, tmp.file("mine.ogg")));
    EXPECT_EQ(TOggRunner::OggInfo(tmp.file("mine.ogg")), "vorbis Mono 22050Hz");
    EXPECT_FALSE(QFileInfo::exists(tmp.file("cli.ogg")));
}
