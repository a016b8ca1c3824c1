// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGrids.h"

#include "core/CoordinateCells.h"
#include "grid/RBGridDelegate.h"
#include "grid/RBGridModel.h"

#include <QAbstractButton>
#include <QPainter>

#include <algorithm>

// ---- repaint --------------------------------------------------------------------------

void TRBGrid::InvalidateCell(int col, int row)
{
    if (!m_table.Contains(col, row))
        return;
    if (row < m_fixedRows && col < m_fixedCols) {
        if (m_corner)
            m_corner->update();
    } else if (row < m_fixedRows) {
        m_model->headerChanged(Qt::Horizontal, col - m_fixedCols, col - m_fixedCols);
    } else if (col < m_fixedCols) {
        m_model->headerChanged(Qt::Vertical, row - m_fixedRows, row - m_fixedRows);
    } else {
        m_model->cellChanged(modelIndex(col, row));
    }
}

void TRBGrid::InvalidateRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    if (row < m_fixedRows) {
        m_hHeader->viewport()->update();
        if (m_corner)
            m_corner->update();
        return;
    }
    if (m_fixedCols)
        m_model->headerChanged(Qt::Vertical, row - m_fixedRows, row - m_fixedRows);
    m_model->rangeChanged(row - m_fixedRows, row - m_fixedRows);
}

void TRBGrid::InvalidateGrid()
{
    viewport()->update();
    m_hHeader->viewport()->update();
    m_vHeader->viewport()->update();
    if (m_corner)
        m_corner->update();
}

// ---- drawing ---------------------------------------------------------------------------

QColor TRBGrid::ErrorColor()
{
    return QColor(255, 128, 128);
}

TCellFaultEvent TRBGrid::CoordinateFaults(int lastColumn)
{
    return [lastColumn](const TRBGrid *g, int col, int row, QStringView text) {
        return row > 0 && row < g->RowCount()
               && CoordinateCells::cellFaulty(g->Table().Row(row), col, text, lastColumn);
    };
}

void TRBGrid::PaintCell(QPainter &painter, int col, int row, const QRect &rect, bool selected)
{
    painter.setClipRect(rect);
    DrawCell(painter, col, row, rect, selected);
    painter.setClipRect(rect);
    painter.setFont(m_gridFont);
    if (OnDrawCell)
        OnDrawCell(this, col, row, painter, rect, selected);
}

void TRBGrid::DrawCell(QPainter &p, int col, int row, const QRect &rect, bool selected)
{
    const bool fixed = isFixed(col, row);
    const QPalette &pal = palette();
    // The platform grid's own fill: fixed face, selection highlight or window colour.
    QColor fontColor;
    if (fixed) {
        p.fillRect(rect, pal.color(QPalette::Button));
        fontColor = pal.color(QPalette::ButtonText);
    } else if (selected) {
        p.fillRect(rect, pal.color(QPalette::Highlight));
        fontColor = pal.color(QPalette::HighlightedText);
    } else {
        p.fillRect(rect, pal.color(QPalette::Base));
        fontColor = pal.color(QPalette::Text);
    }
    if (!m_defaultDrawing)
        return;

    const TRBCellStatus st = m_table.Status(col, row);
    const quint32 flags = st.Flags;
    const auto &palette = RBGridPalette();

    // 1. Odd data rows outside the selection.
    const QColor rowColor = ColorFromNumber(m_autoRowColor);
    if (!fixed && (row & 1) && !selected && rowColor != pal.color(QPalette::Base))
        p.fillRect(rect, rowColor);

    // 2. Font.
    QFont f = fixed ? m_gridFont : font();
    if (st.FontSize)
        f.setPointSize(st.FontSize);
    p.setFont(f);

    // 3. Custom colours.
    QColor penColor = Qt::black, brushColor = pal.color(QPalette::Base);
    if (flags & RBFlags::CustomColors) {
        penColor = ColorFromNumber(st.PenColor);
        brushColor = ColorFromNumber(st.BrushColor);
        fontColor = ColorFromNumber(st.FontColor);
    }
    // 4. Background: marks never hide the selection highlight.
    const int bg = RBFlags::backgroundIndex(flags);
    if (bg)
        brushColor = palette[size_t(bg)].Light;
    if ((bg || (flags & RBFlags::CustomColors)) && !selected)
        p.fillRect(rect, brushColor);
    // A cell the save would refuse shows so over marks and the selection alike.
    if (OnCellFault && !fixed && OnCellFault(this, col, row, std::as_const(m_table).Row(row).FieldView(col)))
        p.fillRect(rect, selected ? ErrorColor().darker(200) : ErrorColor());

    // 5. Frame, 2 pixels wide, shared between neighbours with equal flags.
    const int fr = RBFlags::frameIndex(flags);
    if (fr)
        penColor = palette[size_t(fr)].Strong;
    if (fr || (flags & RBFlags::CustomColors)) {
        QPen pen(penColor, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        p.setPen(pen);
        const int l = rect.left(), t = rect.top();
        const int r = rect.right() + 1, b = rect.bottom() + 1; // exclusive edges
        p.drawLine(QPoint(l, t + 1), QPoint(r, t + 1));
        if (col == m_fixedCols || m_table.Flags(col - 1, row) != flags)
            p.drawLine(QPoint(l + 1, t), QPoint(l + 1, b));
        if (col == ColCount() - 1 || m_table.Flags(col + 1, row) != flags)
            p.drawLine(QPoint(r - 1, t), QPoint(r - 1, b));
        p.drawLine(QPoint(l, b - 1), QPoint(r, b - 1));
    }
    // 6. Text colour.
    const int ti = RBFlags::textIndex(flags);
    if (ti)
        fontColor = palette[size_t(ti)].Text;

    // 7. Text rectangle.
    QRect tr = rect.adjusted(1, 1, -1, -1);
    QString text = std::as_const(m_table).Row(row).GetField(col);

    // 8. Colour swatch.
    if (flags & RBFlags::ColorSwatch) {
        const QRect box(tr.left(), tr.top(), 20, tr.height());
        TRBColor number = 0;
        p.setRenderHint(QPainter::Antialiasing, false);
        if (ParseColorNumber(TrimChars(text, RBConventions::blankSet()), number)) {
            const QColor c = ColorFromNumber(number);
            p.fillRect(box, c);
            p.setPen(QPen(c, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(0, 0, -1, -1));
        } else {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(0, 0, -1, -1));
            p.drawLine(box.topLeft(), box.bottomRight());
            p.drawLine(box.bottomLeft(), box.topRight());
        }
        tr.setLeft(tr.left() + 22);
    }

    // 9. Text, clipped, placed by the alignment.
    if (text.isEmpty())
        return;
    const int align = std::min<int>(st.Alignment, 8);
    if (text.size() > 2000) {
        // Only a slice can be visible; laying out a megabyte per paint would stall.
        const int h = align % 3;
        text = h == 0 ? text.left(2000) : h == 2 ? text.right(2000) : text.mid(text.size() / 2 - 1000, 2000);
    }
    const QFontMetrics fm(f);
    const int tw = fm.horizontalAdvance(text), th = fm.height();
    int x = tr.left() + 1, y = tr.top();
    switch (align % 3) {
    case 1: x = tr.left() + tr.width() / 2 - tw / 2; break;
    case 2: x = tr.left() + tr.width() - tw; break;
    }
    switch (align / 3) {
    case 1: y = tr.top() + tr.height() / 2 - th / 2; break;
    case 2: y = tr.top() + tr.height() - th; break;
    }
    p.setClipRect(tr, Qt::IntersectClip);
    p.setPen(fontColor);
    p.drawText(QPoint(x, y + fm.ascent()), text);
}
