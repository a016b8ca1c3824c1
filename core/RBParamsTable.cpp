// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParamsTable.h"

#include "platform/LargePages.h"

#include <algorithm>

namespace {
// Moves the rows that stay to the front in their order and cuts off the rest, in one
// pass; `dropped(r)` sees each row that goes before it is overwritten.
template <class Rows, class Cells, class Dropped>
size_t keepRows(Rows &rows, Cells &cells, size_t cols, const std::vector<char> &drop, Dropped &&dropped)
{
    const size_t n = rows.size();
    size_t out = 0;
    for (size_t r = 0; r < n; ++r) {
        if (r < drop.size() && drop[r]) {
            dropped(r);
            continue;
        }
        if (out != r) {
            rows[out] = std::move(rows[r]);
            std::copy_n(cells.begin() + r * cols, cols, cells.begin() + out * cols);
        }
        ++out;
    }
    rows.resize(out);
    cells.resize(out * cols);
    return out;
}
} // namespace

void TRBParamsTable::SetRowCount(int rows)
{
    rows = std::max(rows, 0);
    const size_t old = m_rows.size();
    m_rows.resize(size_t(rows));
    if (!m_cells.empty()) {
        m_cells.resize(size_t(rows) * size_t(m_cols));
        if (size_t(rows) > old)
            fillDefaults(old, size_t(rows) - old);
    }
    if (m_follower)
        m_follower->rowCountChanged(rows);
}

void TRBParamsTable::fillDefaults(size_t at, size_t count)
{
    const size_t cols = size_t(m_cols);
    for (size_t r = at; r < at + count; ++r)
        for (size_t c = 0; c < cols; ++c)
            m_cells[r * cols + c] = columnDefault(int(c));
}

void TRBParamsTable::createCells()
{
    m_cells.reserve(std::max(m_rows.capacity(), m_rows.size()) * size_t(m_cols));
    adviseLargePages(m_cells.data(), m_cells.capacity() * sizeof(CellRec));
    m_cells.resize(m_rows.size() * size_t(m_cols));
    fillDefaults(0, m_rows.size());
}

void TRBParamsTable::SetColumnAlignment(int col, quint8 alignment)
{
    if (col < 0)
        return;
    if (size_t(col) >= m_colDefaults.size())
        m_colDefaults.resize(size_t(col) + 1);
    m_colDefaults[size_t(col)].alignment = alignment;
}

void TRBParamsTable::growCells(int cols)
{
    if (cols == m_cols)
        return;
    if (m_follower)
        m_follower->colCountChanged(cols);
    if (m_cells.empty()) {
        m_cols = cols;
        return;
    }
    const size_t rows = m_rows.size();
    std::vector<CellRec> cells(rows * size_t(cols));
    const int keep = std::min(cols, m_cols);
    for (size_t r = 0; r < rows; ++r) {
        std::copy_n(m_cells.begin() + r * m_cols, keep, cells.begin() + r * cols);
        for (int c = keep; c < cols; ++c)
            cells[r * cols + size_t(c)] = columnDefault(c);
    }
    m_cells.swap(cells);
    m_cols = cols;
}

void TRBParamsTable::SetColCount(int cols)
{
    cols = std::max(cols, 0);
    if (cols == m_cols)
        return;
    growCells(cols);
    TruncateFields();
}

void TRBParamsTable::TruncateFields()
{
    for (TRBParams &p : m_rows)
        if (p.Count() > m_cols)
            p.Truncate(m_cols);
}

void TRBParamsTable::Reserve(int rows)
{
    if (rows <= 0)
        return;
    // An eighth more: a later paste then fits without copying the whole table, and
    // pages never touched cost no memory.
    const size_t room = size_t(rows) + size_t(rows) / 8;
    if (room > m_rows.capacity()) {
        m_rows.reserve(room);
        adviseLargePages(m_rows.data(), m_rows.capacity() * sizeof(TRBParams));
    }
    if (!m_cells.empty() && room * size_t(m_cols) > m_cells.capacity()) {
        m_cells.reserve(room * size_t(m_cols));
        adviseLargePages(m_cells.data(), m_cells.capacity() * sizeof(CellRec));
    }
}

void TRBParamsTable::Clear()
{
    m_rows.clear();
    m_cells.clear();
    m_store.Release();
    m_colors.resize(1);
    m_colorLookup.clear();
    if (m_follower)
        m_follower->rowCountChanged(0);
}

TRBParams &TRBParamsTable::AppendRow()
{
    m_rows.emplace_back();
    if (!m_cells.empty()) {
        m_cells.resize(m_cells.size() + size_t(m_cols));
        fillDefaults(m_rows.size() - 1, 1);
    }
    if (m_follower)
        m_follower->rowCountChanged(RowCount());
    return m_rows.back();
}

int TRBParamsTable::AppendRow(TRBParams &&row)
{
    if (row.Count() > m_cols)
        growCells(row.Count());
    m_rows.push_back(std::move(row));
    if (!m_cells.empty()) {
        m_cells.resize(m_cells.size() + size_t(m_cols));
        fillDefaults(m_rows.size() - 1, 1);
    }
    if (m_follower)
        m_follower->rowCountChanged(RowCount());
    return RowCount() - 1;
}

int TRBParamsTable::AppendRow(const TRBParams &row)
{
    return AppendRow(TRBParams(row));
}

int TRBParamsTable::AppendFields(std::initializer_list<QString> fields)
{
    return AppendRow(m_store.Pack(fields));
}

int TRBParamsTable::AppendFields(std::initializer_list<QStringView> fields)
{
    return AppendRow(m_store.Pack(fields));
}

int TRBParamsTable::AppendFields(const QStringList &fields)
{
    return AppendRow(m_store.Pack(fields));
}

TRBParams &TRBParamsTable::Row(int row)
{
    if (row < 0)
        row = 0;
    if (row >= RowCount())
        SetRowCount(row + 1);
    return m_rows[size_t(row)];
}

const TRBParams &TRBParamsTable::Row(int row) const
{
    static const TRBParams empty;
    if (row < 0)
        row = 0;
    return row < RowCount() ? m_rows[size_t(row)] : empty;
}

TRBCellStatus TRBParamsTable::Status(int col, int row) const
{
    TRBCellStatus s;
    const CellRec *rec = cell(col, row);
    if (!rec)
        return s;
    const CellRec &c = *rec;
    s.Flags = c.flags;
    const Colors &k = m_colors[c.colors];
    s.PenColor = k[0];
    s.BrushColor = k[1];
    s.FontColor = k[2];
    s.Alignment = c.alignment;
    s.FontSize = c.fontSize;
    return s;
}

quint16 TRBParamsTable::colorIndex(const Colors &c)
{
    if (c == m_colors[0])
        return 0;
    auto it = m_colorLookup.find(c);
    if (it != m_colorLookup.end())
        return it->second;
    if (m_colors.size() >= 0xFFFF)
        return quint16(m_colors.size() - 1); // pool full: the last triple stands in
    m_colors.push_back(c);
    const quint16 i = quint16(m_colors.size() - 1);
    m_colorLookup.emplace(c, i);
    return i;
}

void TRBParamsTable::SetStatus(int col, int row, const TRBCellStatus &status)
{
    if (!Contains(col, row) || Status(col, row) == status)
        return;
    CellRec c;
    c.flags = status.Flags;
    c.colors = colorIndex({status.PenColor, status.BrushColor, status.FontColor});
    c.alignment = status.Alignment;
    c.fontSize = status.FontSize;
    *cellForWrite(col, row) = c;
}

void TRBParamsTable::ExchangeCells(int a, int b, int fromCol)
{
    if (a == b || a < 0 || b < 0 || a >= RowCount() || b >= RowCount())
        return;
    fromCol = std::max(fromCol, 0);
    if (!m_cells.empty())
        for (int c = fromCol; c < m_cols; ++c)
            std::swap(m_cells[index(c, a)], m_cells[index(c, b)]);
    if (m_follower)
        m_follower->cellsExchanged(a, b, fromCol);
}

void TRBParamsTable::InsertRow(int at)
{
    at = std::clamp(at, 0, RowCount());
    m_rows.insert(m_rows.begin() + at, TRBParams());
    if (!m_cells.empty()) {
        m_cells.insert(m_cells.begin() + index(0, at), size_t(m_cols), CellRec());
        fillDefaults(size_t(at), 1);
    }
    if (m_follower)
        m_follower->rowsInserted(at, 1);
}

void TRBParamsTable::InsertRows(int at, int count)
{
    if (count <= 0)
        return;
    at = std::clamp(at, 0, RowCount());
    // A paste into a million rows grows by an eighth, not by doubling.
    const size_t need = m_rows.size() + size_t(count);
    if (m_rows.capacity() < need) {
        const size_t room = need + m_rows.size() / 8;
        m_rows.reserve(room);
        if (!m_cells.empty())
            m_cells.reserve(room * size_t(m_cols));
    }
    m_rows.insert(m_rows.begin() + at, size_t(count), TRBParams());
    if (!m_cells.empty()) {
        m_cells.insert(m_cells.begin() + index(0, at), size_t(count) * size_t(m_cols), CellRec());
        fillDefaults(size_t(at), size_t(count));
    }
    if (m_follower)
        m_follower->rowsInserted(at, count);
}

int TRBParamsTable::RemoveRows(const std::vector<char> &remove)
{
    const size_t n = m_rows.size(), cols = m_cells.empty() ? 0 : size_t(m_cols);
    const int gone = int(n - keepRows(m_rows, m_cells, cols, remove, [](size_t) {}));
    if (m_follower && gone)
        m_follower->rowsTaken(remove, nullptr);
    return gone;
}

void TRBParamsTable::DeleteRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    m_rows.erase(m_rows.begin() + row);
    if (!m_cells.empty())
        m_cells.erase(m_cells.begin() + index(0, row), m_cells.begin() + index(0, row + 1));
    if (m_follower)
        m_follower->rowRemoved(row);
}

void TRBParamsTable::MoveRow(int from, int to)
{
    const int n = RowCount();
    if (from < 0 || from >= n || to < 0 || to >= n || from == to)
        return;
    const auto rb = m_rows.begin();
    const auto cb = m_cells.begin();
    if (from < to) {
        std::rotate(rb + from, rb + from + 1, rb + to + 1);
        if (!m_cells.empty())
            std::rotate(cb + index(0, from), cb + index(0, from + 1), cb + index(0, to + 1));
    } else {
        std::rotate(rb + to, rb + from, rb + from + 1);
        if (!m_cells.empty())
            std::rotate(cb + index(0, to), cb + index(0, from), cb + index(0, from + 1));
    }
    if (m_follower)
        m_follower->rowMoved(from, to);
}

TRBParamsTable::RowSet TRBParamsTable::TakeRows(const std::vector<char> &take)
{
    RowSet set;
    const size_t cols = m_cells.empty() ? 0 : size_t(m_cols);
    set.cols = int(cols);
    keepRows(m_rows, m_cells, cols, take, [&](size_t r) {
        set.at.push_back(int(r));
        set.rows.push_back(std::move(m_rows[r]));
        set.cells.insert(set.cells.end(), m_cells.begin() + r * cols, m_cells.begin() + (r + 1) * cols);
    });
    if (m_follower && set.size())
        m_follower->rowsTaken(take, &set.side);
    return set;
}

void TRBParamsTable::PutRows(RowSet &&set)
{
    const size_t k = set.at.size();
    if (k == 0)
        return;
    // Records are kept when either side has them (a table emptied by the take has none).
    const bool records = !m_cells.empty() || set.cols > 0;
    if (m_cells.empty() && records)
        createCells();
    const size_t cols = records ? size_t(m_cols) : 0;
    const size_t oldN = m_rows.size(), n = oldN + k;
    m_rows.resize(n);
    m_cells.resize(n * cols);
    // From the end: each old row moves down by the number of taken rows before it.
    size_t src = oldN, put = k;
    for (size_t dst = n; dst-- > 0;) {
        if (put > 0 && size_t(set.at[put - 1]) == dst) {
            --put;
            m_rows[dst] = std::move(set.rows[put]);
            if (cols) {
                if (size_t(set.cols) == cols)
                    std::copy_n(set.cells.begin() + put * cols, cols, m_cells.begin() + dst * cols);
                else
                    fillDefaults(dst, 1);
            }
        } else {
            --src;
            if (src != dst) {
                m_rows[dst] = std::move(m_rows[src]);
                std::copy_n(m_cells.begin() + src * cols, cols, m_cells.begin() + dst * cols);
            }
        }
        if (put == 0 && src == dst)
            break; // the rows above the first put-back row stay where they are
    }
    if (m_follower)
        m_follower->rowsPut(set.at, set.side);
    set = RowSet();
}

void TRBParamsTable::Permute(const std::vector<int> &order)
{
    const size_t n = m_rows.size(), cols = m_cells.empty() ? 0 : size_t(m_cols);
    if (order.size() != n)
        return;
    std::vector<TRBParams> rows(n);
    for (size_t i = 0; i < n; ++i)
        rows[i] = std::move(m_rows[size_t(order[i])]);
    m_rows.swap(rows);
    if (cols) {
        std::vector<CellRec> cells(n * cols);
        for (size_t i = 0; i < n; ++i)
            std::copy_n(m_cells.begin() + size_t(order[i]) * cols, cols, cells.begin() + i * cols);
        m_cells.swap(cells);
    }
    if (m_follower)
        m_follower->rowsPermuted(order);
}
