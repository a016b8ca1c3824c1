// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGrids.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPainter>

// ---- editing ---------------------------------------------------------------------------

void TRBGrid::commitEditText(int col, int row, const QString &text)
{
    if (text != GetCell(col, row)) {
        ++m_editNesting;
        SetCell(col, row, text);
        fireChanged();
        --m_editNesting;
        // One cell can put its neighbours at fault (an empty latitude beside a new
        // longitude).
        if (OnCellFault)
            InvalidateRow(row);
    }
    if (OnSetEditText)
        OnSetEditText(this, col, row, text);
}

// ---- keys ------------------------------------------------------------------------------

void TRBGrid::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F3 && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
        const bool forward = mods == Qt::NoModifier;
        if (OnFindNext)
            OnFindNext(this, forward);
        else
            StepToMarked(forward);
        return;
    }
    // Delete takes whole marked rows; in a cell it clears the cell.
    if (event->key() == Qt::Key_Delete && mods == Qt::NoModifier && state() != EditingState) {
        if (m_enableRowEdit && HasMarkedRow(RBFlags::RowMark)) {
            DeleteMarkedRows();
        } else if (Row() >= m_fixedRows && Col() >= m_fixedCols && m_cellEditing) {
            commitEditText(Col(), Row(), QString());
            viewport()->update();
        }
        return;
    }
    if (m_autoAddRow && event->key() == Qt::Key_Down && !(event->modifiers() & ~Qt::KeypadModifier)) {
        if (Row() == RowCount() - 1)
            SetRowCount(RowCount() + 1);
        if (OnAddRow)
            OnAddRow(this, RowCount() - 1);
        emit rowAdded(RowCount() - 1);
        QTableView::keyPressEvent(event);
        return;
    }
    if (m_autoAddRow && event->key() == Qt::Key_Up && !(event->modifiers() & ~Qt::KeypadModifier)) {
        QTableView::keyPressEvent(event);
        if (Row() == RowCount() - 2 && IsRowEmpty(RowCount() - 1))
            SetRowCount(RowCount() - 1);
        fireChanged();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TRBGrid::keyReleaseEvent(QKeyEvent *event)
{
    QTableView::keyReleaseEvent(event);
    if (OnKeyUp)
        OnKeyUp(this, event);
}

bool TRBGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_corner && event->type() == QEvent::Paint) {
        QPainter p(m_corner);
        const QRect r = m_corner->rect();
        if (m_fixedRows && m_fixedCols)
            PaintCell(p, 0, 0, r.adjusted(0, 0, -1, -1), false);
        p.setClipping(false);
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(r.topRight(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.bottomRight());
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
