// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGridMeasures.h"

#include <algorithm>

void TRBGridMeasures::reach(Widths &c, size_t row) const
{
    if (row < c.size())
        return;
    // Row by row (numbering a million rows) the vector doubles, but never past the
    // row count.
    if (row >= c.capacity())
        c.reserve(std::max(row + 1, std::min(size_t(m_rows), 2 * c.capacity())));
    c.resize(row + 1);
}

void TRBGridMeasures::set(int col, int row, quint16 width)
{
    if (col < 0 || row < 0 || row >= m_rows)
        return;
    if (size_t(col) >= m_cols.size())
        m_cols.resize(size_t(col) + 1);
    Widths &c = m_cols[size_t(col)];
    if (size_t(row) >= c.size()) {
        if (width == 0)
            return;
        reach(c, size_t(row));
    }
    c[size_t(row)] = width;
}

void TRBGridMeasures::reset(int rows, int cols)
{
    m_rows = std::max(rows, 0);
    m_cols.clear();
    m_cols.resize(size_t(std::max(cols, 0)));
}

size_t TRBGridMeasures::heldBytes() const
{
    size_t bytes = m_cols.capacity() * sizeof(Widths);
    for (const Widths &c : m_cols)
        bytes += c.capacity() * sizeof(quint16);
    return bytes;
}

void TRBGridMeasures::rowCountChanged(int rows)
{
    m_rows = std::max(rows, 0);
    for (Widths &c : m_cols)
        if (c.size() > size_t(m_rows))
            c.resize(size_t(m_rows));
}

void TRBGridMeasures::colCountChanged(int cols)
{
    m_cols.resize(size_t(std::max(cols, 0)));
}

void TRBGridMeasures::rowsInserted(int at, int count)
{
    m_rows += count;
    for (Widths &c : m_cols)
        if (size_t(at) < c.size())
            c.insert(c.begin() + at, size_t(count), quint16(0));
}

void TRBGridMeasures::rowRemoved(int row)
{
    --m_rows;
    for (Widths &c : m_cols)
        if (size_t(row) < c.size())
            c.erase(c.begin() + row);
}

// `side`: for each measured column its index, then the taken rows' sizes.
void TRBGridMeasures::rowsTaken(const std::vector<char> &take, std::vector<quint32> *side)
{
    int gone = 0;
    for (size_t r = 0; r < size_t(m_rows) && r < take.size(); ++r)
        gone += take[r] ? 1 : 0;
    for (size_t col = 0; col < m_cols.size(); ++col) {
        Widths &c = m_cols[col];
        if (c.empty())
            continue;
        if (side)
            side->push_back(quint32(col));
        // Taken rows past the vector's end were unmeasured: they leave zeros.
        size_t out = 0;
        const size_t measured = c.size(), rows = std::max(measured, std::min(take.size(), size_t(m_rows)));
        for (size_t r = 0; r < rows; ++r) {
            if (r < take.size() && take[r]) {
                if (side)
                    side->push_back(r < measured ? c[r] : 0);
                continue;
            }
            if (r < measured)
                c[out++] = c[r];
        }
        c.resize(out);
    }
    m_rows -= gone;
}

void TRBGridMeasures::rowsPut(const std::vector<int> &at, const std::vector<quint32> &side)
{
    const size_t k = at.size(), n = size_t(m_rows) + k;
    // Spreads the rows of `c` apart, from the end, leaving `fill(i)` at at[i]. A
    // vector short of the rows grows only to where its last row lands.
    auto spread = [&](Widths &c, bool full, auto fill) {
        const size_t oldN = c.size();
        size_t newN = full ? n : oldN, put = full ? k : 0;
        // The put rows before the last measured row's new place.
        while (!full && oldN > 0 && put < k && size_t(at[put]) < newN) {
            ++put;
            ++newN;
        }
        c.resize(newN);
        size_t src = oldN;
        for (size_t dst = newN; dst-- > 0 && (put > 0 || src != dst);) {
            if (put > 0 && size_t(at[put - 1]) == dst)
                c[dst] = fill(--put);
            else
                c[dst] = c[--src];
        }
    };
    std::vector<char> restored(m_cols.size(), 0);
    for (size_t i = 0; i + k + 1 <= side.size(); i += k + 1) {
        const size_t col = side[i];
        if (col >= m_cols.size())
            continue;
        // Put rows that were unmeasured leave a short column short.
        if (std::all_of(side.begin() + qsizetype(i) + 1, side.begin() + qsizetype(i + k) + 1,
                        [](quint32 v) { return v == 0; }))
            continue;
        Widths &c = m_cols[col];
        c.resize(size_t(m_rows)); // the put rows' sizes come back in full
        spread(c, true, [&](size_t p) { return quint16(side[i + 1 + p]); });
        restored[col] = 1;
    }
    for (size_t col = 0; col < m_cols.size(); ++col)
        if (!restored[col] && !m_cols[col].empty())
            spread(m_cols[col], false, [](size_t) { return quint16(0); });
    m_rows = int(n);
}

void TRBGridMeasures::rowMoved(int from, int to)
{
    for (Widths &c : m_cols) {
        if (size_t(std::min(from, to)) >= c.size())
            continue; // rows past the end are all unmeasured
        reach(c, size_t(std::max(from, to)));
        if (from < to)
            std::rotate(c.begin() + from, c.begin() + from + 1, c.begin() + to + 1);
        else
            std::rotate(c.begin() + to, c.begin() + from, c.begin() + from + 1);
    }
}

void TRBGridMeasures::rowsPermuted(const std::vector<int> &order)
{
    for (Widths &c : m_cols) {
        if (c.empty())
            continue;
        // Only as long as the last measured row's new place: sorting a list whose
        // columns measured only their header keeps them short.
        size_t last = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            const size_t from = size_t(order[i]);
            if (from < c.size() && c[from] != 0)
                last = i + 1;
        }
        Widths moved(last);
        for (size_t i = 0; i < last; ++i) {
            const size_t from = size_t(order[i]);
            if (from < c.size())
                moved[i] = c[from];
        }
        c.swap(moved);
    }
}

void TRBGridMeasures::cellsExchanged(int a, int b, int fromCol)
{
    for (size_t col = size_t(std::max(fromCol, 0)); col < m_cols.size(); ++col) {
        Widths &c = m_cols[col];
        if (size_t(std::min(a, b)) >= c.size())
            continue;
        reach(c, size_t(std::max(a, b)));
        std::swap(c[size_t(a)], c[size_t(b)]);
    }
}
