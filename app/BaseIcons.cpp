// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BaseIcons.h"

#include "app/CommandRules.h"
#include "app/TreeBuilder.h"
#include "platform/DeviceFiles.h"

#include <QApplication>
#include <QStyle>

#include <cmath>
#include <functional>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int size = 22;

QPixmap canvas()
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

QIcon device()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(70, 70, 80));
    p.drawRoundedRect(QRectF(2, 4, 18, 14), 3, 3);
    p.setBrush(QColor(110, 190, 240));
    p.drawRect(QRectF(5, 6.5, 12, 9));
    p.setPen(QPen(QColor(60, 160, 60), 2));
    p.drawLine(QPointF(7, 13), QPointF(11, 9));
    p.drawLine(QPointF(11, 9), QPointF(15, 11));
    return QIcon(pm);
}

QIcon pin(const QColor &colour)
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(11, 21);
    path.cubicTo(4, 13, 4, 10, 4, 8.5);
    path.arcTo(QRectF(4, 1.5, 14, 14), 180, -180);
    path.cubicTo(18, 10, 18, 13, 11, 21);
    p.setPen(QPen(colour.darker(160), 1.2));
    p.setBrush(colour);
    p.drawPath(path);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(11, 8.5), 2.6, 2.6);
    return QIcon(pm);
}

QIcon folder(const QColor &colour)
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(170), 1));
    p.setBrush(colour.darker(115));
    p.drawRoundedRect(QRectF(2, 4, 8, 5), 1.5, 1.5);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(2, 6, 18, 13), 2, 2);
    return QIcon(pm);
}

QIcon database()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 20), 1.2));
    p.setBrush(QColor(230, 180, 60));
    p.drawRect(QRectF(4, 5, 14, 13));
    for (double y : {5.0, 9.5, 14.0, 18.0})
        p.drawEllipse(QRectF(4, y - 2, 14, 4));
    return QIcon(pm);
}

// A road sign with a state light: the road-information file and the satellite data.
QIcon signal(bool ready, bool satellite)
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (satellite) {
        p.setPen(QPen(QColor(60, 60, 90), 1.2));
        p.setBrush(QColor(180, 185, 210));
        p.drawRect(QRectF(8, 8, 6, 6));
        p.setBrush(QColor(60, 90, 180));
        p.drawRect(QRectF(1.5, 9, 5.5, 4));
        p.drawRect(QRectF(15, 9, 5.5, 4));
    } else {
        p.setPen(QPen(QColor(150, 20, 20), 1.5));
        p.setBrush(Qt::white);
        QPolygonF tri({QPointF(11, 2), QPointF(20.5, 19), QPointF(1.5, 19)});
        p.drawPolygon(tri);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ready ? QColor(30, 170, 50) : QColor(220, 40, 40));
    p.drawEllipse(QPointF(satellite ? 17.5 : 11, satellite ? 17.5 : 13.5), 3.2, 3.2);
    return QIcon(pm);
}

QIcon speaker()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(QColor(90, 90, 100));
    p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(7, 8), QPointF(12, 4), QPointF(12, 18), QPointF(7, 14), QPointF(3, 14)}));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 120, 200), 1.6));
    p.drawArc(QRectF(9, 6, 8, 10), -50 * 16, 100 * 16);
    p.drawArc(QRectF(8, 3, 12, 16), -50 * 16, 100 * 16);
    return QIcon(pm);
}

QIcon picture()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(200, 230, 255));
    p.drawRect(QRectF(2, 4, 18, 14));
    p.setBrush(QColor(80, 160, 70));
    p.drawPolygon(QPolygonF({QPointF(3, 17), QPointF(9, 9), QPointF(13, 14), QPointF(16, 11), QPointF(19, 17)}));
    p.setBrush(QColor(250, 210, 50));
    p.drawEllipse(QPointF(15.5, 7.5), 1.8, 1.8);
    return QIcon(pm);
}

QIcon palette()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(220, 50, 50), QColor(50, 160, 60), QColor(50, 90, 220), QColor(240, 200, 40)};
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(colours[i].darker(150), 1));
        p.setBrush(colours[i]);
        p.drawRect(QRectF(2 + (i % 2) * 9.5, 2 + (i / 2) * 9.5, 8.5, 8.5));
    }
    return QIcon(pm);
}

QIcon document()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(5, 2), QPointF(14, 2), QPointF(18, 6), QPointF(18, 20), QPointF(5, 20)}));
    p.setPen(QPen(QColor(120, 140, 170), 1));
    for (int y = 8; y <= 17; y += 3)
        p.drawLine(QPointF(7.5, y), QPointF(15.5, y));
    return QIcon(pm);
}

} // namespace

QList<QIcon> baseTreeIcons()
{
    QList<QIcon> icons(TreeIcon::BaseCount);
    icons[TreeIcon::Device] = device();
    icons[TreeIcon::PoiFile] = pin(QColor(40, 120, 220));
    icons[TreeIcon::MapFolder] = folder(QColor(120, 190, 110));
    icons[TreeIcon::PoiDat] = database();
    icons[TreeIcon::GddkiaStale] = signal(false, false);
    icons[TreeIcon::GddkiaReady] = signal(true, false);
    icons[6] = pin(QColor(150, 150, 150)); // unused slot of the list
    icons[TreeIcon::GpsReady] = signal(true, true);
    icons[TreeIcon::GpsStale] = signal(false, true);
    icons[TreeIcon::Category] = folder(QColor(240, 200, 90));
    icons[TreeIcon::Sound] = speaker();
    icons[TreeIcon::Image] = picture();
    icons[TreeIcon::Scheme] = palette();
    icons[TreeIcon::File] = document();
    return icons;
}

QIcon poiBitmapIcon(const QString &bitmapPath)
{
    QPixmap pm = canvas();
    // POI pictures are small; a FIFO or a device node named ".bmp" is never opened.
    constexpr qint64 maxPictureSize = 4 << 20;
    const QImage img = QImage::fromData(DeviceFiles::readRegular(bitmapPath, maxPictureSize).value_or(QByteArray()));
    if (!img.isNull()) {
        QPainter p(&pm);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(0, 0, size, size), img);
    }
    return QIcon(pm);
}

namespace {

QIcon drawn(const std::function<void(QPainter &)> &paint)
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return QIcon(pm);
}

QIcon standard(QStyle::StandardPixmap which)
{
    return QApplication::style()->standardIcon(which);
}

void wave(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour, 1.4));
    QPainterPath path;
    path.moveTo(2, 11);
    for (int x = 2; x <= 20; ++x)
        path.lineTo(x, 11 + std::sin(x * 1.3) * (x % 3 + 2));
    p.drawPath(path);
}

// The style's own disabled look leaves dark icons (play, stop) almost as they are, so a
// toolbar of disabled sound commands looked ready to use: disabled is pale grey here.
QIcon withPaleDisabledState(const QIcon &icon)
{
    QIcon out;
    for (int side : {16, 22, 32}) {
        const QPixmap normal = icon.pixmap(QSize(side, side));
        if (normal.isNull())
            continue;
        QImage pale = normal.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < pale.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(pale.scanLine(y));
            for (int x = 0; x < pale.width(); ++x) {
                const int grey = 160 + qGray(line[x]) * 95 / 255;
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
            }
        }
        out.addPixmap(normal, QIcon::Normal);
        out.addPixmap(QPixmap::fromImage(pale), QIcon::Disabled);
    }
    return out;
}

QIcon plainCommandIcon(SharedCommand c)
{
    switch (c) {
    case SharedCommand::Save: return standard(QStyle::SP_DialogSaveButton);
    case SharedCommand::SaveAs: return standard(QStyle::SP_DialogSaveButton);
    case SharedCommand::PlaySound: return standard(QStyle::SP_MediaPlay);
    case SharedCommand::StopSound: return standard(QStyle::SP_MediaStop);
    case SharedCommand::RecSound:
        return drawn([](QPainter &p) {
            p.setPen(QPen(QColor(120, 0, 0), 1));
            p.setBrush(QColor(220, 30, 30));
            p.drawEllipse(QPointF(11, 11), 6, 6);
        });
    case SharedCommand::DelSound: return standard(QStyle::SP_BrowserReload);
    case SharedCommand::ImportSound: return standard(QStyle::SP_DialogOpenButton);
    case SharedCommand::SaveSound:
        return drawn([](QPainter &p) {
            wave(p, QColor(30, 120, 200));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(40, 160, 60));
            p.drawRect(QRectF(13, 13, 7, 7));
        });
    case SharedCommand::DeleteSound:
        return drawn([](QPainter &p) {
            wave(p, QColor(30, 120, 200));
            p.setPen(QPen(QColor(210, 30, 30), 2.2));
            p.drawLine(QPointF(5, 5), QPointF(17, 17));
            p.drawLine(QPointF(17, 5), QPointF(5, 17));
        });
    case SharedCommand::TrimSound:
        return drawn([](QPainter &p) {
            p.fillRect(QRectF(7, 2, 8, 18), QColor(255, 230, 120));
            wave(p, QColor(30, 120, 200));
            p.setPen(QPen(QColor(60, 60, 60), 1.2, Qt::DashLine));
            p.drawLine(QPointF(7, 2), QPointF(7, 20));
            p.drawLine(QPointF(15, 2), QPointF(15, 20));
        });
    case SharedCommand::NormalizeSound:
        return drawn([](QPainter &p) {
            wave(p, QColor(30, 120, 200));
            p.setPen(QPen(QColor(40, 160, 60), 1.4));
            p.drawLine(QPointF(2, 3), QPointF(20, 3));
            p.drawLine(QPointF(2, 19), QPointF(20, 19));
        });
    case SharedCommand::Search:
        return drawn([](QPainter &p) {
            p.setPen(QPen(QColor(50, 50, 50), 2));
            p.setBrush(QColor(200, 230, 255));
            p.drawEllipse(QPointF(9, 9), 5.5, 5.5);
            p.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(13.5, 13.5), QPointF(19, 19));
        });
    case SharedCommand::Duplicates:
        return drawn([](QPainter &p) {
            for (double dx : {0.0, 6.0}) {
                p.setPen(QPen(QColor(150, 60, 20), 1.2));
                p.setBrush(dx == 0.0 ? QColor(250, 160, 60) : QColor(250, 200, 120));
                p.drawEllipse(QPointF(7 + dx, 9 + dx / 2), 5, 5);
            }
        });
    case SharedCommand::Select:
        return drawn([](QPainter &p) {
            p.setPen(QPen(QColor(50, 50, 50), 1));
            p.setBrush(QColor(255, 240, 150));
            p.drawRect(QRectF(2, 5, 18, 12));
            p.setPen(QColor(30, 30, 30));
            QFont f = p.font();
            f.setPixelSize(10);
            f.setBold(true);
            p.setFont(f);
            p.drawText(QRectF(2, 5, 18, 12), Qt::AlignCenter, QStringLiteral("abc"));
        });
    case SharedCommand::SelRegion:
        return drawn([](QPainter &p) {
            p.setPen(QPen(QColor(40, 90, 200), 1.5, Qt::DashLine));
            p.setBrush(QColor(200, 220, 255, 120));
            p.drawRect(QRectF(3, 3, 16, 16));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(220, 40, 40));
            p.drawEllipse(QPointF(11, 11), 2.5, 2.5);
        });
    case SharedCommand::GoogleAPI:
        return drawn([](QPainter &p) {
            p.setPen(QPen(QColor(40, 100, 40), 1));
            p.setBrush(QColor(170, 220, 160));
            p.drawRect(QRectF(2, 3, 18, 16));
            p.setPen(QPen(QColor(240, 240, 240), 2.2));
            p.drawLine(QPointF(2, 14), QPointF(20, 8));
        });
    }
    return {};
}

} // namespace

QIcon commandIcon(SharedCommand c)
{
    return withPaleDisabledState(plainCommandIcon(c));
}

QIcon windowCommandIcon(const QString &name)
{
    return drawn([name](QPainter &p) {
        p.setPen(QPen(QColor(60, 60, 90), 1));
        const QColor title(70, 110, 190), body(235, 240, 250);
        auto window = [&](const QRectF &r) {
            p.setBrush(body);
            p.drawRect(r);
            p.fillRect(QRectF(r.left(), r.top(), r.width(), 3), title);
        };
        if (name == QLatin1String("cascade")) {
            window(QRectF(2, 2, 12, 10));
            window(QRectF(5, 6, 12, 10));
            window(QRectF(8, 10, 12, 10));
        } else if (name == QLatin1String("tileH")) {
            window(QRectF(2, 2, 18, 8.5));
            window(QRectF(2, 11.5, 18, 8.5));
        } else {
            window(QRectF(2, 2, 8.5, 18));
            window(QRectF(11.5, 2, 8.5, 18));
        }
    });
}
