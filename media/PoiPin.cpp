// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PoiPin.h"

#include <QPainter>

QImage defaultPoiIcon()
{
    QImage img(22, 22, QImage::Format_RGB888);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawEllipse(QRectF(5, 2, 12, 12));
    QPolygonF tip;
    tip << QPointF(6.5, 11) << QPointF(15.5, 11) << QPointF(11, 21);
    p.drawPolygon(tip);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(8.5, 5.5, 5, 5));
    return img;
}
