// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureFixtures.h"

#include <QProcess>
#include <QtEndian>

QString writeJpeg(const QString &path, int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    img.save(path, "JPG");
    return path;
}

QImage indexedPicture(int width, int height)
{
    QImage img(width, height, QImage::Format_Indexed8);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, uint((x + 2 * y) % 4));
    return img;
}

QByteArray bitmapHeaderOnly(int width, int height, int bits)
{
    QByteArray d(54, '\0');
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(54, d.data() + 10);
    qToLittleEndian<quint32>(40, d.data() + 14);
    qToLittleEndian<qint32>(width, d.data() + 18);
    qToLittleEndian<qint32>(height, d.data() + 22);
    qToLittleEndian<quint16>(1, d.data() + 26);
    qToLittleEndian<quint16>(quint16(bits), d.data() + 28);
    return d;
}

QString runTool(const QString &program, const QStringList &args, int *exitCode)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000))
        return {};
    p.waitForFinished(30000);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
}
