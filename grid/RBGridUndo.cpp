// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of the grid's changes to its rows. Each step keeps what changed:
// a cell's two texts, the rows taken out, the range of rows put in, an order.
#include "grid/RBGrids.h"

#include "grid/RBGridDelegate.h"
#include "grid/RBGridModel.h"

#include <QUndoStack>

#include <algorithm>

// The commands reach the grid's insides through this friend.
class TRBGridUndo {
public:
    // A step is pushed after the grid made the change: its first redo does nothing.
    class Step : public QUndoCommand {
    public:
        Step(TRBGrid *grid, const QString &text) : QUndoCommand(text), g(grid) {}
        void redo() final
        {
            if (m_first) {
                m_first = false;
                return;
            }
            replay(true);
        }
        void undo() final { replay(false); }

    protected:
        virtual void apply(bool forward) = 0;
        virtual bool structural() const { return true; }
        TRBGrid *g;

    private:
        void replay(bool forward)
        {
            ++g->m_replaying;
            g->HideEditor();
            if (structural()) {
                // Rows come and go in one model reset, as a cut makes them go.
                g->m_model->beginReset();
                apply(forward);
                g->m_model->endReset();
                g->rowsReplaced();
            } else {
                apply(forward);
            }
            --g->m_replaying;
            g->fireChanged();
        }
        bool m_first = true;
    };

    class Cell : public Step {
    public:
        Cell(TRBGrid *grid, int col, int row, QString before, QString after)
            : Step(grid, QStringLiteral("cell")), m_col(col), m_row(row), m_before(std::move(before)), m_after(std::move(after))
        {
        }

    protected:
        void apply(bool forward) override
        {
            g->SetCell(m_col, m_row, forward ? m_after : m_before);
            if (g->OnCellFault)
                g->InvalidateRow(m_row);
        }
        bool structural() const override { return false; }

    private:
        int m_col, m_row;
        QString m_before, m_after;
    };

    // Rows out of the list (cut, delete, a shorter list); a filler row keeps one
    // data row in an emptied grid.
    class RowsOut : public Step {
    public:
        RowsOut(TRBGrid *grid, TRBParamsTable::RowSet set, bool filler)
            : Step(grid, QStringLiteral("rows out")), m_at(set.at), m_set(std::move(set)), m_filler(filler)
        {
        }

    protected:
        void apply(bool forward) override
        {
            if (forward) {
                std::vector<char> take(size_t(g->RowCount()), 0);
                for (int r : m_at)
                    take[size_t(r)] = 1;
                m_set = g->takeRows(take);
                if (m_filler)
                    g->m_table.AppendRow();
            } else {
                if (m_filler)
                    g->m_table.SetRowCount(g->RowCount() - 1);
                g->putRowsBack(std::move(m_set), true);
            }
        }

    private:
        std::vector<int> m_at;
        TRBParamsTable::RowSet m_set;
        bool m_filler;
    };

    // Rows into the list at one place (paste, insert, a longer list, an import).
    class RowsIn : public Step {
    public:
        RowsIn(TRBGrid *grid, int at, int count) : Step(grid, QStringLiteral("rows in")), m_at(at), m_count(count) {}

    protected:
        void apply(bool forward) override
        {
            if (forward) {
                if (m_filler)
                    g->m_table.SetRowCount(g->RowCount() - 1);
                g->putRowsBack(std::move(m_set), true);
            } else {
                std::vector<char> take(size_t(g->RowCount()), 0);
                std::fill_n(take.begin() + m_at, m_count, 1);
                m_set = g->takeRows(take);
                m_filler = g->RowCount() <= g->FixedRows();
                if (m_filler)
                    g->m_table.AppendRow();
            }
        }

    private:
        int m_at, m_count;
        TRBParamsTable::RowSet m_set;
        bool m_filler = false;
    };

    class RowsChanged : public Step {
    public:
        RowsChanged(TRBGrid *grid, std::vector<int> rows, std::vector<TRBParams> before, std::vector<TRBParams> after)
            : Step(grid, QStringLiteral("rows")), m_rows(std::move(rows)), m_before(std::move(before)), m_after(std::move(after))
        {
        }

    protected:
        void apply(bool forward) override
        {
            for (size_t i = 0; i < m_rows.size(); ++i)
                g->m_table.Row(m_rows[i]) = forward ? m_after[i] : m_before[i];
            for (int r : m_rows)
                g->RowChanged(r);
            g->applyHeaderAndNumbers();
        }
        bool structural() const override { return false; }

    private:
        std::vector<int> m_rows;
        std::vector<TRBParams> m_before, m_after;
    };

    class Move : public Step {
    public:
        Move(TRBGrid *grid, int from, int to) : Step(grid, QStringLiteral("move")), m_from(from), m_to(to) {}

    protected:
        void apply(bool forward) override { forward ? g->MoveRow(m_from, m_to) : g->MoveRow(m_to, m_from); }
        bool structural() const override { return false; }

    private:
        int m_from, m_to;
    };

    // A new order of every row (a sort): the only step as large as the list, since
    // the change is.
    class Order : public Step {
    public:
        Order(TRBGrid *grid, std::vector<int> order, int col, bool descending, int oldCol, bool oldDescending)
            : Step(grid, QStringLiteral("sort")), m_order(std::move(order)), m_col(col), m_oldCol(oldCol),
              m_descending(descending), m_oldDescending(oldDescending)
        {
        }

    protected:
        void apply(bool forward) override
        {
            if (forward) {
                g->m_table.Permute(m_order);
            } else {
                std::vector<int> inverse(m_order.size());
                for (size_t i = 0; i < m_order.size(); ++i)
                    inverse[size_t(m_order[i])] = int(i);
                g->m_table.Permute(inverse);
            }
            g->m_sortCol = forward ? m_col : m_oldCol;
            g->m_sortDescending = forward ? m_descending : m_oldDescending;
            g->m_hHeader->viewport()->update(); // the arrow goes back with the order
        }

    private:
        std::vector<int> m_order;
        int m_col, m_oldCol;
        bool m_descending, m_oldDescending;
    };
};

bool TRBGrid::recording() const
{
    return m_undo && !m_replaying;
}

void TRBGrid::pushUndo(QUndoCommand *command)
{
    m_undo->push(command);
}

void TRBGrid::BeginChange(const QString &text)
{
    if (recording())
        m_undo->beginMacro(text);
}

void TRBGrid::EndChange()
{
    if (recording())
        m_undo->endMacro();
}

void TRBGrid::RecordRowChanges(const std::vector<int> &rows, std::vector<TRBParams> before)
{
    if (!recording() || rows.empty())
        return;
    std::vector<TRBParams> after;
    after.reserve(rows.size());
    for (int r : rows)
        after.push_back(std::as_const(m_table).Row(r));
    pushUndo(new TRBGridUndo::RowsChanged(this, rows, std::move(before), std::move(after)));
}

void TRBGrid::RecordAppendedRows(int oldRowCount)
{
    if (recording() && RowCount() > oldRowCount)
        pushUndo(new TRBGridUndo::RowsIn(this, oldRowCount, RowCount() - oldRowCount));
}

// The recording hooks of the grid's own changes.
void TRBGrid::recordCell(int col, int row, const QString &before, const QString &after)
{
    pushUndo(new TRBGridUndo::Cell(this, col, row, before, after));
}

void TRBGrid::recordRowsIn(int at, int count)
{
    pushUndo(new TRBGridUndo::RowsIn(this, at, count));
}

void TRBGrid::recordRowsOut(TRBParamsTable::RowSet &&set, bool filler)
{
    pushUndo(new TRBGridUndo::RowsOut(this, std::move(set), filler));
}

void TRBGrid::recordMove(int from, int to)
{
    pushUndo(new TRBGridUndo::Move(this, from, to));
}

void TRBGrid::recordOrder(std::vector<int> order, int col, bool descending, int oldCol, bool oldDescending)
{
    pushUndo(new TRBGridUndo::Order(this, std::move(order), col, descending, oldCol, oldDescending));
}

TRBParamsTable::RowSet TRBGrid::takeRows(const std::vector<char> &take)
{
    if (m_autoSize)
        for (int r = 0; r < RowCount() && r < int(take.size()); ++r)
            if (take[size_t(r)])
                for (int c = 0; c < ColCount(); ++c)
                    noteWidth(c, m_measures.width(c, r), -1);
    return m_table.TakeRows(take);
}

void TRBGrid::putRowsBack(TRBParamsTable::RowSet &&set, bool measure)
{
    const std::vector<int> at = measure && set.side.empty() ? set.at : std::vector<int>();
    m_table.PutRows(std::move(set));
    // Rows taken before anything was measured come back unmeasured.
    for (int r : at)
        measureRows(r, r);
}

void TRBGrid::rowsReplaced()
{
    m_numberedUpTo = 0;
    if (m_autoSize)
        std::fill(m_colDirty.begin(), m_colDirty.end(), 1);
    applyHeaderAndNumbers();
    if (m_autoSize)
        fitDirtyColumns();
    SetCurrentCell(Col(), std::clamp(Row(), m_fixedRows, RowCount() - 1));
    viewport()->update();
}
