// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGrids.h"

#include "grid/RBGridModel.h"

#include <algorithm>

// ---- data ---------------------------------------------------------------------------

void TRBGrid::TableChanged()
{
    // The current cell and the scroll position survive where the rows still reach.
    const int col = Col(), row = Row(), top = TopRow();
    m_model->beginReset();
    // Rows filled past the column count widen the grid rather than lose fields.
    int widest = m_table.ColCount();
    for (int r = 0; r < m_table.RowCount(); ++r)
        widest = std::max(widest, std::as_const(m_table).Row(r).Count());
    m_table.SetColCount(widest);
    m_model->endReset();
    m_colMax.assign(size_t(ColCount()), 0);
    m_colMaxCount.assign(size_t(ColCount()), 0);
    m_colDirty.assign(size_t(ColCount()), 0);
    m_numberedUpTo = 0;
    resizeTable(RowCount(), ColCount());
    if (m_autoSize)
        fitAll();
    SetCurrentCell(col, std::min(row, RowCount() - 1));
    SetTopRow(std::min(top, RowCount() - 1));
}

void TRBGrid::SetTable(TRBParamsTable table)
{
    m_model->beginReset();
    m_table = std::move(table);
    m_measures.reset(m_table.RowCount(), m_table.ColCount());
    m_model->endReset();
    TableChanged();
}

void TRBGrid::RowChanged(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    for (int c = 0; c < ColCount(); ++c) {
        const int oldW = m_measures.width(c, row);
        measureCell(c, row);
        if (m_autoSize)
            noteWidth(c, oldW, m_measures.width(c, row));
    }
    if (m_autoSize) {
        fitDirtyColumns();
        fitRow(row);
    }
    InvalidateRow(row);
}

void TRBGrid::SetCell(int col, int row, const QString &text)
{
    if (col < 0 || row < 0)
        return;
    if (std::as_const(m_table).Row(row).FieldView(col) == text)
        return;
    const bool record = recording();
    const QString before = record ? m_table.Cell(col, row) : QString();
    const bool grows = row >= RowCount();
    if (grows) {
        const int old = RowCount();
        BeginChange(QStringLiteral("cell"));
        resizeTable(row + 1, ColCount());
        if (record)
            recordRowsIn(old, RowCount() - old);
    }
    const int oldW = m_measures.width(col, row);
    m_table.SetCell(col, row, text);
    if (record)
        recordCell(col, row, before, text);
    if (grows)
        EndChange();
    measureCell(col, row);
    if (m_autoSize && !m_batch) {
        noteWidth(col, oldW, m_measures.width(col, row));
        fitDirtyColumns();
        fitRow(row);
    }
    InvalidateCell(col, row);
}

TRBParams &TRBGrid::GetRowParams(int row)
{
    row = std::max(row, 0);
    if (row >= RowCount())
        resizeTable(row + 1, ColCount());
    return m_table.Row(row);
}

void TRBGrid::SetRowParams(int row, const TRBParams &params)
{
    if (recording() && row >= 0 && row < RowCount()) {
        std::vector<TRBParams> before{std::as_const(m_table).Row(row)};
        GetRowParams(row) = params;
        RecordRowChanges({row}, std::move(before));
    }
    GetRowParams(row) = params;
    fireChanged();
    RowChanged(row);
}

void TRBGrid::SetCellFlags(int col, int row, quint32 flags)
{
    if (!m_table.Contains(col, row) || m_table.Flags(col, row) == flags)
        return;
    const bool swatchChanged = (m_table.Flags(col, row) ^ flags) & RBFlags::ColorSwatch;
    m_table.SetFlags(col, row, flags);
    if (swatchChanged) {
        const int oldW = m_measures.width(col, row);
        measureCell(col, row);
        if (m_autoSize) {
            noteWidth(col, oldW, m_measures.width(col, row));
            fitDirtyColumns();
        }
    }
    InvalidateCell(col, row);
}

void TRBGrid::SetCellStatus(int col, int row, const TRBCellStatus &status)
{
    if (!m_table.Contains(col, row))
        return;
    const int oldW = m_measures.width(col, row);
    m_table.SetStatus(col, row, status);
    measureCell(col, row);
    if (m_autoSize) {
        noteWidth(col, oldW, m_measures.width(col, row));
        fitDirtyColumns();
        fitRow(row);
    }
    InvalidateCell(col, row);
}

bool TRBGrid::IsRowEmpty(int row) const
{
    if (row < 0 || row >= RowCount())
        return false;
    const TRBParams &p = m_table.Row(row);
    for (int c = m_fixedCols; c < ColCount(); ++c)
        if (!p.FieldView(c).isEmpty())
            return false;
    return true;
}

void TRBGrid::InsertEmptyRow(int row)
{
    row = std::clamp(row, m_fixedRows, RowCount());
    const int mr = row - m_fixedRows;
    m_model->beginInsert(mr, mr, true);
    m_table.InsertRow(row);
    m_model->endInsert(true);
    numbersInvalidFrom(row);
    measureRows(row, row);
    applyHeaderAndNumbers();
    fitDirtyColumns();
    viewport()->update();
    if (recording())
        recordRowsIn(row, 1);
}

void TRBGrid::DeleteRow(int row)
{
    if (row < m_fixedRows || row >= RowCount())
        return;
    const bool record = recording();
    BeginChange(QStringLiteral("delete"));
    if (RowCount() - 1 <= m_fixedRows) {
        // The only data row: one empty data row always remains.
        resizeTable(RowCount() + 1, ColCount());
        if (record)
            recordRowsIn(RowCount() - 1, 1);
    }
    const int mr = row - m_fixedRows;
    m_model->beginRemove(mr, mr, true);
    if (record) {
        std::vector<char> take(size_t(RowCount()), 0);
        take[size_t(row)] = 1;
        TRBParamsTable::RowSet set = takeRows(take);
        m_model->endRemove(true);
        recordRowsOut(std::move(set), false);
    } else {
        if (m_autoSize)
            for (int c = 0; c < ColCount(); ++c)
                noteWidth(c, m_measures.width(c, row), -1);
        m_table.DeleteRow(row);
        m_model->endRemove(true);
    }
    EndChange();
    numbersInvalidFrom(row);
    applyHeaderAndNumbers();
    if (m_autoSize)
        fitDirtyColumns();
    viewport()->update();
}

void TRBGrid::MoveRow(int from, int to)
{
    const int n = RowCount();
    if (from == to || from < m_fixedRows || to < m_fixedRows || from >= n || to >= n)
        return;
    const bool moved = m_model->beginMove(from - m_fixedRows, to - m_fixedRows);
    m_table.MoveRow(from, to);
    if (moved) {
        m_model->endMove();
    } else {
        m_model->beginReset();
        m_model->endReset();
    }
    numbersInvalidFrom(std::min(from, to));
    applyHeaderAndNumbers();
    viewport()->update();
    if (recording())
        recordMove(from, to);
}

void TRBGrid::MoveColumn(int from, int to)
{
    const int n = ColCount();
    if (from == to || from < 0 || to < 0 || from >= n || to >= n)
        return;
    const int step = from < to ? 1 : -1;
    for (int r = 0; r < RowCount(); ++r) {
        TRBParams &p = m_table.Row(r);
        for (int c = from; c != to; c += step)
            p.ExchangeFields(c, c + step);
    }
    if (m_hasHeader)
        for (int c = from; c != to; c += step)
            m_header.ExchangeFields(c, c + step);
    for (int c = std::min(from, to); c <= std::max(from, to); ++c) {
        if (m_autoSize) {
            measureColumn(c);
            m_colDirty[size_t(c)] = 1;
        } else {
            measureColumn(c);
        }
    }
    fitDirtyColumns();
    InvalidateGrid();
}

void TRBGrid::fireChanged()
{
    if (OnChanged)
        OnChanged(this);
    emit changed();
}
