// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBActions.h"
#include "grid/RBGrids.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

struct Window {
    QWidget top;
    QLineEdit *edit;
    TRBGrid *grid;
    RBActions actions;
    Window()
    {
        auto *l = new QVBoxLayout(&top);
        edit = new QLineEdit(&top);
        grid = new TRBGrid(&top);
        l->addWidget(edit);
        l->addWidget(grid);
        grid->SetNumbers(true);
        grid->SetHeader(TRBParams{"LP", "Name", "Note"});
        grid->SetEnableRowEdit(true);
        grid->SetRowCount(4);
        grid->SetCell(1, 1, QStringLiteral("Ann Street"));
        grid->SetCell(1, 2, QStringLiteral("Bob"));
        top.addActions(actions.actions());
        top.resize(500, 400);
        top.show();
        top.activateWindow();
        QApplication::processEvents();
    }
    void focus(QWidget *w)
    {
        w->setFocus();
        QApplication::processEvents();
        actions.UpdateActions();
    }
};

TEST(RBActions, ShortcutsAndOrder)
{
    RBActions a;
    const QList<QAction *> list = a.actions();
    ASSERT_EQ(list.size(), 7);
    EXPECT_EQ(list[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(list[1]->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    EXPECT_EQ(list[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(list[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(list[4]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    EXPECT_EQ(list[5]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    EXPECT_EQ(list[6]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(list[5]->text(), QStringLiteral("SelectAll"));
}

TEST(RBActions, GridTargetRules)
{
    Window w;
    QGuiApplication::clipboard()->clear();
    w.focus(w.grid);
    ASSERT_EQ(QApplication::focusWidget(), w.grid);
    EXPECT_TRUE(w.actions.RBSelectAll1->isEnabled());
    EXPECT_TRUE(w.actions.RBReverse1->isEnabled());
    // No row marked: Copy and Cut take the current cell's text.
    EXPECT_TRUE(w.actions.RBCopyAction1->isEnabled());
    EXPECT_TRUE(w.actions.RBCutAction1->isEnabled());
    EXPECT_FALSE(w.actions.RBPasteAction1->isEnabled());
    const QString cell = w.grid->GetCell(w.grid->Col(), w.grid->Row());
    ASSERT_FALSE(cell.isEmpty());
    w.actions.RBCopyAction1->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), cell);
    EXPECT_EQ(w.grid->GetCell(w.grid->Col(), w.grid->Row()), cell);
    QGuiApplication::clipboard()->clear();

    w.actions.RBSelectAll1->trigger();
    EXPECT_TRUE(w.actions.RBCopyAction1->isEnabled());
    w.grid->UnmarkRow(2, RBFlags::RowMark);
    w.grid->UnmarkRow(3, RBFlags::RowMark);
    w.actions.RBCopyAction1->trigger();
    // Fields are taken up to the row's last one: "Note" was never set.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("\"Ann Street\""));
    w.actions.UpdateActions();
    EXPECT_TRUE(w.actions.RBPasteAction1->isEnabled());

    w.actions.RBReverse1->trigger(); // rows 2 and 3 marked now
    EXPECT_FALSE(w.grid->GetCellFlags(1, 1) & RBFlags::RowMark);
    EXPECT_TRUE(w.grid->GetCellFlags(1, 2) & RBFlags::RowMark);

    w.actions.RBCutAction1->trigger();
    EXPECT_EQ(w.grid->RowCount(), 2);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Bob\r\n"));
    w.actions.RBPasteAction1->trigger(); // "Bob" and the empty row come back
    EXPECT_EQ(w.grid->RowCount(), 4);
    EXPECT_EQ(w.grid->GetCell(1, 1), QStringLiteral("Bob"));
    EXPECT_TRUE(w.grid->IsRowEmpty(2));

    // The shortcut reaches the grid through the window's actions.
    w.grid->SelectAllRows();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(w.grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("Bob")));
}

TEST(RBActions, EditBoxTargetRules)
{
    Window w;
    w.edit->setText(QStringLiteral("hello world"));
    w.focus(w.grid);
    const bool reverseBefore = w.actions.RBReverse1->isEnabled();
    w.focus(w.edit);
    w.edit->deselect();
    w.actions.UpdateActions();
    EXPECT_FALSE(w.actions.RBCopyAction1->isEnabled());
    EXPECT_TRUE(w.actions.RBSelectAll1->isEnabled()); // text to select, none selected
    EXPECT_EQ(w.actions.RBReverse1->isEnabled(), reverseBefore); // left as it was
    w.actions.RBSelectAll1->trigger();
    EXPECT_EQ(w.edit->selectedText(), QStringLiteral("hello world"));
    w.edit->deselect();

    w.edit->setSelection(0, 5);
    w.actions.UpdateActions();
    EXPECT_TRUE(w.actions.RBCopyAction1->isEnabled());
    EXPECT_TRUE(w.actions.RBCutAction1->isEnabled());
    w.actions.RBCopyAction1->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
    EXPECT_TRUE(w.actions.RBPasteAction1->isEnabled());

    w.edit->setReadOnly(true);
    w.actions.UpdateActions();
    EXPECT_FALSE(w.actions.RBCutAction1->isEnabled());
    EXPECT_FALSE(w.actions.RBPasteAction1->isEnabled());
    EXPECT_TRUE(w.actions.RBCopyAction1->isEnabled());

    // A bound control: the action serves it only.
    w.actions.RBCopyAction1->SetControl(w.grid);
    w.actions.UpdateActions();
    EXPECT_FALSE(w.actions.RBCopyAction1->isEnabled());

    w.edit->clear();
    w.actions.UpdateActions();
    EXPECT_FALSE(w.actions.RBSelectAll1->isEnabled());
}

} // namespace
