// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/TableEdits.h"

#include <algorithm>

namespace {

class CellEdit final : public TRBTableEdit {
public:
    CellEdit(int col, int row, QString before, QString after)
        : m_col(col), m_row(row), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void apply(TRBEditTarget &t, bool forward) override { t.setCell(m_col, m_row, forward ? m_after : m_before); }
    bool structural() const override { return false; }

private:
    int m_col, m_row;
    QString m_before, m_after;
};

std::vector<char> rowMask(int rows, const std::vector<int> &at)
{
    std::vector<char> take(size_t(rows), 0);
    for (int r : at)
        take[size_t(r)] = 1;
    return take;
}

class RowsOutEdit final : public TRBTableEdit {
public:
    RowsOutEdit(TRBParamsTable::RowSet set, bool filler) : m_at(set.at), m_set(std::move(set)), m_filler(filler) {}
    void apply(TRBEditTarget &t, bool forward) override
    {
        if (forward) {
            m_set = t.takeRows(rowMask(t.table().RowCount(), m_at));
            if (m_filler)
                t.table().AppendRow();
        } else {
            if (m_filler)
                t.table().SetRowCount(t.table().RowCount() - 1);
            t.putRows(std::move(m_set));
        }
    }

private:
    std::vector<int> m_at;
    TRBParamsTable::RowSet m_set;
    bool m_filler;
};

class RowsInEdit final : public TRBTableEdit {
public:
    RowsInEdit(int at, int count) : m_at(at), m_count(count) {}
    void apply(TRBEditTarget &t, bool forward) override
    {
        if (forward) {
            if (m_filler)
                t.table().SetRowCount(t.table().RowCount() - 1);
            t.putRows(std::move(m_set));
        } else {
            std::vector<char> take(size_t(t.table().RowCount()), 0);
            std::fill_n(take.begin() + m_at, m_count, 1);
            m_set = t.takeRows(take);
            m_filler = t.table().RowCount() <= t.fixedRows();
            if (m_filler)
                t.table().AppendRow();
        }
    }

private:
    int m_at, m_count;
    TRBParamsTable::RowSet m_set;
    bool m_filler = false;
};

class RowsChangedEdit final : public TRBTableEdit {
public:
    RowsChangedEdit(std::vector<int> rows, std::vector<TRBParams> before, std::vector<TRBParams> after)
        : m_rows(std::move(rows)), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void apply(TRBEditTarget &t, bool forward) override
    {
        for (size_t i = 0; i < m_rows.size(); ++i)
            t.table().Row(m_rows[i]) = forward ? m_after[i] : m_before[i];
        t.rowsChanged(m_rows);
    }
    bool structural() const override { return false; }

private:
    std::vector<int> m_rows;
    std::vector<TRBParams> m_before, m_after;
};

class MoveEdit final : public TRBTableEdit {
public:
    MoveEdit(int from, int to) : m_from(from), m_to(to) {}
    void apply(TRBEditTarget &t, bool forward) override
    {
        forward ? t.moveRow(m_from, m_to) : t.moveRow(m_to, m_from);
    }
    bool structural() const override { return false; }

private:
    int m_from, m_to;
};

// The only edit as large as the list, since the change is.
class OrderEdit final : public TRBTableEdit {
public:
    OrderEdit(std::vector<int> order, int col, bool descending, int oldCol, bool oldDescending)
        : m_order(std::move(order)), m_col(col), m_oldCol(oldCol), m_descending(descending),
          m_oldDescending(oldDescending)
    {
    }
    void apply(TRBEditTarget &t, bool forward) override
    {
        if (forward) {
            t.permute(m_order, m_col, m_descending);
            return;
        }
        std::vector<int> inverse(m_order.size());
        for (size_t i = 0; i < m_order.size(); ++i)
            inverse[size_t(m_order[i])] = int(i);
        t.permute(inverse, m_oldCol, m_oldDescending);
    }

private:
    std::vector<int> m_order;
    int m_col, m_oldCol;
    bool m_descending, m_oldDescending;
};

} // namespace

std::unique_ptr<TRBTableEdit> TRBTableEdit::cell(int col, int row, QString before, QString after)
{
    return std::make_unique<CellEdit>(col, row, std::move(before), std::move(after));
}

std::unique_ptr<TRBTableEdit> TRBTableEdit::rowsOut(TRBParamsTable::RowSet set, bool filler)
{
    return std::make_unique<RowsOutEdit>(std::move(set), filler);
}

std::unique_ptr<TRBTableEdit> TRBTableEdit::rowsIn(int at, int count)
{
    return std::make_unique<RowsInEdit>(at, count);
}

std::unique_ptr<TRBTableEdit> TRBTableEdit::rowsChanged(std::vector<int> rows, std::vector<TRBParams> before,
                                                        std::vector<TRBParams> after)
{
    return std::make_unique<RowsChangedEdit>(std::move(rows), std::move(before), std::move(after));
}

std::unique_ptr<TRBTableEdit> TRBTableEdit::move(int from, int to)
{
    return std::make_unique<MoveEdit>(from, to);
}

std::unique_ptr<TRBTableEdit> TRBTableEdit::order(std::vector<int> order, int col, bool descending, int oldCol,
                                                  bool oldDescending)
{
    return std::make_unique<OrderEdit>(std::move(order), col, descending, oldCol, oldDescending);
}
