// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/RasterCapture.h"

#include "core/RBParams.h"
#include "map/MapScript.h"
#include "platform/AtomicFile.h"
#include "platform/DeviceCodec.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>

namespace RasterCapture {

namespace {

std::optional<int> positiveInt(QStringView text, bool allowZero)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < 0 || (v == 0 && !allowZero))
        return std::nullopt;
    return v;
}

bool isBlack(QRgb p)
{
    return qRed(p) == 0 && qGreen(p) == 0 && qBlue(p) == 0;
}

} // namespace

std::optional<Report> parseReport(const QString &text)
{
    TRBParams f;
    f.ParseFields(text, 0, TRBCharSet{','}, RBConventions::doubleQuote(), RBConventions::blankSet());
    if (f.Count() < 9)
        return std::nullopt;
    for (int i = 0; i < 4; ++i)
        if (!MapScript::isPlainDecimal(f.FieldView(i)))
            return std::nullopt;
    // Positions come with decimals; the pixels are whole.
    auto whole = [&](int i, bool zero) -> std::optional<int> {
        QStringView v = f.FieldView(i);
        if (!MapScript::isPlainDecimal(v))
            return std::nullopt;
        const qsizetype dot = v.indexOf(u'.');
        return positiveInt(dot < 0 ? v : v.left(dot), zero);
    };
    const auto w = whole(5, false), h = whole(6, false), l = whole(7, true), t = whole(8, true);
    if (!w || !h || !l || !t)
        return std::nullopt;
    return Report{f.GetField(0), f.GetField(1), f.GetField(2), f.GetField(3), f.GetField(4), *w, *h, *l, *t};
}

QString proposedName(const Report &r)
{
    QString west = r.west, north = r.north;
    west.remove(u'.');
    north.remove(u'.');
    return r.prefix + u'_' + west + u'_' + north;
}

QImage findMap(const QImage &grab, int width, int height)
{
    if (grab.isNull() || width <= 0 || height <= 0)
        return QImage();
    const QImage img = grab.convertToFormat(QImage::Format_RGB32);
    const int midY = img.height() / 2, midX = img.width() / 2;
    int x = 0;
    while (x < img.width() && !isBlack(img.pixel(x, midY)))
        ++x;
    int y = 0;
    while (y < img.height() && !isBlack(img.pixel(midX, y)))
        ++y;
    // The border is 1 pixel wide: the map begins right after it.
    ++x;
    ++y;
    if (x + width > img.width() || y + height > img.height())
        return QImage();
    return img.copy(x, y, width, height);
}

QByteArray satText(const QString &pictureName, const Report &r, int areaWidth, int areaHeight, const DeviceCodec &codec)
{
    const QString lines[] = {pictureName, r.west, r.north, r.east, r.south, QStringLiteral("0"),
                             QStringLiteral("65535"), QString::number(areaWidth), QString::number(areaHeight)};
    QByteArray out;
    for (const QString &l : lines)
        out += codec.fromUnicode(l) + "\r\n";
    return out;
}

QString save(const QString &base, const QImage &picture, const Report &report, int areaWidth, int areaHeight,
             const DeviceCodec &codec)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "JPEG", 90))
        return QCoreApplication::translate("RasterCapture", "Can't make the picture %1").arg(base + QStringLiteral(".jpg"));
    if (QString e = AtomicFile::write(base + QStringLiteral(".jpg"), jpeg); !e.isEmpty())
        return e;
    const QString name = QFileInfo(base + QStringLiteral(".jpg")).fileName();
    return AtomicFile::write(base + QStringLiteral(".sat"), satText(name, report, areaWidth, areaHeight, codec));
}

} // namespace RasterCapture
