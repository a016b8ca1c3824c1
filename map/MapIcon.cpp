// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MapIcon.h"

#include "platform/AtomicFile.h"
#include "platform/Folders.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>

namespace MapFiles {

QString folder()
{
    return Folders::UserDataFolder() + QStringLiteral("GMap/");
}

QImage framedIcon(const QImage &small)
{
    QImage img(22, 22, QImage::Format_RGB888);
    img.fill(QColor(0, 0, 128));
    if (!small.isNull()) {
        QPainter p(&img);
        p.drawImage(QRect(1, 1, 20, 20), small.convertToFormat(QImage::Format_RGB888));
    } else {
        QPainter p(&img);
        p.fillRect(QRect(1, 1, 20, 20), Qt::white);
    }
    return img;
}

QString iconName(int number)
{
    return QString::asprintf("image%3.3d.bmp", number);
}

QString writeIcon(const QImage &small, int number)
{
    const QString dir = folder();
    if (!QDir().mkpath(dir))
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!framedIcon(small).save(&buffer, "BMP"))
        return {};
    const QString name = iconName(number);
    return AtomicFile::write(dir + name, bytes).isEmpty() ? name : QString();
}

} // namespace MapFiles
