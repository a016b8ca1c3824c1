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
