// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ImgFile.h"
#include "platform/Error.h"

#include "PictureFixtures.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QStandardPaths>
#include <QtEndian>

#include <gtest/gtest.h>

#include <limits>

namespace {
quint32 u32(const QByteArray &d, int at) { return qFromLittleEndian<quint32>(d.constData() + at); }
quint16 u16(const QByteArray &d, int at) { return qFromLittleEndian<quint16>(d.constData() + at); }

bool samePixels(const QImage &a, const QImage &b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}
} // namespace

TEST(BmpWriter, TwentyFourBitLayoutIsBottomUpAndPadded)
{
    QImage img(3, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    img.setPixel(1, 0, qRgb(4, 5, 6));
    img.setPixel(2, 0, qRgb(7, 8, 9));
    img.setPixel(0, 1, qRgb(10, 11, 12));
    img.setPixel(1, 1, qRgb(13, 14, 15));
    img.setPixel(2, 1, qRgb(16, 17, 18));
    const QByteArray d = ImgFile::encodeBmp(img, 24);

    ASSERT_EQ(d.size(), 14 + 40 + 2 * 12);
    EXPECT_TRUE(d.startsWith("BM"));
    EXPECT_EQ(u32(d, 2), quint32(d.size()));
    EXPECT_EQ(u32(d, 10), 54u);              // pixels right after the headers
    EXPECT_EQ(u32(d, 14), 40u);              // BITMAPINFOHEADER
    EXPECT_EQ(qint32(u32(d, 18)), 3);
    EXPECT_EQ(qint32(u32(d, 22)), 2);        // positive height: bottom-up
    EXPECT_EQ(u16(d, 26), 1);
    EXPECT_EQ(u16(d, 28), 24);
    EXPECT_EQ(u32(d, 30), 0u);               // no compression
    EXPECT_EQ(u32(d, 34), 24u);
    EXPECT_EQ(u32(d, 46), 0u);               // no colour table
    // First stored row is the bottom one, blue-green-red, padded from 9 to 12 bytes.
    const QByteArray bottom = QByteArray::fromHex("0c0b0a0f0e0d121110000000");
    const QByteArray top = QByteArray::fromHex("030201060504090807000000");
    EXPECT_EQ(d.mid(54, 12), bottom);
    EXPECT_EQ(d.mid(66, 12), top);
    EXPECT_TRUE(samePixels(QImage::fromData(d, "BMP"), img));
}

TEST(BmpWriter, EveryDepthRoundTripsAndKeepsItsBits)
{
    TempFolder dir;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        QImage img;
        if (bits == 1) {
            img = QImage(13, 5, QImage::Format_Indexed8);
            img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    img.setPixel(x, y, uint((x * y) % 2));
        } else if (bits <= 8) {
            img = indexedPicture(13, 5);
        } else {
            img = QImage(13, 5, QImage::Format_RGB32);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    img.setPixel(x, y, qRgb(8 * x, 16 * y, 248));   // exact in 5 bits too
        }
        ImgFile::Picture p{img, bits};
        const QString path = dir.file(QStringLiteral("p%1.bmp").arg(bits));
        ImgFile::save(path, p);
        const QByteArray bytes = readAll(path);
        EXPECT_EQ(u16(bytes, 28), bits);
        const qint64 row = ((13 * bits + 31) / 32) * 4;
        EXPECT_EQ(u32(bytes, 34), quint32(row * 5));

        const ImgFile::Picture back = ImgFile::load(path);
        EXPECT_EQ(back.bitsPerPixel, bits);
        EXPECT_EQ(back.image.size(), QSize(13, 5));
        EXPECT_TRUE(samePixels(back.image, img));
        // Writing what was read gives the same file again (Qt reorders a two-colour
        // table, so there only the pixels are the same).
        if (bits != 1)
            EXPECT_EQ(ImgFile::encodeBmp(back.image, back.bitsPerPixel), bytes);
        else
            EXPECT_TRUE(samePixels(QImage::fromData(ImgFile::encodeBmp(back.image, 1)), img));
    }
}

TEST(BmpWriter, IndexedDepthGrowsWhenTheTableDoesNotFit)
{
    const QByteArray d = ImgFile::encodeBmp(indexedPicture(4, 4), 1);
    EXPECT_EQ(u16(d, 28), 4);   // four colours need 4 bits
    EXPECT_EQ(u32(d, 46), 4u);
    EXPECT_THROW(ImgFile::encodeBmp(QImage(), 24), KorvixError);
}

TEST(StartupPicture, ImportedJpegBecomes320x240AndValid24BitBitmap)
{
    TempFolder dir;
    const QString jpeg = writeJpeg(dir.file(QStringLiteral("photo.jpg")));
    const ImgFile::Picture source = ImgFile::load(jpeg);
    EXPECT_EQ(source.image.size(), QSize(640, 480));
    const ImgFile::Picture p = ImgFile::stretchedStartup(source.image);
    EXPECT_EQ(p.image.size(), QSize(320, 240));
    EXPECT_EQ(p.bitsPerPixel, 24);

    const QString out = dir.file(QStringLiteral("splash.bmp"));
    ImgFile::save(out, p);
    EXPECT_EQ(readAll(out).size(), 54 + 320 * 3 * 240);
    // Independent readers.
    const QString file = runTool(QStringLiteral("file"), {out});
    if (!file.isNull())
        EXPECT_TRUE(file.contains(QLatin1String("PC bitmap")) && file.contains(QLatin1String("320 x 240 x 24")))
            << file.toStdString();
    int rc = -1;
    const QString identify = runTool(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%m %w %h %z"), out}, &rc);
    if (identify.isNull())
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(identify.trimmed().toStdString(), "BMP3 320 240 8");   // the Windows 3 header, 8 bits per channel
}

TEST(StartupPicture, ImportIntoAnIndexedPictureKeepsItsTable)
{
    const ImgFile::Picture target{indexedPicture(100, 50), 8};
    QImage src(64, 64, QImage::Format_RGB32);
    src.fill(qRgb(250, 5, 5));
    const ImgFile::Picture p = ImgFile::stretchedStartup(src, target);
    EXPECT_EQ(p.image.size(), QSize(320, 240));
    EXPECT_EQ(p.bitsPerPixel, 8);
    EXPECT_EQ(p.image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(p.image.colorTable(), target.image.colorTable());
    EXPECT_EQ(p.image.pixel(10, 10), qRgb(255, 0, 0));   // nearest table colour
}

TEST(StartupPicture, BadFilesGiveAMessage)
{
    TempFolder dir;
    EXPECT_THROW(ImgFile::load(dir.file(QStringLiteral("missing.bmp"))), KorvixError);
    EXPECT_THROW(ImgFile::load(dir.write(QStringLiteral("empty.bmp"))), KorvixError);
    EXPECT_THROW(ImgFile::load(dir.write(QStringLiteral("junk.bmp"), QByteArray(300, 'x'))), KorvixError);
    // A valid header with its pixels cut off.
    QByteArray cut = ImgFile::encodeBmp(indexedPicture(40, 40), 24);
    cut.truncate(70);
    try {
        const ImgFile::Picture p = ImgFile::load(dir.write(QStringLiteral("cut.bmp"), cut));
        EXPECT_EQ(p.image.size(), QSize(40, 40));   // Qt may keep what it could read
    } catch (const KorvixError &) {
    }

    // A header claiming 30000 x 30000 pixels is refused before any pixel memory.
    try {
        ImgFile::load(dir.write(QStringLiteral("huge.bmp"), bitmapHeaderOnly(30000, 30000)));
        ADD_FAILURE() << "a 30000 x 30000 header was accepted";
    } catch (const KorvixError &e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("too large"))) << e.message().toStdString();
    }
    EXPECT_THROW(ImgFile::loadData(bitmapHeaderOnly(-5, 0)), KorvixError);
    EXPECT_THROW(ImgFile::loadData(bitmapHeaderOnly(10, std::numeric_limits<qint32>::min())), KorvixError);

    // A top-down bitmap (negative height) is read the right way up and kept 24-bit.
    QImage two(1, 2, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(255, 0, 0));
    two.setPixel(0, 1, qRgb(0, 0, 255));
    QByteArray topDown = ImgFile::encodeBmp(two, 24);
    qToLittleEndian<qint32>(-2, topDown.data() + 22);
    const ImgFile::Picture flipped = ImgFile::loadData(topDown);
    EXPECT_EQ(flipped.bitsPerPixel, 24);
    EXPECT_EQ(flipped.image.pixel(0, 0), qRgb(0, 0, 255));
}

TEST(StartupPicture, SamplePicturesAreStartupBitmaps)
{
    TempFolder dir;
    ImgFile::writeSamplePictures(dir.path() + QLatin1Char('/'));
    for (const char *name : {ImgFile::SplashName, ImgFile::AntitheftName}) {
        const ImgFile::Picture p = ImgFile::load(dir.file(QLatin1String(name)));
        EXPECT_EQ(p.image.size(), QSize(320, 240));
        EXPECT_EQ(p.bitsPerPixel, 24);
    }
}
