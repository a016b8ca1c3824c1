// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGrids.h"

#include "grid/RBGridModel.h"

#include <QMouseEvent>

#include <algorithm>

void TRBGrid::MarkRow(int row, quint32 bits)
{
    if (row < 0 || row >= RowCount())
        return;
    for (int c = m_fixedCols; c < ColCount(); ++c)
        m_table.SetFlags(c, row, m_table.Flags(c, row) | bits);
    InvalidateRow(row);
}

void TRBGrid::UnmarkRow(int row, quint32 bits)
{
    if (row < 0 || row >= RowCount())
        return;
    for (int c = m_fixedCols; c < ColCount(); ++c)
        m_table.SetFlags(c, row, m_table.Flags(c, row) & ~bits);
    InvalidateRow(row);
}

void TRBGrid::UnmarkAllRows(quint32 bits)
{
    const int cols = ColCount();
    for (int r = m_fixedRows; r < RowCount(); ++r)
        for (int c = m_fixedCols; c < cols; ++c)
            m_table.SetFlags(c, r, m_table.Flags(c, r) & ~bits);
    m_model->rangeChanged(0, m_model->rowCount() - 1);
}

bool TRBGrid::HasMarkedRow(quint32 bits) const
{
    if (ColCount() <= m_fixedCols)
        return false;
    for (int r = m_fixedRows; r < RowCount(); ++r)
        if (m_table.Flags(m_fixedCols, r) & bits)
            return true;
    return false;
}

void TRBGrid::SelectAllRows()
{
    if (!m_enableRowEdit)
        return;
    const int cols = ColCount();
    for (int r = m_fixedRows; r < RowCount(); ++r)
        for (int c = m_fixedCols; c < cols; ++c)
            m_table.SetFlags(c, r, m_table.Flags(c, r) | RBFlags::RowMark);
    m_model->rangeChanged(0, m_model->rowCount() - 1);
}

void TRBGrid::InvertRowMarks()
{
    if (!m_enableRowEdit)
        return;
    const int cols = ColCount();
    for (int r = m_fixedRows; r < RowCount(); ++r) {
        const bool marked = m_table.Flags(1, r) & RBFlags::RowMark;
        for (int c = m_fixedCols; c < cols; ++c) {
            const quint32 f = m_table.Flags(c, r);
            m_table.SetFlags(c, r, marked ? f & ~RBFlags::RowMark : f | RBFlags::RowMark);
        }
    }
    m_model->rangeChanged(0, m_model->rowCount() - 1);
}

// ---- mouse marking -----------------------------------------------------------------------

int TRBGrid::StepToMarked(bool forward, quint32 bits)
{
    const int first = m_fixedRows, n = RowCount() - m_fixedRows;
    if (n <= 0 || ColCount() <= m_fixedCols)
        return -1;
    const int from = qBound(first, Row(), RowCount() - 1) - first;
    // A plain walk over the flags: a million rows take a few milliseconds.
    for (int step = 1; step <= n; ++step) {
        const int r = first + (forward ? (from + step) % n : (from - step % n + n) % n);
        if (m_table.Flags(m_fixedCols, r) & bits) {
            GoToRow(r);
            return r;
        }
    }
    return -1;
}

void TRBGrid::GoToRow(int row)
{
    if (row < m_fixedRows || row >= RowCount() || ColCount() <= m_fixedCols)
        return;
    const int col = qMax(Col(), m_fixedCols);
    SetCurrentCell(col, row);
    scrollTo(m_model->index(row - m_fixedRows, col - m_fixedCols), QAbstractItemView::PositionAtCenter);
}

bool TRBGrid::rowMarked(int row) const
{
    return m_table.Flags(m_fixedCols, row) & RBFlags::RowMark;
}

void TRBGrid::applyDragMode(int row)
{
    if (m_dragMark)
        MarkRow(row, RBFlags::RowMark);
    else
        UnmarkRow(row, RBFlags::RowMark);
}

void TRBGrid::mousePressEvent(QMouseEvent *event)
{
    if (m_enableRowEdit && event->button() == Qt::LeftButton && focusPolicy() != Qt::NoFocus) {
        const int row = gridRowAt(event->position().toPoint().y());
        const Qt::KeyboardModifiers mods = event->modifiers();
        if (mods & Qt::ShiftModifier) {
            if (row >= m_fixedRows) {
                const int prev = Row();
                for (int r = std::min(prev, row); r <= std::max(prev, row); ++r)
                    if (r >= m_fixedRows)
                        MarkRow(r, RBFlags::RowMark);
            }
            HideEditor();
        } else if (mods & Qt::ControlModifier) {
            if (row >= m_fixedRows) {
                m_dragging = true;
                m_dragMark = !rowMarked(row);
                HideEditor();
            }
            // The current cell moves as on a plain click; the selection does not grow.
            QMouseEvent plain(event->type(), event->position(), event->scenePosition(),
                              event->globalPosition(), event->button(), event->buttons(),
                              Qt::NoModifier);
            QTableView::mousePressEvent(&plain);
            return;
        } else {
            UnmarkAllRows(RBFlags::RowMark);
        }
    }
    QTableView::mousePressEvent(event);
}

void TRBGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    const int y = event->position().toPoint().y();
    const int top = TopRow();
    const int below = top + VisibleRowCount(); // first row below the visible area
    const int belowY = below < RowCount() ? rowViewportPosition(below - m_fixedRows)
                                          : viewport()->height();
    if (y >= belowY && below < RowCount()) {
        applyDragMode(below);
        if (below < RowCount() - 1)
            SetTopRow(top + 1);
    } else if (y < 0) {
        if (top > m_fixedRows) {
            SetTopRow(top - 1);
            applyDragMode(TopRow());
        }
    } else {
        const int row = gridRowAt(y);
        if (row >= m_fixedRows && row != RowCount() - 1 && rowMarked(row) != m_dragMark)
            applyDragMode(row);
    }
}

void TRBGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        m_dragging = false;
        const int row = gridRowAt(pos.y());
        if (row > 0 && row < RowCount())
            applyDragMode(row);
    }
    QTableView::mouseReleaseEvent(event);
    if (OnMouseUp) {
        const QPoint cell = MouseCoord(pos);
        OnMouseUp(this, event, cell.x(), cell.y());
    }
}
