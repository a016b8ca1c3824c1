// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBItnGrid.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

TRBItnGrid::TRBItnGrid(QWidget *parent) : TRBGrid(parent) {}

void TRBItnGrid::SetImageList(const QList<QPixmap> &images)
{
    m_images = images;
    if (AutoSize()) {
        SetAutoSize(false);
        SetAutoSize(true);
    }
    InvalidateGrid();
}

int TRBItnGrid::MinContentHeight() const
{
    int h = 0;
    for (const QPixmap &pm : m_images)
        h = std::max(h, pm.height() + 2);
    return h;
}

void TRBItnGrid::DrawCell(QPainter &painter, int col, int row, const QRect &rect, bool selected)
{
    if (col == FlagColumn && row > 0 && !m_images.isEmpty()) {
        bool ok = false;
        const int flag = GetCell(col, row).trimmed().toInt(&ok);
        if (ok && flag >= 0 && flag < m_images.size()) {
            // Only the cell's plain fill and the picture: no text, no colours.
            SetDefaultDrawing(false);
            TRBGrid::DrawCell(painter, col, row, rect, selected);
            SetDefaultDrawing(true);
            painter.drawPixmap(rect.topLeft() + QPoint(2, 2), m_images.at(flag));
            return;
        }
    }
    TRBGrid::DrawCell(painter, col, row, rect, selected);
}

namespace {
QPixmap blank()
{
    QPixmap pm(18, 18);
    pm.fill(Qt::transparent);
    return pm;
}

// A pennant on a pole; `chequered` draws the finish flag.
QPixmap flagPicture(const QColor &cloth, bool chequered)
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(3, 1, 2, 16), QColor(70, 70, 70));
    const QRect c(5, 2, 11, 8);
    if (chequered) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                p.fillRect(QRect(c.left() + x * 2 + (x > 2 ? 1 : 0), c.top() + y * 2, 2, 2),
                           (x + y) % 2 ? Qt::white : Qt::black);
        p.setPen(Qt::black);
        p.drawRect(c.adjusted(0, 0, -1, -1));
    } else {
        p.fillRect(c, cloth);
        p.setPen(cloth.darker(150));
        p.drawRect(c.adjusted(0, 0, -1, -1));
    }
    return pm;
}

QPixmap dotPicture(const QColor &fill, bool ring)
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(fill.darker(160), 1.5));
    p.setBrush(ring ? QBrush(Qt::white) : QBrush(fill));
    p.drawEllipse(QRectF(3.5, 3.5, 11, 11));
    if (ring) {
        p.setBrush(fill);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(6.5, 6.5, 5, 5));
    }
    return pm;
}
} // namespace

QList<QPixmap> TRBItnGrid::DefaultFlagImages()
{
    return {
        dotPicture(QColor(30, 110, 220), false), // 0
        dotPicture(QColor(150, 150, 150), true), // 1
        flagPicture(QColor(40, 170, 60), false), // 2
        dotPicture(QColor(240, 150, 20), true),  // 3
        flagPicture(QColor(), true),             // 4
    };
}
