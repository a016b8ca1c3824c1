// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of every change the grid makes, and sorting by a column.
#include "grid/RBGrids.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct Undoable {
    std::unique_ptr<TRBGrid> grid = std::make_unique<TRBGrid>();
    QUndoStack stack;

    explicit Undoable(const QList<QStringList> &rows, bool autoSize = true)
    {
        grid->resize(640, 420);
        grid->SetNumbers(true);
        grid->SetHeader(TRBParams{"LP", "Lon", "Lat", "Name"});
        grid->SetHasHeader(true);
        grid->SetAutoSize(autoSize);
        grid->SetEnableRowEdit(true);
        grid->SetRowCount(int(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                grid->SetCell(c + 1, r + 1, rows[r][c]);
        grid->SetUndoStack(&stack);
        grid->show();
    }

    // Every cell of every row, numbers included.
    QStringList texts() const
    {
        QStringList out;
        for (int r = 0; r < grid->RowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < grid->ColCount(); ++c)
                row << grid->GetCell(c, r);
            out << row.join(u'|');
        }
        return out;
    }
};

QList<QStringList> sampleRows(int n)
{
    QList<QStringList> rows;
    for (int i = 1; i <= n; ++i)
        rows << QStringList{QString::number(i * 100), QString::number(-i), QStringLiteral("name %1").arg(i)};
    return rows;
}

// The change is one step: undo gives the rows before, redo the rows after, again.
void expectOneStep(Undoable &u, const char *what, const std::function<void()> &change)
{
    const QStringList before = u.texts();
    const int steps = u.stack.count();
    change();
    const QStringList after = u.texts();
    ASSERT_NE(after, before) << what << ": nothing changed";
    ASSERT_EQ(u.stack.count(), steps + 1) << what;
    for (int round = 0; round < 2; ++round) {
        u.stack.undo();
        EXPECT_EQ(u.texts(), before) << what << " undone, round " << round;
        u.stack.redo();
        EXPECT_EQ(u.texts(), after) << what << " redone, round " << round;
    }
}

} // namespace

TEST(GridUndo, EveryKindOfChangeIsOneStepBackAndForth)
{
    Undoable u(sampleRows(12));
    expectOneStep(u, "cell", [&] { u.grid->SetCell(3, 4, QStringLiteral("typed")); });
    expectOneStep(u, "cell of a new row", [&] { u.grid->SetCell(1, u.grid->RowCount() + 2, QStringLiteral("5")); });
    expectOneStep(u, "longer list", [&] { u.grid->SetRowCount(u.grid->RowCount() + 3); });
    expectOneStep(u, "shorter list", [&] { u.grid->SetRowCount(8); });
    expectOneStep(u, "insert", [&] { u.grid->InsertEmptyRow(3); });
    expectOneStep(u, "delete", [&] { u.grid->DeleteRow(2); });
    expectOneStep(u, "move", [&] { u.grid->MoveRow(1, 5); });
    expectOneStep(u, "paste", [&] {
        u.grid->SetCurrentCell(1, 3);
        u.grid->PasteText(QStringLiteral("1\t2\tp1\r\n3\t4\tp2"));
    });
    expectOneStep(u, "cut of scattered rows", [&] {
        for (int r : {1, 4, 5, u.grid->RowCount() - 1})
            u.grid->MarkRow(r, RBFlags::RowMark);
        u.grid->CutMarkedRows();
    });
    expectOneStep(u, "row texts", [&] {
        TRBParams row = u.grid->GetRowParams(2);
        row.SetField(3, QStringLiteral("whole row"));
        u.grid->SetRowParams(2, row);
    });
    expectOneStep(u, "rows changed by the editor", [&] {
        std::vector<TRBParams> before{u.grid->Table().Row(1), u.grid->Table().Row(2)};
        for (int c = 1; c <= 3; ++c) {
            const QString a = u.grid->GetCell(c, 1);
            u.grid->Table().SetCell(c, 1, u.grid->GetCell(c, 2));
            u.grid->Table().SetCell(c, 2, a);
        }
        u.grid->RecordRowChanges({1, 2}, before);
    });
    expectOneStep(u, "sort", [&] { u.grid->SortByColumn(3, true); });
    expectOneStep(u, "rows appended by the editor", [&] {
        const int old = u.grid->RowCount();
        u.grid->Table().AppendFields({QString(), QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("direct")});
        u.grid->TableChanged();
        u.grid->RecordAppendedRows(old);
    });
    expectOneStep(u, "a group", [&] {
        u.grid->BeginChange(QStringLiteral("import"));
        for (int i = 0; i < 5; ++i)
            u.grid->SetCell(3, u.grid->RowCount(), QStringLiteral("added %1").arg(i));
        u.grid->EndChange();
    });
    // Back to the start through every step, and forward to the end.
    const QStringList end = u.texts();
    while (u.stack.canUndo())
        u.stack.undo();
    Undoable fresh(sampleRows(12));
    EXPECT_EQ(u.texts(), fresh.texts());
    while (u.stack.canRedo())
        u.stack.redo();
    EXPECT_EQ(u.texts(), end);
}

TEST(GridUndo, CuttingEveryRowOrDeletingTheOnlyOneLeavesAnEmptyRowThatUndoRemoves)
{
    Undoable u(sampleRows(3));
    expectOneStep(u, "cut of every row", [&] {
        u.grid->SelectAllRows();
        u.grid->CutMarkedRows();
    });
    EXPECT_EQ(u.grid->RowCount(), 2);
    Undoable one(sampleRows(1));
    expectOneStep(one, "delete of the only row", [&] { one.grid->DeleteRow(1); });
    EXPECT_EQ(one.grid->RowCount(), 2);
    EXPECT_TRUE(one.grid->IsRowEmpty(1));
}

TEST(GridUndo, RowsPutBackAreMarkedAsTheyWereAndNothingIsRecordedWithoutAStack)
{
    Undoable u(sampleRows(6));
    u.grid->MarkRow(3, RBFlags::RowMark);
    u.grid->MarkRow(5, RBFlags::RowMark);
    u.grid->CutMarkedRows();
    u.stack.undo();
    for (int r = 1; r <= 6; ++r) {
        EXPECT_EQ(u.grid->GetCell(3, r), QStringLiteral("name %1").arg(r));
        EXPECT_EQ(u.grid->HasMarkedRow(RBFlags::RowMark) && (u.grid->GetCellFlags(1, r) & RBFlags::RowMark), r == 3 || r == 5) << r;
    }

    u.grid->SetUndoStack(nullptr);
    const int steps = u.stack.count();
    u.grid->SetCell(3, 1, QStringLiteral("x"));
    u.grid->SortByColumn(1, true);
    EXPECT_EQ(u.stack.count(), steps);
}

TEST(GridSort, NumbersAsNumbersTextsByCollationStableAndGapFree)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    Undoable u({{"10", "1", "b"}, {"9", "2", "ą"}, {"-3", "3", "a"}, {"1e1", "4", "Z"}, {"", "5", "c"}, {"9.0", "6", "a"}});
    u.grid->SetRowCount(u.grid->RowCount() + 1); // an empty last row
    auto column = [&](int col) {
        QStringList out;
        for (int r = 1; r < u.grid->RowCount(); ++r)
            out << u.grid->GetCell(col, r);
        return out;
    };
    u.grid->SortByColumn(1, false);
    EXPECT_EQ(column(1), (QStringList{"-3", "9", "9.0", "10", "1e1", "", ""}));
    EXPECT_EQ(column(2), (QStringList{"3", "2", "6", "1", "4", "5", ""})) << "equal keys keep their order";
    u.grid->SortByColumn(1, true);
    EXPECT_EQ(column(1), (QStringList{"10", "1e1", "9", "9.0", "-3", "", ""}));
    EXPECT_EQ(column(2), (QStringList{"1", "4", "2", "6", "3", "5", ""})) << "descending is stable too";
    u.grid->SortByColumn(3, false);
    EXPECT_EQ(column(3), (QStringList{"a", "a", "ą", "b", "c", "Z", ""}));
    EXPECT_EQ(column(2), (QStringList{"6", "3", "2", "1", "5", "4", ""})) << "in the order the last sort left";
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
    // Three sorts, three steps back to the first order.
    u.stack.undo();
    u.stack.undo();
    u.stack.undo();
    EXPECT_EQ(column(2), (QStringList{"1", "2", "3", "4", "5", "6", ""}));
    QLocale::setDefault(QLocale::c());
}

TEST(GridSort, AHeaderClickSortsAndASecondClickReverses)
{
    Undoable u({{"2", "x", "b"}, {"1", "y", "a"}, {"3", "z", "c"}});
    u.grid->SetSortable(true);
    QHeaderView *header = u.grid->horizontalHeader();
    const int x = header->sectionViewportPosition(0) + header->sectionSize(0) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(u.grid->GetCell(1, 1), QStringLiteral("1"));
    EXPECT_EQ(u.grid->SortColumn(), 1);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(u.grid->GetCell(1, 1), QStringLiteral("3"));
    EXPECT_TRUE(u.grid->SortDescending());
    u.stack.undo();
    EXPECT_EQ(u.grid->GetCell(1, 1), QStringLiteral("1"));
    EXPECT_FALSE(u.grid->SortDescending());
}

TEST(GridSort, TheSortedColumnsHeaderShowsTheArrow)
{
    Undoable u({{"2", "x", "b"}, {"1", "y", "a"}, {"3", "z", "c"}});
    u.grid->resize(400, 200);
    u.grid->show();
    QHeaderView *header = u.grid->horizontalHeader();
    const auto section = [header](int logical) {
        return header->grab(QRect(header->sectionViewportPosition(logical), 0, header->sectionSize(logical), header->height()))
            .toImage();
    };
    const QImage plain0 = section(0), plain1 = section(1);
    u.grid->SortByColumn(1, false);
    QApplication::processEvents();
    const QImage up0 = section(0);
    EXPECT_NE(up0, plain0) << "no arrow on the sorted column";
    EXPECT_EQ(section(1), plain1) << "an arrow on another column";
    u.grid->SortByColumn(1, true);
    QApplication::processEvents();
    EXPECT_NE(section(0), up0) << "the arrow does not turn";
    u.grid->SortByColumn(2, false);
    QApplication::processEvents();
    EXPECT_EQ(section(0), plain0) << "the arrow stays on the column sorted before";
}

TEST(GridKeys, F3StepsThroughTheMarkedRowsAndBringsThemIntoView)
{
    Undoable u(sampleRows(2000), false);
    for (int row : {10, 1500, 1900})
        u.grid->MarkRow(row, RBFlags::RowMark);
    u.grid->SetCurrentCell(1, 1);
    u.grid->setFocus();
    const auto inView = [&u] {
        const QRect cell = u.grid->visualRect(u.grid->model()->index(u.grid->Row() - 1, 0));
        return u.grid->viewport()->rect().intersects(cell);
    };
    QList<int> visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(u.grid.get(), Qt::Key_F3);
        visited << u.grid->Row();
        EXPECT_TRUE(inView()) << "row " << u.grid->Row() << " out of sight";
    }
    EXPECT_EQ(visited, (QList<int>{10, 1500, 1900, 10}));
    QTest::keyClick(u.grid.get(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(u.grid->Row(), 1900);
    EXPECT_TRUE(inView());

    // An editor's own search takes F3 over.
    QList<bool> asked;
    u.grid->OnFindNext = [&asked](TRBGrid *, bool forward) { asked << forward; };
    QTest::keyClick(u.grid.get(), Qt::Key_F3);
    QTest::keyClick(u.grid.get(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(asked, (QList<bool>{true, false}));
    EXPECT_EQ(u.grid->Row(), 1900);
}

TEST(GridKeys, DeleteTakesMarkedRowsAsOneStepOrClearsTheCell)
{
    Undoable u(sampleRows(5));
    const QStringList before = u.texts();
    u.grid->MarkRow(2, RBFlags::RowMark);
    u.grid->MarkRow(4, RBFlags::RowMark);
    u.grid->setFocus();
    QTest::keyClick(u.grid.get(), Qt::Key_Delete);
    EXPECT_EQ(u.grid->RowCount(), 4);
    EXPECT_EQ(u.grid->GetCell(3, 2), QStringLiteral("name 3"));
    EXPECT_EQ(u.stack.count(), 1);
    u.stack.undo();
    EXPECT_EQ(u.texts(), before);

    // No mark: the current cell is emptied, and that too can be undone.
    u.grid->UnmarkAllRows(0xFF);
    u.grid->SetCurrentCell(3, 1);
    QTest::keyClick(u.grid.get(), Qt::Key_Delete);
    EXPECT_EQ(u.grid->GetCell(3, 1), QString());
    EXPECT_EQ(u.grid->RowCount(), 6);
    u.stack.undo();
    EXPECT_EQ(u.texts(), before);
}
