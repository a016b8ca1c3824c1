// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid's measurements of its cells' texts, in pixels: view state beside the
// document's rows, kept in step with them as the table's row follower.
//
// A cell's measure is its text's width: the height follows from its font alone.
// One vector per column, made on the first non-zero measure of that column and
// only as long as its last measured row: rows past its end read 0. A list whose
// only measured column is the row number costs 2 bytes a row, and the header row
// measured in every column costs nothing per row.

#include "core/RBParamsTable.h"

#include <vector>

class TRBGridMeasures final : public TRBRowFollower {
public:
    quint16 width(int col, int row) const
    {
        if (col < 0 || size_t(col) >= m_cols.size() || row < 0 || row >= m_rows)
            return 0;
        const std::vector<quint16> &c = m_cols[size_t(col)];
        return size_t(row) < c.size() ? c[size_t(row)] : 0;
    }
    void set(int col, int row, quint16 width);
    // Every cell of a table of this size unmeasured.
    void reset(int rows, int cols);
    // Bytes held for the measures.
    size_t heldBytes() const;

    void rowCountChanged(int rows) override;
    void colCountChanged(int cols) override;
    void rowsInserted(int at, int count) override;
    void rowRemoved(int row) override;
    void rowsTaken(const std::vector<char> &take, std::vector<quint32> *side) override;
    void rowsPut(const std::vector<int> &at, const std::vector<quint32> &side) override;
    void rowMoved(int from, int to) override;
    void rowsPermuted(const std::vector<int> &order) override;
    void cellsExchanged(int a, int b, int fromCol) override;

private:
    using Widths = std::vector<quint16>;
    // Makes `c` reach row `row` (zeros added), growing at most to the row count.
    void reach(Widths &c, size_t row) const;

    int m_rows = 0;
    std::vector<Widths> m_cols;
};
