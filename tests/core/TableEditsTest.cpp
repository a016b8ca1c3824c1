// SPDX-License-Identifier: GPL-3.0-or-later
// The list's undoable edits on a bare table: each undo gives back the table as it
// was, texts and cell records, and each redo the table after the change.
#include "core/TableEdits.h"

#include <gtest/gtest.h>

namespace {

TRBParamsTable sample(int rows)
{
    TRBParamsTable t;
    t.SetColCount(3);
    t.AppendFields({QString("LP"), QString("Name"), QString("Lon")});
    for (int i = 1; i <= rows; ++i)
        t.AppendFields({QString::number(i), QStringLiteral("row %1").arg(i), QString::number(i * 11)});
    t.SetFlags(1, 2, RBFlags::Duplicate);
    return t;
}

struct Snapshot {
    QStringList rows;
    std::vector<quint32> flags;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snap(const TRBParamsTable &t)
{
    Snapshot s;
    for (int r = 0; r < t.RowCount(); ++r) {
        s.rows << t.Row(r).ToStringList().join(u'|');
        for (int c = 0; c < t.ColCount(); ++c)
            s.flags.push_back(t.Flags(c, r));
    }
    return s;
}

// Makes the change by hand, records it as the grid does, then undoes and redoes twice.
template <class Change>
void roundTrip(TRBParamsTable &t, Change change)
{
    const Snapshot before = snap(t);
    std::unique_ptr<TRBTableEdit> edit = change(t);
    const Snapshot after = snap(t);
    ASSERT_NE(before, after);
    TRBTableTarget target(t);
    for (int i = 0; i < 2; ++i) {
        edit->apply(target, false);
        EXPECT_EQ(snap(t), before) << "undo " << i;
        edit->apply(target, true);
        EXPECT_EQ(snap(t), after) << "redo " << i;
    }
}

TEST(TableEdits, EachKindUndoesAndRedoes)
{
    TRBParamsTable t = sample(6);
    roundTrip(t, [](TRBParamsTable &t) {
        const QString old = t.Cell(1, 3);
        t.SetCell(1, 3, "changed");
        return TRBTableEdit::cell(1, 3, old, "changed");
    });
    roundTrip(t, [](TRBParamsTable &t) {
        std::vector<char> take(size_t(t.RowCount()), 0);
        take[2] = take[5] = 1; // row 2 carries a mark that must come back
        return TRBTableEdit::rowsOut(t.TakeRows(take), false);
    });
    roundTrip(t, [](TRBParamsTable &t) {
        t.InsertRows(2, 3);
        t.SetCell(1, 3, "pasted");
        return TRBTableEdit::rowsIn(2, 3);
    });
    roundTrip(t, [](TRBParamsTable &t) {
        std::vector<TRBParams> before{t.Row(1), t.Row(4)};
        t.Row(1).SetField(2, QStringLiteral("-5"));
        t.Row(4).SetField(1, QStringLiteral("renamed"));
        return TRBTableEdit::rowsChanged({1, 4}, std::move(before), {t.Row(1), t.Row(4)});
    });
    roundTrip(t, [](TRBParamsTable &t) {
        t.MoveRow(1, 5);
        return TRBTableEdit::move(1, 5);
    });
    roundTrip(t, [](TRBParamsTable &t) {
        std::vector<int> order(size_t(t.RowCount()));
        for (int i = 0; i < t.RowCount(); ++i)
            order[size_t(i)] = i == 0 ? 0 : t.RowCount() - i;
        t.Permute(order);
        return TRBTableEdit::order(order, 1, true, -1, false);
    });
}

// Cutting every data row leaves one empty filler row, which the undo drops again;
// undoing a paste into an emptied list leaves the filler in its place.
TEST(TableEdits, FillerRowKeepsOneDataRow)
{
    TRBParamsTable t = sample(2);
    roundTrip(t, [](TRBParamsTable &t) {
        TRBParamsTable::RowSet set = t.TakeRows({0, 1, 1});
        t.AppendRow();
        return TRBTableEdit::rowsOut(std::move(set), true);
    });
    EXPECT_EQ(t.RowCount(), 2);

    TRBParamsTable u;
    u.SetColCount(2);
    u.AppendFields({QString("LP"), QString("Name")});
    u.AppendFields({QString("1"), QString("pasted")});
    std::unique_ptr<TRBTableEdit> in = TRBTableEdit::rowsIn(1, 1);
    TRBTableTarget target(u);
    in->apply(target, false);
    ASSERT_EQ(u.RowCount(), 2);
    EXPECT_EQ(u.Cell(1, 1), QString());
    in->apply(target, true);
    ASSERT_EQ(u.RowCount(), 2);
    EXPECT_EQ(u.Cell(1, 1), QStringLiteral("pasted"));
}

} // namespace
