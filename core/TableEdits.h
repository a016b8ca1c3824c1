// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The undoable changes of a list's rows, free of any widget: each edit keeps what
// changed (a cell's two texts, the rows taken out, the range of rows put in, an
// order) and replays itself either way on a TRBEditTarget. A view adapts them to its
// undo stack and wraps the replay in its own refresh; a bare table replays them as is.

#include "core/RBParamsTable.h"

#include <memory>
#include <vector>

// What an edit changes. TRBTableTarget does it on a bare table; a grid does the same
// and measures what it shows.
class TRBEditTarget {
public:
    virtual ~TRBEditTarget() = default;
    virtual TRBParamsTable &table() = 0;
    virtual int fixedRows() const = 0;
    virtual void setCell(int col, int row, const QString &text) { table().SetCell(col, row, text); }
    virtual TRBParamsTable::RowSet takeRows(const std::vector<char> &take) { return table().TakeRows(take); }
    virtual void putRows(TRBParamsTable::RowSet &&set) { table().PutRows(std::move(set)); }
    virtual void rowsChanged(const std::vector<int> &) {}
    virtual void moveRow(int from, int to) { table().MoveRow(from, to); }
    // A sort's new order; `col` and `descending` are the order's key, for the view.
    virtual void permute(const std::vector<int> &order, int col, bool descending)
    {
        (void)col;
        (void)descending;
        table().Permute(order);
    }
};

class TRBTableTarget final : public TRBEditTarget {
public:
    explicit TRBTableTarget(TRBParamsTable &t, int fixedRows = 1) : m_t(t), m_fixed(fixedRows) {}
    TRBParamsTable &table() override { return m_t; }
    int fixedRows() const override { return m_fixed; }

private:
    TRBParamsTable &m_t;
    int m_fixed;
};

class TRBTableEdit {
public:
    virtual ~TRBTableEdit() = default;
    // forward: redo, else undo.
    virtual void apply(TRBEditTarget &target, bool forward) = 0;
    // Rows come or go: a view shows the result anew rather than row by row.
    virtual bool structural() const { return true; }

    static std::unique_ptr<TRBTableEdit> cell(int col, int row, QString before, QString after);
    // Rows taken out (cut, delete, a shorter list); a filler row keeps one data row
    // in an emptied list.
    static std::unique_ptr<TRBTableEdit> rowsOut(TRBParamsTable::RowSet set, bool filler);
    // `count` rows put in at `at` (paste, insert, a longer list, an import).
    static std::unique_ptr<TRBTableEdit> rowsIn(int at, int count);
    static std::unique_ptr<TRBTableEdit> rowsChanged(std::vector<int> rows, std::vector<TRBParams> before,
                                                     std::vector<TRBParams> after);
    static std::unique_ptr<TRBTableEdit> move(int from, int to);
    // A new order of every row (a sort), with the sort key before and after.
    static std::unique_ptr<TRBTableEdit> order(std::vector<int> order, int col, bool descending, int oldCol,
                                               bool oldDescending);
};
