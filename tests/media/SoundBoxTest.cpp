// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SoundBox.h"
#include "platform/Error.h"
#include "tests/media/AudioFixtures.h"
#include "tests/support/TestSupport.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace AudioFixtures;

namespace {
// A 414 x 100 box over a 4-second document: 400 columns of 10 ms.
class SoundBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        box.SetWaveStorage(&storage);
        box.resize(414, 100);
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    }
    void load(const TWave &w)
    {
        storage.Wave = w;
        box.RefreshWave(true);
    }
    void click(Qt::MouseButton b, int x) { QTest::mouseClick(&box, b, {}, QPoint(x, 50)); }

    TWaveStorage storage;
    TRBSoundBox box;
};

QColor at(const QImage &img, int x, int y)
{
    return img.pixelColor(x, y).toRgb();
}

// First half silent, second half a square wave of +-16384.
TWave halfSquare()
{
    QVector<qint16> s(88200, 0);
    for (int i = 44100; i < s.size(); ++i)
        s[i] = (i / 50) % 2 ? 16384 : -16384;
    return samples(s);
}
} // namespace

TEST_F(SoundBox, ColumnsTimesAndPixelsOfA414PixelBox)
{
    QVector<qint16> s(88200, 0);   // 4 s
    s[1000] = 32767;                // seen by the columns starting at 661 and 882
    load(samples(s));
    ASSERT_EQ(box.Envelope().size(), 400);
    EXPECT_EQ(box.TimeToPixel(2000, 0), 214);
    EXPECT_EQ(box.PixelToTime(214, 0), 2000);
    EXPECT_EQ(box.TimeToPixel(5000, 10000), 214);
    EXPECT_EQ(box.PixelToTime(414, 8000), 8000);
    // 220.5 samples per column, each column reading 2 x 220 from trunc(i x 220.5).
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const bool sees = i == 3 || i == 4;
        EXPECT_EQ(box.Envelope()[i].first, sees ? 99 : 50);
        EXPECT_EQ(box.Envelope()[i].second, 50);
    }
    EXPECT_EQ(box.Caption(), " 4.00 ");
    EXPECT_EQ(box.CursorX(), 14);
    EXPECT_FALSE(box.HasSelection());
}

TEST_F(SoundBox, MouseButtonsMoveTheEdgesWithinTheWaveArea)
{
    load(constant(0, 4000));
    click(Qt::LeftButton, 5);
    EXPECT_EQ(box.SelectionStartX(), 14);
    click(Qt::RightButton, 600);
    EXPECT_EQ(box.SelectionEndX(), 414);
    EXPECT_TRUE(box.HasSelection());

    click(Qt::LeftButton, 114);    // start moves, end stays
    EXPECT_EQ(box.SelectionStartX(), 114);
    EXPECT_EQ(box.SelectionEndX(), 414);
    EXPECT_EQ(box.SelectionStart(), 1000);
    EXPECT_EQ(box.SelectionLength(), 3000);
    EXPECT_EQ(box.StartLabel(), "1.00 ");
    EXPECT_EQ(box.EndLabel(), " 4.00");

    click(Qt::RightButton, 64);    // left of the start: both there, nothing selected
    EXPECT_EQ(box.SelectionStartX(), 64);
    EXPECT_EQ(box.SelectionEndX(), 64);
    EXPECT_FALSE(box.HasSelection());

    // Dragging with the left button pushes the end along.
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(100, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(250, 50), box.mapToGlobal(QPointF(250, 50)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &move);
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(250, 50));
    EXPECT_EQ(box.SelectionStartX(), 250);
    EXPECT_EQ(box.SelectionEndX(), 250);
}

TEST_F(SoundBox, EditingCommandsActOnTheSelection)
{
    QVector<qint16> ramp(88200);
    for (int i = 0; i < ramp.size(); ++i)
        ramp[i] = qint16(i % 1000 + 1);
    load(samples(ramp));
    click(Qt::LeftButton, 114);   // 1000 ms
    click(Qt::RightButton, 214);  // 2000 ms

    box.SilenceSelection();
    EXPECT_EQ(storage.Wave.Length(), 4000);
    QVector<qint16> s = samplesOf(storage.Wave);
    EXPECT_EQ(s[22049], ramp[22049]);
    EXPECT_EQ(s[22050], 0);
    EXPECT_EQ(s[44099], 0);
    EXPECT_EQ(s[44100], ramp[44100]);
    EXPECT_EQ(box.SelectionStartX(), 114);   // the selection stays
    EXPECT_EQ(box.SelectionEndX(), 214);

    box.DeleteSelection();
    EXPECT_EQ(storage.Wave.Length(), 3000);
    EXPECT_EQ(samplesOf(storage.Wave)[22050], ramp[44100]);
    EXPECT_FALSE(box.HasSelection());
    EXPECT_EQ(box.SelectionStartX(), box.TimeToPixel(1000, 0));   // former start, new length
    EXPECT_EQ(box.SelectionStartX(), 147);

    click(Qt::LeftButton, 14 + 100);
    click(Qt::RightButton, 14 + 200);
    const qint64 from = box.SelectionStart(), len = box.SelectionLength();
    box.CropToSelection();
    EXPECT_EQ(storage.Wave.Length(), len);
    EXPECT_EQ(from, 750);
    EXPECT_EQ(box.SelectionStartX(), 14);   // the whole remaining sound selected
    EXPECT_EQ(box.SelectionEndX(), 414);
    EXPECT_EQ(box.EndLabel(), " " + SoundTimeText(len));
}

TEST_F(SoundBox, NormalizingAQuarterLevelSoundMultipliesByFour)
{
    load(samples({8192, -2000, 100, 0}));
    box.NormalizeWave();
    EXPECT_EQ(samplesOf(storage.Wave), (QVector<qint16>{32767, -8000, 400, 0}));
    box.NormalizeWave();   // at 100 % now: unchanged
    EXPECT_EQ(samplesOf(storage.Wave), (QVector<qint16>{32767, -8000, 400, 0}));
    load(samples({0, -30000}));
    box.NormalizeWave();
    EXPECT_EQ(samplesOf(storage.Wave), (QVector<qint16>{0, -30000}));
}

TEST_F(SoundBox, LevelCursorFollowsRecordingAndPlayback)
{
    load(constant(0, 4000));
    box.ShowLevel(40, 5000, 10000);
    EXPECT_EQ(box.CursorX(), 214);
    EXPECT_EQ(box.Caption(), " 5.00 ");
    box.ShowLevel(40, 10000, 10000);
    EXPECT_EQ(box.CursorX(), 414);   // the right edge after 10 seconds
    box.ShowLevel(40, 10100, 10000);
    EXPECT_EQ(box.CursorX(), 414);   // and no further

    click(Qt::LeftButton, 114);
    click(Qt::RightButton, 314);
    box.ShowLevel(10, 1000, 0);      // playing a selection starts at its start
    EXPECT_EQ(box.CursorX(), 114 + 100);
    EXPECT_EQ(box.Level(), 10);
}

TEST_F(SoundBox, PaintsInTheDocumentedOrderAndColours)
{
    load(halfSquare());
    click(Qt::LeftButton, 300);
    click(Qt::RightButton, 350);
    box.ShowLevel(50, 0, 0);   // the cursor at the selection start, x 300
    const QImage quiet = box.grab().toImage();

    const QColor blue(0, 0, 255), yellow(255, 255, 0), green(0, 128, 0), black(0, 0, 0), lime(0, 255, 0),
        grey(128, 128, 128), red(255, 0, 0), white(255, 255, 255);
    // Silent half: a green dot on the middle line, blue elsewhere.
    EXPECT_EQ(at(quiet, 100, 50), green);
    EXPECT_EQ(at(quiet, 100, 60), blue);
    // Loud half: the AND-combined line shows black over blue ...
    EXPECT_EQ(at(quiet, 250, 50), black);
    EXPECT_EQ(at(quiet, 250, 25), green);   // the dot at the minimum is plain green
    EXPECT_EQ(at(quiet, 250, 10), blue);
    EXPECT_EQ(at(quiet, 250, 90), blue);
    // ... and green over the yellow selection.
    EXPECT_EQ(at(quiet, 320, 50), green);
    EXPECT_EQ(at(quiet, 320, 40), green);
    // (Below the envelope and above the end label.)
    EXPECT_EQ(at(quiet, 320, 77), yellow);
    EXPECT_EQ(at(quiet, 350, 77), yellow);  // the line at the selection end
    EXPECT_EQ(at(quiet, 351, 77), blue);
    EXPECT_EQ(at(quiet, 300, 77), blue);    // yellow inverted by the cursor
    // Level meter at 50 %: lime outline, grey above, lime below the middle.
    EXPECT_EQ(at(quiet, 0, 20), lime);
    EXPECT_EQ(at(quiet, 11, 20), lime);
    EXPECT_EQ(at(quiet, 5, 20), grey);
    EXPECT_EQ(at(quiet, 5, 60), lime);
    EXPECT_EQ(at(quiet, 5, 1), grey);

    // The cursor inverts what lies under it; a full level lights the red bar.
    click(Qt::RightButton, 300);   // drop the selection so the cursor is not shifted
    box.ShowLevel(100, 3000, 0);   // x = 314
    ASSERT_EQ(box.CursorX(), 314);
    const QImage loud = box.grab().toImage();
    EXPECT_EQ(at(loud, 314, 90), yellow);   // inverted blue
    EXPECT_EQ(at(loud, 314, 50), white);    // inverted black
    EXPECT_EQ(at(loud, 5, 1), red);
    EXPECT_EQ(at(loud, 5, 3), lime);

    // The caption sits at the top right, one pixel in from the edge.
    EXPECT_EQ(box.Caption(), " 3.00 ");
    EXPECT_EQ(at(loud, 413, 5), blue);
    bool captionSeen = false;
    for (int x = 380; x < 413; ++x)
        captionSeen |= at(loud, x, 3) == white || at(loud, x, 3) == black;
    EXPECT_TRUE(captionSeen);
}

TEST_F(SoundBox, EmptyAndForeignDocumentsShowUnknownFormatAndStayUnchanged)
{
    storage.Wave.Clear();
    box.RefreshWave(true);
    EXPECT_EQ(box.Caption(), " Unknown format ");
    EXPECT_EQ(box.Envelope().size(), 400);

    TWave eight;
    eight.Assign(TWaveFormat::pcm(1, 22050, 8), QByteArray(22050, char(0xF0)));
    load(eight);
    EXPECT_EQ(box.Caption(), " Unknown format ");
    click(Qt::LeftButton, 20);
    click(Qt::RightButton, 300);
    box.DeleteSelection();
    box.SilenceSelection();
    box.NormalizeWave();
    EXPECT_EQ(storage.Wave.Data(), eight.Data());
}

TEST_F(SoundBox, LoadWaveConvertsGoodFilesAndRefusesBrokenOnes)
{
    TempFolder tmp;
    ASSERT_TRUE(writeSine(tmp.file("stereo.wav"), 0x0002 /* SF_FORMAT_PCM_16 */, 2, 44100, 500, 2.0));
    click(Qt::RightButton, 200);
    ASSERT_TRUE(box.LoadWave(tmp.file("stereo.wav")));
    EXPECT_TRUE(storage.Wave.Format().sameLayout(Mono16bit22050Hz()));
    EXPECT_EQ(storage.Wave.Length(), 2000);
    EXPECT_FALSE(box.HasSelection());   // reset
    EXPECT_EQ(box.Caption(), " 2.00 ");

    click(Qt::LeftButton, 50);
    click(Qt::RightButton, 100);
    const TEnvelope envelope = box.Envelope();
    const QByteArray data = storage.Wave.Data();
    const QByteArray good = readAll(tmp.file("stereo.wav"));
    QByteArray huge = good;
    qToLittleEndian(quint32(0xFFFFFFF0u), huge.data() + 40);
    QByteArray random(10000, Qt::Uninitialized);
    QRandomGenerator rng(3);
    for (char &c : random)
        c = char(rng.bounded(256));
    const std::pair<const char *, QByteArray> bad[] = {
        {"truncated.wav", good.left(good.size() - 1000)}, {"huge.wav", huge},
        {"zero.wav", {}}, {"random.wav", random},
    };
    for (const auto &[name, bytes] : bad) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(box.LoadWave(tmp.write(QString::fromLatin1(name), bytes)));
        EXPECT_EQ(storage.Wave.Data(), data);
        EXPECT_EQ(box.Envelope(), envelope);
        EXPECT_EQ(box.SelectionStartX(), 50);
        EXPECT_EQ(box.SelectionEndX(), 100);
    }
    EXPECT_FALSE(box.LoadWave(tmp.file("missing.wav")));
}

TEST(SoundBoxWithoutStorage, EveryOperationNamesTheMissingStorage)
{
    TRBSoundBox box;
    box.resize(200, 50);
    const std::function<void()> ops[] = {
        [&] { box.RefreshWave(true); }, [&] { box.LoadWave("x.wav"); }, [&] { box.ShowLevel(1, 2, 3); },
        [&] { box.DeleteSelection(); }, [&] { box.CropToSelection(); }, [&] { box.SilenceSelection(); },
        [&] { box.NormalizeWave(); }, [&] { box.SelectionLength(); }, [&] { box.TimeToPixel(5, 0); },
    };
    for (const auto &op : ops) {
        try {
            op();
            ADD_FAILURE() << "no error";
        } catch (const KorvixError &e) {
            EXPECT_EQ(e.message(), "No WaveStorage Assigned");
        }
    }
    // Painting and the mouse work all the same.
    QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(100, 10));
    EXPECT_EQ(box.SelectionEndX(), 100);
    EXPECT_FALSE(box.grab().isNull());
}
