// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ImgFile.h"

#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/Error.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <limits>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("TImg", text);
}

quint16 le16(const QByteArray &d, int at)
{
    return qFromLittleEndian<quint16>(d.constData() + at);
}

quint32 le32(const QByteArray &d, int at)
{
    return qFromLittleEndian<quint32>(d.constData() + at);
}

void put16(QByteArray &d, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    d.append(b, 2);
}

void put32(QByteArray &d, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    d.append(b, 4);
}

int indexedDepthFor(int colours)
{
    return colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
}
} // namespace

int ImgFile::bitmapBitsPerPixel(const QByteArray &data)
{
    if (data.size() < 14 + 12 || !data.startsWith("BM"))
        return 0;
    const quint32 headerSize = le32(data, 14);
    if (headerSize == 12)   // OS/2 core header
        return le16(data, 14 + 10);
    if (headerSize < 40 || data.size() < 14 + 40)
        return 0;
    const int bits = le16(data, 14 + 14);
    const quint32 compression = le32(data, 14 + 16);
    if (compression == 1)
        return 8;   // RLE8
    if (compression == 2)
        return 4;   // RLE4
    return bits;
}

ImgFile::Picture ImgFile::loadData(const QByteArray &data, const QString &name)
{
    const QString what = name.isEmpty() ? tr("the picture") : name;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        throw KorvixError(tr("Can't read %1: not a picture format Korvix knows.").arg(what));
    // Qt's bitmap reader does not report its size ahead, so the header is read here.
    QSize size = reader.size();
    if (data.startsWith("BM") && data.size() >= 26) {
        if (le32(data, 14) == 12)
            size = QSize(qint16(le16(data, 18)), qint16(le16(data, 20)));
        else
            size = QSize(qint32(le32(data, 18)), qint32(le32(data, 22)));
        // A negative height means top-down rows; the most negative has no positive twin.
        if (size.height() < 0 && size.height() > std::numeric_limits<qint32>::min())
            size.setHeight(-size.height());
        if (size.width() <= 0 || size.height() <= 0)
            throw KorvixError(tr("Can't read %1: the bitmap header is broken.").arg(what));
    }
    if (size.isValid() && (size.width() > MaxSide || size.height() > MaxSide
                           || qint64(size.width()) * size.height() > MaxPixels))
        throw KorvixError(tr("Can't read %1: the picture is too large (%2 x %3).")
                              .arg(what).arg(size.width()).arg(size.height()));
    Picture picture;
    picture.image = reader.read();
    if (picture.image.isNull())
        throw KorvixError(tr("Can't read %1: %2").arg(what, reader.errorString()));
    const int bits = bitmapBitsPerPixel(data);
    switch (bits) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        picture.bitsPerPixel = bits;
        break;
    default:
        picture.bitsPerPixel = 24;
    }
    // An indexed depth needs an indexed image behind it.
    if (picture.bitsPerPixel <= 8 && picture.image.colorCount() == 0)
        picture.bitsPerPixel = 24;
    return picture;
}

ImgFile::Picture ImgFile::load(const QString &path)
{
    // Read by us, never by Qt on a path: a FIFO cannot block it, nor a device fill the memory.
    QString why;
    const std::optional<QByteArray> bytes = FileReader::read(path, std::min<qint64>(MaxFileBytes, FileReader::MaxPictureBytes), &why);
    if (!bytes) {
        if (why == FileReader::notRegular(path) || why == FileReader::tooLarge(path))
            throw KorvixError(why);
        const QString prefix = path + QStringLiteral(": ");
        throw KorvixError(tr("Can't open %1: %2").arg(path, why.startsWith(prefix) ? why.mid(prefix.size()) : why));
    }
    return loadData(*bytes, path);
}

QByteArray ImgFile::encodeBmp(const QImage &source, int bitsPerPixel)
{
    if (source.isNull())
        throw KorvixError(tr("The picture is empty."));
    int bits = bitsPerPixel;
    QImage img;
    if (bits <= 8) {
        img = source.format() == QImage::Format_Indexed8 ? source : source.convertToFormat(QImage::Format_Indexed8);
        bits = std::max(bits, indexedDepthFor(img.colorCount()));
        if (bits != 1 && bits != 4)
            bits = 8;
    } else {
        if (bits != 16 && bits != 32)
            bits = 24;
        img = source.convertToFormat(QImage::Format_RGB32);
    }
    const int w = img.width(), h = img.height();
    const qint64 rowBytes = ((qint64(w) * bits + 31) / 32) * 4;
    const int colours = bits <= 8 ? img.colorCount() : 0;
    const quint32 offset = 14 + 40 + quint32(colours) * 4;
    const qint64 fileSize = offset + rowBytes * h;

    QByteArray out;
    out.reserve(fileSize);
    out.append("BM", 2);
    put32(out, quint32(fileSize));
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(h));   // positive: rows bottom-up
    put16(out, 1);
    put16(out, quint16(bits));
    put32(out, 0);            // BI_RGB
    put32(out, quint32(rowBytes * h));
    put32(out, quint32(std::max(0, img.dotsPerMeterX())));
    put32(out, quint32(std::max(0, img.dotsPerMeterY())));
    put32(out, quint32(colours));
    put32(out, 0);
    for (int i = 0; i < colours; ++i) {
        const QRgb c = img.color(i);
        const char entry[4] = {char(qBlue(c)), char(qGreen(c)), char(qRed(c)), 0};
        out.append(entry, 4);
    }

    QByteArray row(rowBytes, '\0');
    for (int y = h - 1; y >= 0; --y) {
        row.fill('\0');
        auto *r = reinterpret_cast<uchar *>(row.data());
        if (bits <= 8) {
            const uchar *src = img.constScanLine(y);
            for (int x = 0; x < w; ++x) {
                const uchar v = src[x];
                if (bits == 8)
                    r[x] = v;
                else if (bits == 4)
                    r[x / 2] |= uchar((v & 0x0F) << (x % 2 ? 0 : 4));
                else
                    r[x / 8] |= uchar((v & 1) << (7 - x % 8));
            }
        } else {
            const auto *src = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const QRgb c = src[x];
                if (bits == 24) {
                    r[3 * x] = uchar(qBlue(c));
                    r[3 * x + 1] = uchar(qGreen(c));
                    r[3 * x + 2] = uchar(qRed(c));
                } else if (bits == 32) {
                    r[4 * x] = uchar(qBlue(c));
                    r[4 * x + 1] = uchar(qGreen(c));
                    r[4 * x + 2] = uchar(qRed(c));
                } else {   // 16 bits, 5-5-5
                    const quint16 v = quint16(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3));
                    qToLittleEndian(v, r + 2 * x);
                }
            }
        }
        out.append(row);
    }
    return out;
}

void ImgFile::save(const QString &path, const Picture &picture)
{
    const QByteArray bytes = encodeBmp(picture.image, picture.bitsPerPixel);
    const QString why = AtomicFile::write(path, bytes);
    if (!why.isEmpty())
        throw KorvixError(tr("Can't write %1: %2").arg(path, why));
}

ImgFile::Picture ImgFile::stretchedStartup(const QImage &source, const Picture &target)
{
    if (source.isNull())
        throw KorvixError(tr("The picture is empty."));
    Picture out;
    const QImage scaled = source.convertToFormat(QImage::Format_RGB32)
                              .scaled(StartupWidth, StartupHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (target.isNull() || target.bitsPerPixel > 8) {
        out.bitsPerPixel = target.isNull() ? 24 : target.bitsPerPixel;
        out.image = scaled.convertToFormat(QImage::Format_RGB888);
    } else {
        // An indexed picture stays indexed, with its own colour table.
        out.bitsPerPixel = target.bitsPerPixel;
        out.image = scaled.convertToFormat(QImage::Format_Indexed8, target.image.colorTable());
    }
    return out;
}

bool ImgFile::isStartupName(const QString &fileName)
{
    return fileName == QLatin1String(SplashName) || fileName == QLatin1String(AntitheftName);
}

QString ImgFile::folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString ImgFile::pathForChoice(const QString &imagePath, int choice)
{
    if (choice == StartUpResult)
        return folderOf(imagePath) + QLatin1String(SplashName);
    if (choice == ShutDownResult)
        return folderOf(imagePath) + QLatin1String(AntitheftName);
    return {};
}

QImage ImgFile::samplePattern(bool startUp)
{
    // Plain pixel loops: no painter, so no fonts or display are needed.
    QImage img(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int dx = x - 320, dy = y - 240;
            const bool ring = (dx * dx + dy * dy) / 1600 % 2 == 0;
            const int r = startUp ? x * 255 / 639 : 40;
            const int g = startUp ? 90 : y * 255 / 479;
            const int b = ring ? 200 : 60;
            line[x] = qRgb(r, g, b);
        }
    }
    return img;
}

void ImgFile::writeSamplePictures(const QString &folder)
{
    save(folder + QLatin1String(SplashName), stretchedStartup(samplePattern(true)));
    save(folder + QLatin1String(AntitheftName), stretchedStartup(samplePattern(false)));
}
