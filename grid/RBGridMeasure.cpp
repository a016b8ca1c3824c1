// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGrids.h"

#include "grid/RBGridDelegate.h"
#include "grid/RBTextMeasurer.h"

#include <algorithm>

// ---- measuring and fitting -------------------------------------------------------------

TRBTextMeasurer &TRBGrid::measurer(bool fixed, int fontSize)
{
    const int k = fixed ? 1 : 0;
    if (fontSize == 0) {
        if (!m_measurers[k])
            m_measurers[k] = std::make_unique<TRBTextMeasurer>(fixed ? m_gridFont : font());
        return *m_measurers[k];
    }
    for (auto &p : m_sizedMeasurers[k])
        if (p.first == fontSize)
            return *p.second;
    QFont f = fixed ? m_gridFont : font();
    f.setPointSize(fontSize);
    m_sizedMeasurers[k].emplace_back(fontSize, std::make_unique<TRBTextMeasurer>(f));
    return *m_sizedMeasurers[k].back().second;
}

void TRBGrid::invalidateMeasurers()
{
    for (int k = 0; k < 2; ++k) {
        m_measurers[k].reset();
        m_sizedMeasurers[k].clear();
    }
}

int TRBGrid::fontHeight(bool fixed, int fontSize)
{
    return measurer(fixed, fontSize).height();
}

void TRBGrid::measureCell(int col, int row)
{
    if (!m_table.Contains(col, row))
        return;
    TRBTextMeasurer &m = measurer(isFixed(col, row), m_table.FontSize(col, row));
    int w = m.width(std::as_const(m_table).Row(row).FieldView(col));
    if (m_table.Flags(col, row) & RBFlags::ColorSwatch)
        w += 22;
    m_measures.set(col, row, quint16(std::min(w, 0xFFFF)));
}

TRBGrid::CellStatus TRBGrid::GetCellStatus(int col, int row)
{
    if (!m_table.Contains(col, row))
        return {};
    const quint16 height = quint16(fontHeight(isFixed(col, row), m_table.FontSize(col, row)));
    return {m_table.Status(col, row), m_measures.width(col, row), height};
}

void TRBGrid::measureRows(int first, int last)
{
    const int cols = ColCount();
    last = std::min(last, RowCount() - 1);
    for (int r = std::max(first, 0); r <= last; ++r)
        for (int c = 0; c < cols; ++c) {
            measureCell(c, r);
            if (m_autoSize)
                noteWidth(c, -1, m_measures.width(c, r));
        }
}

void TRBGrid::measureColumn(int col)
{
    for (int r = 0; r < RowCount(); ++r) {
        measureCell(col, r);
        if (m_autoSize)
            noteWidth(col, -1, m_measures.width(col, r));
    }
}

void TRBGrid::measureAll()
{
    const int cols = ColCount(), rows = RowCount();
    m_colMax.assign(size_t(cols), 0);
    m_colMaxCount.assign(size_t(cols), 0);
    m_colDirty.assign(size_t(cols), 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            measureCell(c, r);
    for (int c = 0; c < cols; ++c)
        m_colDirty[size_t(c)] = 1;
    fitDirtyColumns();
}

// A cell's width changed from oldWidth (-1: a new cell) to newWidth.
void TRBGrid::noteWidth(int col, int oldWidth, int newWidth)
{
    if (!m_autoSize || col < 0 || col >= int(m_colMax.size()))
        return;
    int &mx = m_colMax[size_t(col)];
    int &atMax = m_colMaxCount[size_t(col)];
    if (oldWidth == newWidth)
        return;
    if (oldWidth == mx && oldWidth >= 0 && atMax > 0)
        --atMax;
    if (newWidth > mx) {
        mx = newWidth;
        atMax = 1;
        if (m_colDirty[size_t(col)] != 1)
            m_colDirty[size_t(col)] = 2; // only the width needs applying
    } else if (newWidth == mx) {
        ++atMax;
    } else if (oldWidth == mx && atMax == 0) {
        m_colDirty[size_t(col)] = 1; // the widest cell shrank: search the column again
    }
}

void TRBGrid::fitDirtyColumns()
{
    if (!m_autoSize)
        return;
    for (int c = 0; c < int(m_colDirty.size()); ++c) {
        if (!m_colDirty[size_t(c)])
            continue;
        if (m_colDirty[size_t(c)] == 1) {
            int mx = 0, count = 0;
            for (int r = 0; r < RowCount(); ++r) {
                const int w = m_measures.width(c, r);
                if (w > mx) {
                    mx = w;
                    count = 1;
                } else if (w == mx) {
                    ++count;
                }
            }
            m_colMax[size_t(c)] = mx;
            m_colMaxCount[size_t(c)] = count;
        }
        m_colDirty[size_t(c)] = 0;
        applyColWidth(c);
    }
}

int TRBGrid::FittedColWidth(int col) const
{
    if (col < 0 || col >= int(m_colMax.size()))
        return 0;
    const int chosen = size_t(col) < m_chosenWidth.size() ? m_chosenWidth[size_t(col)] : 0;
    return std::max(m_colMax[size_t(col)] + 5, chosen);
}

QList<int> TRBGrid::ChosenColWidths() const
{
    return QList<int>(m_chosenWidth.begin(), m_chosenWidth.end());
}

void TRBGrid::SetChosenColWidths(const QList<int> &widths)
{
    m_chosenWidth.assign(widths.begin(), widths.end());
    for (int &w : m_chosenWidth)
        w = std::clamp(w, 0, 4000);
    if (m_autoSize) // the measured maxima stand: only the widths change
        for (int c = 0; c < int(m_colMax.size()); ++c)
            applyColWidth(c);
    else
        for (int c = m_fixedCols; c < std::min(ColCount(), int(m_chosenWidth.size())); ++c)
            if (m_chosenWidth[size_t(c)] > 0)
                SetColWidths(c, m_chosenWidth[size_t(c)]);
}

void TRBGrid::applyColWidth(int col)
{
    SetColWidths(col, FittedColWidth(col));
}

void TRBGrid::fitRow(int row)
{
    if (!m_autoSize || row < 0 || row >= RowCount())
        return;
    int h = row < m_fixedRows ? 0 : MinContentHeight();
    for (int c = 0; c < ColCount(); ++c)
        h = std::max(h, fontHeight(isFixed(c, row), m_table.FontSize(c, row)));
    SetRowHeights(row, h + 2);
}

void TRBGrid::fitAllRows()
{
    if (!m_autoSize)
        return;
    fitRow(0);
    if (RowCount() <= m_fixedRows)
        return;
    // Rows without own font sizes share one height: the header's default size, so a
    // million rows need no size of their own.
    int common = fontHeight(false, 0);
    if (m_fixedCols)
        common = std::max(common, fontHeight(true, 0));
    common = std::max(common, MinContentHeight());
    m_commonRowHeight = common + 2;
    if (m_vHeader->defaultSectionSize() != m_commonRowHeight)
        m_vHeader->setDefaultSectionSize(m_commonRowHeight);
    const int cols = ColCount();
    for (int r = m_fixedRows; r < RowCount(); ++r) {
        bool sized = false;
        for (int c = 0; c < cols && !sized; ++c)
            sized = m_table.FontSize(c, r) != 0;
        if (sized || m_vHeader->sectionSize(r - m_fixedRows) != m_commonRowHeight)
            fitRow(r);
    }
}

void TRBGrid::fitAll()
{
    if (!m_autoSize)
        return;
    measureAll();
    for (int c = 0; c < ColCount(); ++c)
        applyColWidth(c);
    fitAllRows();
}
