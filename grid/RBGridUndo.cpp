// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of the grid's changes to its rows: the grid's steps of the undo stack.
#include "grid/RBGrids.h"

#include "core/TableEdits.h"

#include "grid/RBGridDelegate.h"
#include "grid/RBGridModel.h"

#include <QUndoStack>

#include <algorithm>

// The grid's side of the list's undoable edits (core/TableEdits.h): the edits
// replay on the grid so that it measures what changes, and a step of the undo stack
// wraps each replay in the view's refresh. They reach the grid's insides through
// this friend.
class TRBGridUndo {
public:
    class Target final : public TRBEditTarget {
    public:
        explicit Target(TRBGrid *grid) : g(grid) {}
        TRBParamsTable &table() override { return g->m_table; }
        int fixedRows() const override { return g->FixedRows(); }
        void setCell(int col, int row, const QString &text) override
        {
            g->SetCell(col, row, text);
            if (g->OnCellFault)
                g->InvalidateRow(row);
        }
        TRBParamsTable::RowSet takeRows(const std::vector<char> &take) override { return g->takeRows(take); }
        void putRows(TRBParamsTable::RowSet &&set) override { g->putRowsBack(std::move(set), true); }
        void rowsChanged(const std::vector<int> &rows) override
        {
            for (int r : rows)
                g->RowChanged(r);
            g->applyHeaderAndNumbers();
        }
        void moveRow(int from, int to) override { g->MoveRow(from, to); }
        void permute(const std::vector<int> &order, int col, bool descending) override
        {
            g->m_table.Permute(order);
            g->m_sortCol = col;
            g->m_sortDescending = descending;
            g->m_hHeader->viewport()->update(); // the arrow goes back with the order
        }

    private:
        TRBGrid *g;
    };

    // A step is pushed after the grid made the change: its first redo does nothing.
    class Step final : public QUndoCommand {
    public:
        Step(TRBGrid *grid, const QString &text, std::unique_ptr<TRBTableEdit> edit)
            : QUndoCommand(text), g(grid), m_edit(std::move(edit))
        {
        }
        void redo() override
        {
            if (m_first) {
                m_first = false;
                return;
            }
            replay(true);
        }
        void undo() override { replay(false); }

    private:
        void replay(bool forward)
        {
            ++g->m_replaying;
            g->HideEditor();
            Target target(g);
            if (m_edit->structural()) {
                // Rows come and go in one model reset, as a cut makes them go.
                g->m_model->beginReset();
                m_edit->apply(target, forward);
                g->m_model->endReset();
                g->rowsReplaced();
            } else {
                m_edit->apply(target, forward);
            }
            --g->m_replaying;
            g->fireChanged();
        }
        TRBGrid *g;
        std::unique_ptr<TRBTableEdit> m_edit;
        bool m_first = true;
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
    pushUndo(new TRBGridUndo::Step(this, QStringLiteral("rows"),
                                    TRBTableEdit::rowsChanged(rows, std::move(before), std::move(after))));
}

void TRBGrid::RecordAppendedRows(int oldRowCount)
{
    if (recording() && RowCount() > oldRowCount)
        pushUndo(new TRBGridUndo::Step(this, QStringLiteral("rows in"),
                                       TRBTableEdit::rowsIn(oldRowCount, RowCount() - oldRowCount)));
}

// The recording hooks of the grid's own changes.
void TRBGrid::recordCell(int col, int row, const QString &before, const QString &after)
{
    pushUndo(new TRBGridUndo::Step(this, QStringLiteral("cell"), TRBTableEdit::cell(col, row, before, after)));
}

void TRBGrid::recordRowsIn(int at, int count)
{
    pushUndo(new TRBGridUndo::Step(this, QStringLiteral("rows in"), TRBTableEdit::rowsIn(at, count)));
}

void TRBGrid::recordRowsOut(TRBParamsTable::RowSet &&set, bool filler)
{
    pushUndo(new TRBGridUndo::Step(this, QStringLiteral("rows out"), TRBTableEdit::rowsOut(std::move(set), filler)));
}

void TRBGrid::recordMove(int from, int to)
{
    pushUndo(new TRBGridUndo::Step(this, QStringLiteral("move"), TRBTableEdit::move(from, to)));
}

void TRBGrid::recordOrder(std::vector<int> order, int col, bool descending, int oldCol, bool oldDescending)
{
    pushUndo(new TRBGridUndo::Step(this, QStringLiteral("sort"),
                                   TRBTableEdit::order(std::move(order), col, descending, oldCol, oldDescending)));
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
