// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli sound, run as the user runs it.
#include "media/OggRunner.h"
#include "media/Wave.h"
#include "tests/media/AudioFixtures.h"
#include "tests/support/TestSupport.h"

#include <sndfile.h>

#include <QProcess>

#include <gtest/gtest.h>

namespace {
struct SoundRun {
    int code;
    QString out, err;
};

SoundRun cli(const QStringList &args, const QString &cacheHome)
{
    QProcess p;
    // Its own work folder, since other tests convert at the same time.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CACHE_HOME", cacheHome);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), QStringList{"sound"} + args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
} // namespace

TEST(SoundCli, InfoConvertAndNormalize)
{
    TempFolder tmp;
    const auto cli = [&](const QStringList &args) { return ::cli(args, tmp.file("cache")); };
    ASSERT_TRUE(AudioFixtures::writeSine(tmp.file("in.wav"), SF_FORMAT_FLOAT, 2, 44100, 440, 0.5));
    SoundRun r = cli({"info", tmp.file("in.wav")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("format: float 2 channels 44100Hz 32 bit")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("length: 500 ms"));
    EXPECT_TRUE(r.out.contains("peak: 49 %") || r.out.contains("peak: 50 %")) << r.out.toStdString();

    r = cli({"normalize", tmp.file("in.wav"), tmp.file("loud.wav")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    TWave loud;
    ASSERT_TRUE(loud.LoadFromFile(tmp.file("loud.wav")));
    EXPECT_TRUE(loud.Format().sameLayout(Mono16bit22050Hz()));
    EXPECT_GE(loud.PeakLevel(), 98);

    if (TOggRunner::findProgram("oggenc", {}).isEmpty())
        GTEST_SKIP() << "vorbis-tools are not installed";
    r = cli({"convert", tmp.file("loud.wav"), tmp.file("loud.ogg")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = cli({"info", tmp.file("loud.ogg")});
    EXPECT_EQ(r.out, "vorbis Mono 22050Hz\n");
    r = cli({"convert", tmp.file("loud.ogg"), tmp.file("back.wav")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    TWave back;
    ASSERT_TRUE(back.LoadFromFile(tmp.file("back.wav")));
    EXPECT_NEAR(back.Length(), 500, 5);

    r = cli({"info", tmp.write("junk.wav", "junk")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Not a RIFF wave file"));
    EXPECT_EQ(cli({"convert", tmp.file("junk.wav")}).code, 2);
}

#include <QFileInfo>

namespace {
// Silent 8-bit mono samples under a header claiming `rate` samples/s.
QString waveClaimingRate(const TempFolder &tmp, const QString &name, qsizetype bytes, int rate)
{
    TWave w;
    w.Assign(TWaveFormat::pcm(1, rate, 8), QByteArray(bytes, char(0x80)));
    return tmp.write(name, w.toRiff());
}
} // namespace

TEST(SoundCli, ImpossibleRatesAndOversizedConversionsAreRefusedNamingTheFile)
{
    TempFolder tmp;
    const auto cli = [&](const QStringList &args) { return ::cli(args, tmp.file("cache")); };
    // 1 MB claiming one sample per second: 44 GB once resampled to the working rate.
    const QString oneHz = waveClaimingRate(tmp, "one-hz.wav", 1 << 20, 1);
    for (const QStringList &args : {QStringList{"info", oneHz}, QStringList{"convert", oneHz, tmp.file("out.wav")}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const SoundRun r = cli(args);
        EXPECT_EQ(r.code, 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(oneHz)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("sample rate 1 Hz")) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(tmp.file("out.wav")));

    // A real rate, but 7 MB of 8-bit samples at 1000 Hz would convert to 295 MB.
    const QString slow = waveClaimingRate(tmp, "slow.wav", 7'000'000, 1000);
    SoundRun r = cli({"info", slow});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("length: 7000000 ms")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("peak: unknown (Converted, the sound would take 295 MB")) << r.out.toStdString();
    r = cli({"convert", slow, tmp.file("out.wav")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(slow)) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("more than 256 MB")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(tmp.file("out.wav")));
}

namespace {
// korvix-cli sound started and left running.
std::unique_ptr<QProcess> startCli(const QStringList &args, const QString &cacheHome)
{
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CACHE_HOME", cacheHome);
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), QStringList{"sound"} + args);
    return p;
}

void finish(QProcess &p)
{
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}
} // namespace

TEST(SoundCli, ConversionsRunningAtOnceInOneWorkFolderKeepTheirOwnSounds)
{
    if (TOggRunner::findProgram("oggenc", {}).isEmpty() || TOggRunner::findProgram("oggdec", {}).isEmpty())
        GTEST_SKIP() << "vorbis-tools are not installed";
    TempFolder tmp;
    const QString cache = tmp.file("cache");   // one work folder for both processes
    struct Sound {
        const char *name;
        int hz;
        double seconds;
    };
    const Sound sounds[] = {{"low", 440, 0.7}, {"high", 1200, 1.6}};
    for (const Sound &s : sounds)
        ASSERT_TRUE(AudioFixtures::writeSine(tmp.file(QString::fromLatin1(s.name) + ".wav"), SF_FORMAT_PCM_16, 1,
                                             22050, s.hz, s.seconds));
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const auto file = [&](const Sound &s, const char *suffix) {
            return tmp.file(QStringLiteral("%1-%2.%3").arg(QLatin1String(s.name)).arg(round).arg(QLatin1String(suffix)));
        };
        // Both encode at once, then both decode their results at once.
        std::vector<std::unique_ptr<QProcess>> runs;
        for (const Sound &s : sounds)
            runs.push_back(startCli({"convert", tmp.file(QString::fromLatin1(s.name) + ".wav"), file(s, "ogg")}, cache));
        for (auto &p : runs)
            finish(*p);
        runs.clear();
        for (const Sound &s : sounds)
            runs.push_back(startCli({"convert", file(s, "ogg"), file(s, "wav")}, cache));
        for (auto &p : runs)
            finish(*p);
        for (const Sound &s : sounds) {
            SCOPED_TRACE(s.name);
            TWave back;
            ASSERT_TRUE(back.LoadFromFile(file(s, "wav")));
            EXPECT_NEAR(back.Length(), s.seconds * 1000, 10);
            EXPECT_NEAR(AudioFixtures::frequencyOf(back), s.hz, 10);
        }
    }
}
