// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParamsTable.h"

#include <gtest/gtest.h>

namespace {

TRBParamsTable numbered(int rows, int cols)
{
    TRBParamsTable t;
    t.SetColCount(cols);
    t.SetRowCount(1);
    for (int r = 1; r < rows; ++r) {
        const int i = t.AppendFields({QString(), QStringLiteral("r%1").arg(r)});
        t.SetFlags(0, i, quint32(r));
        t.SetFlags(cols - 1, i, quint32(100 + r));
    }
    return t;
}

TEST(RBParamsTable, RowAccessGrowsAndClamps)
{
    TRBParamsTable t;
    t.SetColCount(3);
    EXPECT_EQ(t.RowCount(), 0);
    t.Row(-5).SetField(1, QStringLiteral("head"));
    EXPECT_EQ(t.RowCount(), 1);
    EXPECT_EQ(t.Cell(1, 0), QStringLiteral("head"));
    t.Row(4);
    EXPECT_EQ(t.RowCount(), 5);
    EXPECT_EQ(t.Flags(2, 4), 0u);
    const TRBParamsTable &c = t;
    EXPECT_EQ(c.Row(99).Count(), 0);
    EXPECT_EQ(t.RowCount(), 5);
    // Outside the table flags read 0 and writes are ignored.
    t.SetFlags(3, 0, 7);
    t.SetFlags(0, 5, 7);
    EXPECT_EQ(t.Flags(3, 0), 0u);
    EXPECT_EQ(t.Flags(-1, 0), 0u);
}

TEST(RBParamsTable, AppendGrowsColumnsKeepingStatus)
{
    TRBParamsTable t;
    t.SetColCount(2);
    t.AppendFields({"a", "b"});
    t.SetFlags(1, 0, 0x80);
    t.AppendFields({"c", "d", "e", "f"});
    EXPECT_EQ(t.ColCount(), 4);
    EXPECT_EQ(t.Flags(1, 0), 0x80u);
    EXPECT_EQ(t.Flags(3, 1), 0u);
    TRBParams &r = t.AppendRow();
    r.SetField(2, QStringLiteral("z"));
    EXPECT_EQ(t.Cell(2, 2), QStringLiteral("z"));
}

TEST(RBParamsTable, ColumnShrinkDropsData)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({"0", "1", "2", "3", "4"});
    t.SetFlags(2, 0, 0x30);
    t.SetColCount(3);
    t.SetColCount(5);
    EXPECT_EQ(t.Row(0).ToStringList(), (QStringList{"0", "1", "2"}));
    EXPECT_EQ(t.Cell(3, 0), QString());
    EXPECT_EQ(t.Flags(2, 0), 0x30u);
    EXPECT_EQ(t.Flags(4, 0), 0u);
}

TEST(RBParamsTable, RowsMoveWithTheirStatus)
{
    TRBParamsTable t = numbered(6, 3); // rows 1..5
    t.MoveRow(1, 4);
    EXPECT_EQ(t.Cell(1, 4), QStringLiteral("r1"));
    EXPECT_EQ(t.Flags(0, 4), 1u);
    EXPECT_EQ(t.Flags(2, 4), 101u);
    EXPECT_EQ(t.Cell(1, 1), QStringLiteral("r2"));
    EXPECT_EQ(t.Flags(2, 1), 102u);

    t.MoveRow(4, 1);
    for (int r = 1; r < 6; ++r) {
        EXPECT_EQ(t.Cell(1, r), QStringLiteral("r%1").arg(r));
        EXPECT_EQ(t.Flags(2, r), quint32(100 + r));
    }

    t.DeleteRow(2);
    EXPECT_EQ(t.RowCount(), 5);
    EXPECT_EQ(t.Cell(1, 2), QStringLiteral("r3"));
    EXPECT_EQ(t.Flags(0, 2), 3u);

    t.InsertRow(1);
    EXPECT_EQ(t.Row(1).Count(), 0);
    EXPECT_EQ(t.Flags(0, 1), 0u);
    EXPECT_EQ(t.Flags(2, 2), 101u);
    t.MoveRow(0, 9); // out of range: nothing
    EXPECT_EQ(t.Flags(2, 2), 101u);
}

TEST(RBParamsTable, BulkInsertAndRemove)
{
    TRBParamsTable t = numbered(8, 2); // rows 1..7
    t.InsertRows(3, 2);
    EXPECT_EQ(t.RowCount(), 10);
    EXPECT_EQ(t.Cell(1, 2), QStringLiteral("r2"));
    EXPECT_EQ(t.Row(3).Count(), 0);
    EXPECT_EQ(t.Flags(1, 4), 0u);
    EXPECT_EQ(t.Cell(1, 5), QStringLiteral("r3"));
    EXPECT_EQ(t.Flags(1, 5), 103u);

    std::vector<char> remove(size_t(t.RowCount()), 0);
    remove[3] = remove[4] = remove[9] = 1;
    EXPECT_EQ(t.RemoveRows(remove), 3);
    ASSERT_EQ(t.RowCount(), 7);
    for (int r = 1; r < 7; ++r) {
        EXPECT_EQ(t.Cell(1, r), QStringLiteral("r%1").arg(r));
        EXPECT_EQ(t.Flags(0, r), quint32(r));
    }
}

TEST(RBParamsTable, StatusRecordRoundTrip)
{
    TRBParamsTable t;
    t.SetColCount(2);
    t.SetRowCount(3);
    TRBCellStatus s;
    s.Flags = RBFlags::CustomColors | 0x5;
    s.PenColor = 0x0000FF;
    s.BrushColor = 0x00FF00;
    s.FontColor = 0xFF0000;
    s.Alignment = 4;
    s.FontSize = 14;
    t.SetStatus(1, 2, s);
    t.SetStatus(0, 1, s); // the same colours share one pool entry
    EXPECT_EQ(t.Status(1, 2), s);
    EXPECT_EQ(t.Status(0, 1), s);
    EXPECT_EQ(t.Status(1, 1), TRBCellStatus());
    s.BrushColor = 1;
    t.SetStatus(1, 2, s);
    EXPECT_EQ(t.Status(1, 2).BrushColor, 1u);
    EXPECT_EQ(t.Status(0, 1).BrushColor, 0x00FF00u);
    EXPECT_EQ(t.Status(5, 5), TRBCellStatus());
}

} // namespace

// A column's default stands for every cell without a record of its own: setting it
// and writing the same value per row makes no records, and records made later for
// another reason, rows added and columns grown all start from it.
TEST(RBParamsTable, ColumnDefaultNeedsNoRecords)
{
    TRBParamsTable t;
    t.SetColCount(3);
    t.SetRowCount(4);
    t.SetColumnAlignment(0, 4);
    for (int r = 0; r < t.RowCount(); ++r)
        t.SetAlignment(0, r, 4);
    EXPECT_EQ(t.Alignment(0, 2), 4);
    EXPECT_EQ(t.Alignment(1, 2), 0);
    EXPECT_EQ(t.Status(0, 3).Alignment, 4);
    t.SetAlignment(1, 2, 0);
    t.SetFlags(2, 2, 0);
    TRBParamsTable::RowSet none = t.TakeRows({0, 1});
    EXPECT_EQ(none.cols, 0) << "a write of what the cell has made records";
    t.PutRows(std::move(none));

    t.SetFlags(2, 1, RBFlags::RowMark); // the first record: every cell gets one
    EXPECT_EQ(t.Alignment(0, 1), 4);
    EXPECT_EQ(t.Alignment(0, 3), 4);
    t.SetAlignment(0, 2, 0);
    EXPECT_EQ(t.Alignment(0, 2), 0);
    t.InsertRows(1, 2);
    t.AppendRow();
    t.InsertRow(0);
    EXPECT_EQ(t.Alignment(0, 0), 4);
    EXPECT_EQ(t.Alignment(0, 2), 4);
    EXPECT_EQ(t.Alignment(0, t.RowCount() - 1), 4);
    EXPECT_EQ(t.Alignment(0, 5), 0) << "the row set to 0 moved down by three";
    EXPECT_EQ(t.Flags(2, 4), RBFlags::RowMark);

    // Rows taken before the records existed come back with the defaults.
    TRBParamsTable u;
    u.SetColCount(2);
    u.SetRowCount(3);
    u.SetColumnAlignment(1, 6);
    std::vector<char> take{0, 1, 0};
    TRBParamsTable::RowSet set = u.TakeRows(take);
    u.SetFlags(0, 0, 1);
    u.PutRows(std::move(set));
    EXPECT_EQ(u.Alignment(1, 1), 6);
    u.SetColCount(3);
    u.SetColumnAlignment(2, 2);
    EXPECT_EQ(u.Alignment(2, 1), 0) << "records made before the default keep theirs";
}

// The cell records of two rows change places from a column on; the rows stay.
TEST(RBParamsTable, ExchangeCellsFromAColumn)
{
    TRBParamsTable t;
    t.AppendFields({QString("1"), QString("a")});
    t.AppendFields({QString("2"), QString("b")});
    t.SetFlags(0, 0, 0x10);
    t.SetFlags(1, 0, RBFlags::Duplicate);
    t.ExchangeCells(0, 1, 1);
    EXPECT_EQ(t.Flags(0, 0), 0x10u);
    EXPECT_EQ(t.Flags(1, 0), 0u);
    EXPECT_EQ(t.Flags(1, 1), RBFlags::Duplicate);
    EXPECT_EQ(t.Cell(1, 0), QStringLiteral("a"));
}
