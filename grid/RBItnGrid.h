// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TRBItnGrid: the itinerary editor's grid; column 4 (the point flag) shows one of
// the image list's pictures instead of the number.

#include "grid/RBGrids.h"

#include <QList>
#include <QPixmap>

class TRBItnGrid : public TRBGrid {
    Q_OBJECT
public:
    static constexpr int FlagColumn = 4;

    explicit TRBItnGrid(QWidget *parent = nullptr);

    // One picture per flag value 0..count-1; empty = draw the numbers.
    const QList<QPixmap> &ImageList() const { return m_images; }
    void SetImageList(const QList<QPixmap> &images);

    // Our own artwork for the flags 0..4, 18 x 18 pixels each.
    static QList<QPixmap> DefaultFlagImages();

protected:
    void DrawCell(QPainter &painter, int col, int row, const QRect &rect, bool selected) override;
    // A fitted row leaves room for the picture and its 2-pixel offset.
    int MinContentHeight() const override;

private:
    QList<QPixmap> m_images;
};
