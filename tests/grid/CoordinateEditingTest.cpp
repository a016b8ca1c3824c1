// SPDX-License-Identifier: GPL-3.0-or-later
// The coordinate cells of a real grid, typed into through its cell editor with real
// key events: what people type becomes the list's units when the cell is left.
#include "grid/CoordinateEditing.h"
#include "grid/RBGrids.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Grid {
    TRBGrid g;
    QUndoStack undo;
    QStringList statuses;

    Grid()
    {
        g.resize(640, 300);
        g.SetNumbers(true);
        g.SetHeader(TRBParams{"LP", "Longitude", "Latitude", "Description"});
        g.SetRowCount(4);
        g.SetCell(1, 1, "1993500");
        g.SetCell(2, 1, "5006200");
        g.SetCell(3, 1, "Rynek");
        g.SetUndoStack(&undo);
        CoordinateEditing::install(&g, 3, [this](const QString &s) { statuses << s; });
        g.show();
        g.setFocus();
    }

    // F2 on the cell, the old text selected away, `text` typed key by key.
    QLineEdit *type(int col, int row, const QString &text)
    {
        g.SetCurrentCell(col, row);
        QTest::keyClick(&g, Qt::Key_F2);
        QLineEdit *editor = nullptr;
        for (QLineEdit *e : g.viewport()->findChildren<QLineEdit *>())
            if (e->isVisible())
                editor = e;
        if (!editor)
            return nullptr;
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, text);
        return editor;
    }
    void leave(QLineEdit *editor, Qt::Key key = Qt::Key_Return)
    {
        QTest::keyClick(editor, key);
        QApplication::processEvents(); // Enter commits queued
    }
    bool faulty(int col, int row) { return g.OnCellFault(&g, col, row, g.GetCell(col, row)); }
};

} // namespace

TEST(CoordinateEditing, TypedFormsBecomeUnitsInOneStepOfUndo)
{
    Grid f;
    QLineEdit *editor = f.type(1, 1, "19,95");
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(f.g.OnCellFault(&f.g, 1, 1, editor->text())) << "a readable form is not red while typed";
    f.leave(editor);
    EXPECT_FALSE(f.g.IsEditorActive());
    EXPECT_EQ(f.g.GetCell(1, 1), "1995000");
    EXPECT_EQ(f.undo.count(), 1);

    editor = f.type(2, 1, QString::fromUtf8("50°03'36\"N"));
    ASSERT_NE(editor, nullptr);
    f.leave(editor, Qt::Key_Tab);
    EXPECT_EQ(f.g.GetCell(2, 1), "5006000");
    EXPECT_EQ(f.undo.count(), 2);

    editor = f.type(1, 1, "W 0 30 0");
    ASSERT_NE(editor, nullptr);
    f.leave(editor);
    EXPECT_EQ(f.g.GetCell(1, 1), "-50000");

    // A plain integer keeps meaning the list's units.
    editor = f.type(1, 1, "1995000");
    ASSERT_NE(editor, nullptr);
    f.leave(editor);
    EXPECT_EQ(f.g.GetCell(1, 1), "1995000");

    f.undo.undo();
    EXPECT_EQ(f.g.GetCell(1, 1), "-50000");
    f.undo.undo();
    f.undo.undo();
    f.undo.undo();
    EXPECT_EQ(f.g.GetCell(1, 1), "1993500");
    EXPECT_EQ(f.g.GetCell(2, 1), "5006200");
    EXPECT_TRUE(f.statuses.isEmpty()) << f.statuses.join("|").toStdString();
}

TEST(CoordinateEditing, APairPastedIntoTheLongitudeFillsBothCells)
{
    Grid f;
    for (const char *pasted : {"50.06, 19.94", "50°03'36\"N 19°56'24\"E", "19°56'24\"E 50°03'36\"N"}) {
        f.g.SetCell(1, 2, "");
        f.g.SetCell(2, 2, "");
        QLineEdit *editor = f.type(1, 2, "");
        ASSERT_NE(editor, nullptr);
        QApplication::clipboard()->setText(QString::fromUtf8(pasted));
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(editor->text(), QString::fromUtf8(pasted));
        f.leave(editor);
        EXPECT_EQ(f.g.GetCell(1, 2), "1994000") << pasted;
        EXPECT_EQ(f.g.GetCell(2, 2), "5006000") << pasted;
    }
    // One step of undo takes both back.
    const int steps = f.undo.count();
    f.undo.undo();
    EXPECT_EQ(f.undo.index(), steps - 1);
    EXPECT_EQ(f.g.GetCell(1, 2), "");
    EXPECT_EQ(f.g.GetCell(2, 2), "");
}

TEST(CoordinateEditing, AnUnreadableTextStaysRedAndSaysWhy)
{
    Grid f;
    QLineEdit *editor = f.type(2, 1, "1e9");
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(f.g.OnCellFault(&f.g, 2, 1, editor->text()));
    EXPECT_EQ(editor->toolTip().toStdString(), "a hemisphere letter belongs at the start or at the end");
    f.leave(editor);
    EXPECT_FALSE(f.g.IsEditorActive()) << "the user can leave the cell";
    EXPECT_EQ(f.g.GetCell(2, 1), "1e9");
    EXPECT_TRUE(f.faulty(2, 1));
    ASSERT_EQ(f.statuses.size(), 1);
    EXPECT_EQ(f.statuses[0].toStdString(),
              "Row 1: \"1e9\" cannot be read: a hemisphere letter belongs at the start or at the end");

    // The cell's tooltip gives the same reason.
    const QPoint at = f.g.CellRect(2, 1).center();
    QHelpEvent help(QEvent::ToolTip, at, f.g.viewport()->mapToGlobal(at));
    QApplication::sendEvent(f.g.viewport(), &help);
    EXPECT_EQ(QToolTip::text().toStdString(),
              "\"1e9\" cannot be read: a hemisphere letter belongs at the start or at the end");

    // Out of range and a latitude letter in the longitude: red too, each with its reason.
    editor = f.type(1, 1, QString::fromUtf8("180.000001"));
    ASSERT_NE(editor, nullptr);
    f.leave(editor);
    EXPECT_EQ(f.g.GetCell(1, 1), "180.000001");
    EXPECT_TRUE(f.faulty(1, 1));
    EXPECT_EQ(f.statuses.last().toStdString(), "Row 1: \"180.000001\" cannot be read: a longitude lies within 180°");

    // Mended: the status clears.
    editor = f.type(1, 1, "19.95");
    ASSERT_NE(editor, nullptr);
    f.leave(editor);
    EXPECT_EQ(f.statuses.last(), "");
}

TEST(CoordinateEditing, AnEmptyCoordinateBesideDataIsAFaultWithItsReason)
{
    Grid f;
    QLineEdit *editor = f.type(2, 1, "");
    ASSERT_NE(editor, nullptr);
    f.leave(editor);
    EXPECT_TRUE(f.faulty(2, 1));
    EXPECT_EQ(f.statuses.last().toStdString(), "Row 1: The row has no latitude");
    // A row with nothing in it is not saved, so its empty cells are fine.
    EXPECT_FALSE(f.faulty(1, 3));
}

TEST(CoordinateEditing, AClickOnAnotherCellConvertsToo)
{
    Grid f;
    QLineEdit *editor = f.type(1, 1, "19.95");
    ASSERT_NE(editor, nullptr);
    QTest::mouseClick(f.g.viewport(), Qt::LeftButton, {}, f.g.CellRect(3, 2).center());
    QApplication::processEvents();
    EXPECT_FALSE(f.g.IsEditorActive());
    EXPECT_EQ(f.g.GetCell(1, 1), "1995000");
    EXPECT_EQ(f.undo.count(), 1);
}

TEST(CoordinateEditing, ACellFilledFromElsewhereSaysHowToConvertIt)
{
    Grid f;
    f.g.SetCell(1, 1, "19.95"); // rows pasted from a spreadsheet keep their texts
    EXPECT_TRUE(f.faulty(1, 1));
    const QPoint at = f.g.CellRect(1, 1).center();
    QHelpEvent help(QEvent::ToolTip, at, f.g.viewport()->mapToGlobal(at));
    QApplication::sendEvent(f.g.viewport(), &help);
    EXPECT_EQ(QToolTip::text().toStdString(), "\"19.95\" is not yet in 1/100000 degrees: edit the cell to convert it");
    // Opening and leaving the cell converts it.
    f.g.SetCurrentCell(1, 1);
    QTest::keyClick(&f.g, Qt::Key_F2);
    QLineEdit *editor = nullptr;
    for (QLineEdit *e : f.g.viewport()->findChildren<QLineEdit *>())
        if (e->isVisible())
            editor = e;
    ASSERT_NE(editor, nullptr);
    f.leave(editor);
    EXPECT_EQ(f.g.GetCell(1, 1), "1995000");
}

TEST(CoordinateEditing, AnEditorClosedBySaveStillConverts)
{
    Grid f;
    QLineEdit *editor = f.type(1, 1, "19.95");
    ASSERT_NE(editor, nullptr);
    // A save closes the editor without the delegate's fixup.
    f.g.HideEditor();
    EXPECT_EQ(f.g.GetCell(1, 1), "1995000");
    EXPECT_FALSE(f.faulty(1, 1));
    for (const char *pair : {"50.06, 19.94", "19°56'24\"E 50°03'36\"N"}) {
        f.g.SetCell(2, 2, "");
        editor = f.type(1, 2, QString::fromUtf8(pair));
        ASSERT_NE(editor, nullptr);
        f.g.HideEditor();
        EXPECT_EQ(f.g.GetCell(1, 2), "1994000") << pair;
        EXPECT_EQ(f.g.GetCell(2, 2), "5006000") << pair;
    }
}
