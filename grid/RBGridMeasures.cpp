// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGridMeasures.h"

#include <algorithm>

void TRBGridMeasures::set(int col, int row, quint16 width, quint16 height)
{
    if (col < 0 || row < 0 || row >= m_rows)
        return;
    if (size_t(col) >= m_cols.size())
        m_cols.resize(size_t(col) + 1);
    std::vector<Size> &c = m_cols[size_t(col)];
    if (c.empty()) {
        if (width == 0 && height == 0)
            return;
        c.resize(size_t(m_rows));
    }
    c[size_t(row)] = {width, height};
}

void TRBGridMeasures::reset(int rows, int cols)
{
    m_rows = std::max(rows, 0);
    m_cols.clear();
    m_cols.resize(size_t(std::max(cols, 0)));
}

void TRBGridMeasures::rowCountChanged(int rows)
{
    m_rows = std::max(rows, 0);
    for (std::vector<Size> &c : m_cols)
        if (!c.empty())
            c.resize(size_t(m_rows));
}

void TRBGridMeasures::colCountChanged(int cols)
{
    m_cols.resize(size_t(std::max(cols, 0)));
}

void TRBGridMeasures::rowsInserted(int at, int count)
{
    m_rows += count;
    for (std::vector<Size> &c : m_cols)
        if (!c.empty())
            c.insert(c.begin() + at, size_t(count), Size());
}

void TRBGridMeasures::rowRemoved(int row)
{
    --m_rows;
    for (std::vector<Size> &c : m_cols)
        if (!c.empty())
            c.erase(c.begin() + row);
}

// `side`: for each measured column its index, then the taken rows' sizes.
void TRBGridMeasures::rowsTaken(const std::vector<char> &take, std::vector<quint32> *side)
{
    int gone = 0;
    for (size_t r = 0; r < size_t(m_rows) && r < take.size(); ++r)
        gone += take[r] ? 1 : 0;
    for (size_t col = 0; col < m_cols.size(); ++col) {
        std::vector<Size> &c = m_cols[col];
        if (c.empty())
            continue;
        if (side)
            side->push_back(quint32(col));
        size_t out = 0;
        for (size_t r = 0; r < c.size(); ++r) {
            if (r < take.size() && take[r]) {
                if (side)
                    side->push_back(quint32(c[r].width) | (quint32(c[r].height) << 16));
                continue;
            }
            c[out++] = c[r];
        }
        c.resize(out);
    }
    m_rows -= gone;
}

void TRBGridMeasures::rowsPut(const std::vector<int> &at, const std::vector<quint32> &side)
{
    const size_t k = at.size(), n = size_t(m_rows) + k;
    // Spreads the rows of `c` apart, from the end, leaving `fill(i)` at at[i].
    auto spread = [&](std::vector<Size> &c, auto fill) {
        const size_t oldN = c.size();
        c.resize(n);
        size_t src = oldN, put = k;
        for (size_t dst = n; dst-- > 0 && (put > 0 || src != dst);) {
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
        std::vector<Size> &c = m_cols[col];
        if (c.empty())
            c.resize(size_t(m_rows));
        spread(c, [&](size_t p) {
            const quint32 v = side[i + 1 + p];
            return Size{quint16(v & 0xFFFF), quint16(v >> 16)};
        });
        restored[col] = 1;
    }
    for (size_t col = 0; col < m_cols.size(); ++col)
        if (!restored[col] && !m_cols[col].empty())
            spread(m_cols[col], [](size_t) { return Size(); });
    m_rows = int(n);
}

void TRBGridMeasures::rowMoved(int from, int to)
{
    for (std::vector<Size> &c : m_cols) {
        if (c.empty())
            continue;
        if (from < to)
            std::rotate(c.begin() + from, c.begin() + from + 1, c.begin() + to + 1);
        else
            std::rotate(c.begin() + to, c.begin() + from, c.begin() + from + 1);
    }
}

void TRBGridMeasures::rowsPermuted(const std::vector<int> &order)
{
    for (std::vector<Size> &c : m_cols) {
        if (c.empty())
            continue;
        std::vector<Size> moved(c.size());
        for (size_t i = 0; i < order.size() && i < c.size(); ++i)
            moved[i] = c[size_t(order[i])];
        c.swap(moved);
    }
}

void TRBGridMeasures::cellsExchanged(int a, int b, int fromCol)
{
    for (size_t col = size_t(std::max(fromCol, 0)); col < m_cols.size(); ++col)
        if (!m_cols[col].empty())
            std::swap(m_cols[col][size_t(a)], m_cols[col][size_t(b)]);
}
