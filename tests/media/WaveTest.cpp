// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Wave.h"
#include "platform/Error.h"
#include "tests/media/AudioFixtures.h"
#include "tests/support/TestSupport.h"

#include <sndfile.h>

#include <QRandomGenerator>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace AudioFixtures;

TEST(Wave, TimeBaseRoundsToBytesThenDownToWholeBlocks)
{
    TWave w = constant(0, 1000);
    EXPECT_EQ(w.DataSize(), 44100);
    EXPECT_EQ(w.Length(), 1000);
    EXPECT_EQ(w.msToBytes(1), 44);      // 44.1 -> 44
    EXPECT_EQ(w.msToBytes(3), 132);     // 132.3 -> 132
    EXPECT_EQ(w.msToBytes(10), 440);    // 441 -> 440 (whole samples)
    EXPECT_EQ(w.bytesToMs(441), 10);
    EXPECT_EQ(w.bytesToMs(2), 0);       // 0.045 ms rounds to 0

    TWave stereo;
    stereo.Assign(TWaveFormat::pcm(2, 44100, 16), QByteArray(176400, '\0'));
    EXPECT_EQ(stereo.msToBytes(1), 176);   // 176.4 -> 176, a multiple of 4
    EXPECT_EQ(stereo.msToBytes(3), 528);   // 529.2 -> 529 -> 528

    TWave none;
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(none.Length(), 0);
    TWave headerOnly;
    headerOnly.Assign(Mono16bit22050Hz());
    EXPECT_FALSE(headerOnly.Empty());
    EXPECT_EQ(headerOnly.Length(), 0);
    headerOnly.Clear();
    EXPECT_TRUE(headerOnly.Empty());
}

TEST(Wave, PeakLevelIgnoresNegativeSamplesAndDividesAsIntegers)
{
    EXPECT_EQ(samples({100, -32768, -20000}).PeakLevel(), 0);   // 100 * 100 / 32767 = 0
    EXPECT_EQ(samples({-5, -1, 0}).PeakLevel(), 0);
    EXPECT_EQ(samples({327, -3}).PeakLevel(), 0);
    EXPECT_EQ(samples({328}).PeakLevel(), 1);
    EXPECT_EQ(samples({8192, 10}).PeakLevel(), 25);
    EXPECT_EQ(samples({32767}).PeakLevel(), 100);
}

TEST(Wave, ChangeVolumeTruncatesTowardZeroAndClamps)
{
    TWave w = samples({1000, -1000, 20000, -20000, 32767, -32768, 3, -3, 0});
    w.ChangeVolume(100);
    EXPECT_EQ(samplesOf(w), (QVector<qint16>{2000, -2000, 32767, -32767, 32767, -32767, 6, -6, 0}));

    TWave q = samples({7, -7, 10, -10});
    q.ChangeVolume(-50);   // 7 + 7 * -50 / 100 = 7 - 3
    EXPECT_EQ(samplesOf(q), (QVector<qint16>{4, -4, 5, -5}));
}

TEST(Wave, NormalizeRaisesTheLargestPositiveSampleOnlyBelowFullScale)
{
    TWave quarter = samples({8192, -4000, 100});
    EXPECT_EQ(quarter.PeakLevel(), 25);
    EXPECT_EQ(quarter.Normalize(), 300);   // (100 - 25) * 100 / 25
    EXPECT_EQ(samplesOf(quarter), (QVector<qint16>{32767, -16000, 400}));

    TWave full = samples({32767, -100});
    EXPECT_EQ(full.Normalize(), 0);
    EXPECT_EQ(samplesOf(full), (QVector<qint16>{32767, -100}));
    TWave silent = samples({0, -3000});
    EXPECT_EQ(silent.Normalize(), 0);
    EXPECT_EQ(samplesOf(silent), (QVector<qint16>{0, -3000}));
}

TEST(Wave, RangeOperationsCutAtTheEndAndRefuseEmptyOrOutsideRanges)
{
    // 100 ms: 4410 bytes; sample i holds i so positions can be checked.
    QVector<qint16> ramp(2205);
    for (int i = 0; i < ramp.size(); ++i)
        ramp[i] = qint16(i);
    const TWave src = samples(ramp);

    TWave part = constant(5, 10);
    ASSERT_TRUE(part.CopyRange(src, 50, 1000));   // runs past the end: cut
    EXPECT_EQ(part.DataSize(), 4410 - 2204);
    EXPECT_EQ(samplesOf(part).first(), 1102);      // 50 ms = 2205 bytes -> 2204
    EXPECT_EQ(samplesOf(part).last(), 2204);

    const QByteArray before = part.Data();
    EXPECT_FALSE(part.CopyRange(src, 100, 10));   // start at the end
    EXPECT_FALSE(part.CopyRange(src, 500, 10));
    EXPECT_FALSE(part.CopyRange(src, 10, 0));
    EXPECT_FALSE(part.CopyRange(TWave(), 0, 10));
    EXPECT_EQ(part.Data(), before);

    TWave crop = src;
    ASSERT_TRUE(crop.CropRange(20, 30));
    EXPECT_EQ(crop.DataSize(), 1322);             // 30 ms = 1323 -> 1322
    EXPECT_EQ(samplesOf(crop).first(), 441);
    EXPECT_FALSE(crop.CropRange(40, 10));
    EXPECT_EQ(crop.DataSize(), 1322);

    TWave del = src;
    ASSERT_TRUE(del.DeleteRange(90, 500));
    EXPECT_EQ(del.DataSize(), 3968);               // 90 ms = 3969 -> 3968
    ASSERT_TRUE(del.DeleteRange(0, 10));
    EXPECT_EQ(samplesOf(del).first(), 220);
    EXPECT_FALSE(del.DeleteRange(0, 0));
    EXPECT_FALSE(TWave().DeleteRange(0, 10));
}

TEST(Wave, SilenceIsInsertedAtThePositionOrAtTheEndAndZeroedInPlace)
{
    TWave w = constant(1000, 100);
    ASSERT_TRUE(w.InsertSilence(50, 10));
    EXPECT_EQ(w.DataSize(), 4410 + 440);
    QVector<qint16> s = samplesOf(w);
    EXPECT_EQ(s[1101], 1000);
    EXPECT_EQ(s[1102], 0);
    EXPECT_EQ(s[1102 + 219], 0);
    EXPECT_EQ(s[1102 + 220], 1000);

    ASSERT_TRUE(w.InsertSilence(99999, 10));
    EXPECT_EQ(samplesOf(w).last(), 0);
    EXPECT_EQ(w.DataSize(), 4410 + 880);
    EXPECT_FALSE(w.InsertSilence(0, 0));
    EXPECT_FALSE(TWave().InsertSilence(0, 10));

    TWave z = constant(1000, 100);
    ASSERT_TRUE(z.SilenceRange(90, 1000));   // to the end: length kept
    EXPECT_EQ(z.DataSize(), 4410);
    EXPECT_EQ(samplesOf(z)[1983], 1000);
    EXPECT_EQ(samplesOf(z)[1984], 0);
    EXPECT_EQ(samplesOf(z).last(), 0);
}

TEST(Wave, SequentialReadingStaysInsideTheData)
{
    const TWave w = samples({1, 2, 3});
    char buf[16];
    EXPECT_EQ(w.Read(buf, 2), 0);   // outside a bracket
    ASSERT_TRUE(w.BeginRead());
    ASSERT_TRUE(w.Seek(4));
    EXPECT_EQ(w.Read(buf, 16), 2);
    EXPECT_EQ(qFromLittleEndian<qint16>(buf), 3);
    EXPECT_TRUE(w.Seek(100));
    EXPECT_EQ(w.Read(buf, 16), 0);
    w.EndRead();
    EXPECT_FALSE(TWave().BeginRead());
}

TEST(Wave, SavedFilesLoadBackByteForByte)
{
    TempFolder tmp;
    const TWave w = samples({1, -2, 300, -32768, 32767});
    w.SaveToFile(tmp.file("a.wav"));
    const QByteArray file = readAll(tmp.file("a.wav"));
    ASSERT_EQ(file.size(), 44 + 10);
    EXPECT_TRUE(file.startsWith("RIFF"));
    EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 4), quint32(file.size() - 8));
    EXPECT_EQ(file.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 28), 44100u);   // bytes per second

    TWave back;
    ASSERT_TRUE(back.LoadFromFile(tmp.file("a.wav")));
    EXPECT_EQ(back.Data(), w.Data());
    EXPECT_TRUE(back.Format().sameLayout(Mono16bit22050Hz()));

    EXPECT_THROW(w.SaveToFile(tmp.file("missing-folder/x.wav")), KorvixError);
}

TEST(Wave, EveryWaveEncodingOfTheDecoderBecomesTheWorkingFormat)
{
    TempFolder tmp;
    struct Case {
        const char *name;
        int subFormat, channels, rate;
    } cases[] = {
        {"u8", SF_FORMAT_PCM_U8, 1, 8000},      {"s16", SF_FORMAT_PCM_16, 1, 22050},
        {"s24", SF_FORMAT_PCM_24, 2, 48000},    {"s32", SF_FORMAT_PCM_32, 1, 11025},
        {"float", SF_FORMAT_FLOAT, 2, 44100},   {"ulaw", SF_FORMAT_ULAW, 1, 8000},
        {"alaw", SF_FORMAT_ALAW, 1, 8000},      {"ima", SF_FORMAT_IMA_ADPCM, 1, 22050},
        {"msadpcm", SF_FORMAT_MS_ADPCM, 2, 44100},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = tmp.file(QString::fromLatin1(c.name) + ".wav");
        ASSERT_TRUE(writeSine(path, c.subFormat, c.channels, c.rate, 500, 1.0));
        TWave w;
        ASSERT_TRUE(w.LoadFromFile(path));
        EXPECT_EQ(w.Format().channels, c.channels);
        EXPECT_EQ(w.Format().samplesPerSec, quint32(c.rate));
        ASSERT_TRUE(w.ConvertToPCM(Mono16bit22050Hz()));
        EXPECT_TRUE(w.Format().sameLayout(Mono16bit22050Hz()));
        EXPECT_NEAR(w.Length(), 1000, 30);   // ADPCM pads its last block
        EXPECT_NEAR(frequencyOf(w), 500, 10);
        EXPECT_NEAR(w.PeakLevel(), 50, 3);   // half scale survives every path
    }
}

TEST(Wave, StereoIsMixedDownByAveragingTheChannels)
{
    TempFolder tmp;
    ASSERT_TRUE(writeSine(tmp.file("opposed.wav"), SF_FORMAT_PCM_16, 2, 22050, 300, 0.5, true));
    TWave w;
    ASSERT_TRUE(w.LoadFromFile(tmp.file("opposed.wav")));
    ASSERT_TRUE(w.ConvertToPCM(Mono16bit22050Hz()));
    EXPECT_EQ(w.DataSize(), 22050);
    EXPECT_LE(w.PeakLevel(), 0);   // the two channels cancel out

    // And back up: mono to a stereo 8-bit format duplicates the channel.
    TWave tone = constant(16384, 100);
    ASSERT_TRUE(tone.ConvertToPCM(TWaveFormat::pcm(2, 22050, 8)));
    EXPECT_EQ(tone.DataSize(), 2 * 2205);
    EXPECT_EQ(quint8(tone.Data()[0]), 128 + 64);
    EXPECT_EQ(quint8(tone.Data()[1]), 128 + 64);

    EXPECT_FALSE(TWave().ConvertToPCM(Mono16bit22050Hz()));
    TWaveFormat adpcm = Mono16bit22050Hz();
    adpcm.formatTag = WaveFormatIMAADPCM;
    EXPECT_FALSE(tone.ConvertToPCM(adpcm));   // the target must be PCM
}

TEST(Wave, BrokenFilesAreRefusedAndLeaveTheDocumentAlone)
{
    TempFolder tmp;
    const TWave good = constant(1000, 200);
    good.SaveToFile(tmp.file("good.wav"));
    const QByteArray bytes = readAll(tmp.file("good.wav"));

    QByteArray huge = bytes;
    qToLittleEndian(quint32(0xFFFFFFF0u), huge.data() + 40);   // data chunk "4 GB"
    QByteArray badFormat = bytes;
    qToLittleEndian(quint16(0), badFormat.data() + 32);        // block alignment 0
    QByteArray noData = bytes.left(36);
    QByteArray random(4096, Qt::Uninitialized);
    QRandomGenerator rng(7);
    for (char &c : random)
        c = char(rng.bounded(256));
    QByteArray riffRandom = QByteArray("RIFF\x10\0\0\0WAVE", 12) + random;

    const std::pair<const char *, QByteArray> files[] = {
        {"truncated", bytes.left(bytes.size() / 2)}, {"header cut", bytes.left(30)},
        {"4 GB", huge}, {"zero length", {}}, {"random", random}, {"riff random", riffRandom},
        {"block 0", badFormat}, {"no data", noData},
    };
    for (const auto &[name, content] : files) {
        SCOPED_TRACE(name);
        TWave w = samples({42});
        QString why;
        EXPECT_FALSE(w.LoadFromFile(tmp.write(QString::fromLatin1(name) + ".wav", content), &why));
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(samplesOf(w), QVector<qint16>{42});
    }
    TWave w;
    EXPECT_FALSE(w.LoadFromFile(tmp.file("missing.wav")));
}

TEST(Wave, TimeTextUsesHoursMinutesOnlyWhenNeeded)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(SoundTimeText(3723456, c), "1:02:03.45");
    EXPECT_EQ(SoundTimeText(59990, c), "59.99");
    EXPECT_EQ(SoundTimeText(65200, c), "1:05.20");
    EXPECT_EQ(SoundTimeText(3070, c), "3.07");
    EXPECT_EQ(SoundTimeText(0, c), "0.00");
    EXPECT_EQ(SoundTimeText(60000, c), "1:00.00");
    // The user's separators: a comma as decimal separator in German.
    EXPECT_EQ(SoundTimeText(3070, QLocale(QLocale::German)), "3,07");
    EXPECT_EQ(SoundTimeText(65200, QLocale(QLocale::German)), "1:05,20");
}

namespace {
// The bytes of a short working-format file whose header claims `rate` samples/s.
QByteArray claimingRate(quint32 rate)
{
    QByteArray b = constant(1000, 200).toRiff();
    qToLittleEndian(rate, b.data() + 24);
    qToLittleEndian(quint32(quint64(rate) * 2), b.data() + 28);
    return b;
}
} // namespace

TEST(Wave, RatesNoRealWaveHasAreRefusedOnLoadingAndOnConverting)
{
    for (quint32 rate : {1u, 999u, 384001u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(rate);
        TWave w = samples({42});
        QString why;
        EXPECT_FALSE(w.LoadFromData(claimingRate(rate), &why));
        EXPECT_TRUE(why.contains(QStringLiteral("sample rate %1 Hz").arg(rate))) << why.toStdString();
        EXPECT_EQ(samplesOf(w), QVector<qint16>{42});
    }
    for (quint32 rate : {1000u, 384000u}) {
        SCOPED_TRACE(rate);
        TWave w;
        ASSERT_TRUE(w.LoadFromData(claimingRate(rate)));
        EXPECT_TRUE(w.ConvertToPCM(Mono16bit22050Hz()));
        EXPECT_NEAR(w.Length(), 4410.0 * 1000 / rate, 2);   // 4410 samples at the claimed rate
    }

    // A header set in memory is checked again: 1000 bytes at one sample per second
    // would become 22 million samples.
    TWave oneHz;
    oneHz.Assign(TWaveFormat::pcm(1, 1, 8), QByteArray(1000, char(0x80)));
    QString why;
    EXPECT_FALSE(oneHz.ConvertToPCM(Mono16bit22050Hz(), &why));
    EXPECT_TRUE(why.contains("sample rate 1 Hz")) << why.toStdString();
    EXPECT_EQ(oneHz.Format().samplesPerSec, 1u);
    EXPECT_EQ(oneHz.DataSize(), 1000);
    // Nor may the target have such a rate.
    EXPECT_FALSE(constant(0, 100).ConvertToPCM(TWaveFormat::pcm(1, 500, 16), &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(Wave, ConversionsBeyondTheSizeCapAreRefusedWithTheSize)
{
    // 6.5 MB of 8-bit samples at 1000 Hz: 108 minutes, 274 MB in the working format.
    TWave w;
    w.Assign(TWaveFormat::pcm(1, 1000, 8), QByteArray(6'500'000, char(0x80)));
    QString why;
    EXPECT_FALSE(w.ConvertToPCM(Mono16bit22050Hz(), &why));
    EXPECT_TRUE(why.contains("274 MB")) << why.toStdString();
    EXPECT_TRUE(why.contains("256 MB")) << why.toStdString();
    EXPECT_EQ(w.Format().samplesPerSec, 1000u);
    EXPECT_EQ(w.DataSize(), 6'500'000);
}

TEST(Wave, AFileCutInsideASampleConvertsToWholeSamples)
{
    for (const TWaveFormat &f : {Mono16bit22050Hz(), TWaveFormat::pcm(2, 22050, 16)}) {
        SCOPED_TRACE(f.describe().toStdString());
        TWave w;
        w.Assign(f, QByteArray(321, '\x10'));   // the last sample lacks bytes
        ASSERT_TRUE(w.ConvertToPCM(Mono16bit22050Hz()));
        EXPECT_EQ(w.DataSize() % 2, 0);
    }
}
