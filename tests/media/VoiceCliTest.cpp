// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli chk unpack|pack and vif dump, run as a user runs them.
#include "media/VoiceChk.h"
#include "media/OggRunner.h"
#include "media/VoiceFile.h"
#include "media/VoiceSpeech.h"
#include "platform/DeviceCodec.h"
#include "tests/media/VoiceFixtures.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace VoiceFixtures;

namespace {
QByteArray record(const QByteArray &ogg, quint32 one = 1, quint32 eight = 8)
{
    const int size = (16 + int(ogg.size()) + 3) / 4 * 4;
    QByteArray r(2, '\0');
    r += char(0);
    r += char(size / 4 - 1);
    r += word(one) + word(eight) + word(quint32(ogg.size())) + ogg;
    r.resize(size, '\0');
    return r;
}
} // namespace

TEST(VoiceCli, SavedVoiceUnpacksToTheSamePhrases)
{
    if (!oggToolsInstalled() || realPhrases().size() != 59)
        GTEST_SKIP() << "vorbis-tools are not installed";
    TempFolder tmp;
    const QString phrases = tmp.mkdir("phrases") + "/";
    writePhraseFiles(phrases);
    VoiceFile::VifData vif;
    vif.name = "Eve";
    const QString voice = tmp.mkdir("Voices") + "/Eve.vif";
    VoiceFile::SaveVoice(voice, phrases, vif, VoiceFile::blankPicture(), DeviceCodec());

    const CliRun unpacked = runCli({"chk", "unpack", tmp.file("Voices/Eve.chk"), tmp.file("out")});
    ASSERT_EQ(unpacked.code, 0) << unpacked.err.toStdString();
    QByteArray expected;
    for (int k = 1; k <= 59; ++k)
        expected += QByteArray::number(k) + "\tok\n";
    EXPECT_EQ(unpacked.out, expected);
    for (int k = 1; k <= 59; ++k)
        EXPECT_EQ(readAll(VoiceChk::PhraseFile(tmp.file("out/"), k)), realPhrases()[size_t(k - 1)]) << k;

    // Packing the unpacked folder gives the container back byte for byte.
    const CliRun packed = runCli({"chk", "pack", tmp.file("out"), tmp.file("again.chk")});
    ASSERT_EQ(packed.code, 0) << packed.err.toStdString();
    EXPECT_EQ(readAll(tmp.file("again.chk")), readAll(tmp.file("Voices/Eve.chk")));
}

TEST(VoiceCli, UnpackMarksDamagedPhrasesAndRefusesABadHeader)
{
    TempFolder tmp;
    const QByteArray r1 = record("one"), r2 = record("two", 8, 1);
    const quint32 end1 = 16 + quint32(r1.size()), end2 = end1 + quint32(r2.size());
    const QByteArray chk = word(2) + word(16) + word(end1) + word(end2) + r1 + r2;
    tmp.write("out/tmp02.ogg", "old phrase");
    tmp.write("out/tmp07.ogg", "phrase of another voice");
    const CliRun run = runCli({"chk", "unpack", tmp.write("two.chk", chk), tmp.file("out")});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "1\tok\n2\tdamaged\n");
    EXPECT_EQ(readAll(tmp.file("out/tmp01.ogg")), "one");
    EXPECT_FALSE(QFileInfo::exists(tmp.file("out/tmp02.ogg")));
    EXPECT_FALSE(QFileInfo::exists(tmp.file("out/tmp07.ogg")));

    tmp.write("kept/tmp01.ogg", "kept");
    const CliRun bad = runCli({"chk", "unpack", tmp.write("bad.chk", word(1) + word(12) + word(99)), tmp.file("kept")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.err.contains("bad.chk")) << bad.err.toStdString();
    EXPECT_EQ(readAll(tmp.file("kept/tmp01.ogg")), "kept");
    const CliRun none = runCli({"chk", "unpack", tmp.file("none.chk"), tmp.file("nothing")});
    EXPECT_EQ(none.code, 1);
    EXPECT_FALSE(QFileInfo::exists(tmp.file("nothing")));
}

TEST(VoiceCli, PackRefusesAMissingOrTooLongPhraseAndKeepsTheOutput)
{
    TempFolder tmp;
    for (int k = 1; k <= 59; ++k)
        tmp.write("in/" + VoiceChk::PhraseFileName(k), "OggS" + QByteArray::number(k));
    QFile::remove(tmp.file("in/tmp33.ogg"));
    const QString out = tmp.write("out.chk", "old container");
    const CliRun missing = runCli({"chk", "pack", tmp.file("in"), out});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains("Phrase 33 (tmp33.ogg)")) << missing.err.toStdString();
    EXPECT_EQ(readAll(out), "old container");

    tmp.write("in/tmp33.ogg", QByteArray(VoiceChk::MaxOggBytes + 1, 'x'));
    const CliRun tooLong = runCli({"chk", "pack", tmp.file("in"), out});
    EXPECT_EQ(tooLong.code, 1);
    EXPECT_TRUE(tooLong.err.contains("tmp33.ogg")) << tooLong.err.toStdString();
    EXPECT_EQ(readAll(out), "old container");
}

TEST(VoiceCli, VifDumpShowsTheValuesAsTheEditorReadsThem)
{
    TempFolder tmp;
    const QString vif = tmp.write("v.vif", "Tab\there\r\nv.chk\r\n\r\n2\r\n109\r\n204\r\n");
    const CliRun run = runCli({"vif", "dump", vif});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "name\tTab\\there\ncontainer\tv.chk\ngender\t2\nlanguage\t109\nflag\t204\n");
    const CliRun none = runCli({"vif", "dump", tmp.write("n.vif", "x\ny\nz\nq\n500\n99\n")});
    EXPECT_EQ(none.out, "name\tz\ncontainer\ty\ngender\t-1\nlanguage\t-1\nflag\t-1\n");
    const CliRun missing = runCli({"vif", "dump", tmp.file("none.vif")});
    EXPECT_EQ(missing.code, 1);
    const CliRun huge = runCli({"vif", "dump", tmp.write("huge.vif", QByteArray(10 << 20, 'x'))});
    EXPECT_EQ(huge.code, 1);
}

TEST(VoiceCli, SpeakMakesACompleteVoiceInTheChosenLanguage)
{
    if (!VoiceSpeech::available(TOggRunner()) || !oggToolsInstalled())
        GTEST_SKIP() << "espeak-ng or vorbis-tools are not installed";
    TempFolder tmp;
    const CliRun run = runCli({"voice", "speak", "pl", tmp.file("Mowa.vif")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const CliRun dump = runCli({"vif", "dump", tmp.file("Mowa.vif")});
    EXPECT_EQ(dump.out, "name\tespeak-ng pl\ncontainer\tMowa.chk\ngender\t-1\nlanguage\t13\nflag\t-1\n");
    const VoiceChk::UnpackResult r = VoiceChk::Unpack(tmp.file("Mowa.chk"), tmp.file("out/"), true);
    ASSERT_EQ(r.count, 59);
    for (int k = 1; k <= 59; ++k) {
        EXPECT_EQ(r.states[size_t(k - 1)], VoiceChk::PhraseState::Held) << k;
        EXPECT_EQ(TOggRunner::OggInfo(VoiceChk::PhraseFile(tmp.file("out/"), k)), "vorbis Mono 22050Hz") << k;
    }
    EXPECT_EQ(QImage(tmp.file("Mowa.bmp")).size(), QSize(160, 160));

    // A language the synthesiser lacks leaves nothing behind.
    const CliRun unknown = runCli({"voice", "speak", "xx-none", tmp.file("None.vif")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_TRUE(unknown.err.contains("xx-none")) << unknown.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(tmp.file("None.chk")));
    EXPECT_FALSE(QFileInfo::exists(tmp.file("None.vif")));
    EXPECT_EQ(runCli({"voice", "speak", "pl", tmp.file("voice.chk")}).code, 2);
}
