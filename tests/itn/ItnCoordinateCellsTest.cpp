// SPDX-License-Identifier: GPL-3.0-or-later
// The itinerary list's coordinate cells take typed degrees and pasted pairs as the
// POI list's do, typed through the real cell editor.
#include "grid/RBItnGrid.h"
#include "itn/Itn.h"
#include "platform/Error.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {
class StatusShell : public QuietShell {
public:
    using QuietShell::QuietShell;
    void SetStatus(const QString &text) override { status = text; }
    QString status;
};

QLineEdit *openEditor(TRBGrid &g, int col, int row)
{
    g.setFocus();
    g.SetCurrentCell(col, row);
    QTest::keyClick(&g, Qt::Key_F2);
    for (QLineEdit *e : g.viewport()->findChildren<QLineEdit *>())
        if (e->isVisible())
            return e;
    return nullptr;
}
} // namespace

TEST(ItnCoordinateCells, APastedPairAndTypedDegreesAreSavedAsUnits)
{
    TempFolder tmp;
    StatusShell shell(tmp.file("k.ini"));
    const QString path = tmp.write("route.itn", "1993730|5006170|Rynek|4|\r\n1993560|5005400|Wawel|1|\r\n");
    TItnEdit w(shell);
    w.Open(path);
    w.show();
    TRBGrid &g = *w.ItnGrid();

    QLineEdit *editor = openEditor(g, 1, 2);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText(QString::fromUtf8("50°03'15.6\"N 19°56'08.4\"E"));
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(g.GetCell(1, 2), "1993566");
    EXPECT_EQ(g.GetCell(2, 2), "5005433");
    EXPECT_EQ(g.UndoStack()->count(), 1) << "both cells in one step";

    editor = openEditor(g, 2, 1);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "S 50,0617");
    QTest::keyClick(editor, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(g.GetCell(2, 1), "-5006170");

    editor = openEditor(g, 1, 1);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "N 19.9");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(shell.status.toStdString(), "Row 1: \"N 19.9\" cannot be read: N marks a latitude, not a longitude");
    EXPECT_THROW(w.Save(), KorvixError);

    editor = openEditor(g, 1, 1);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "E 19.9");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(shell.status, "") << "the mended cell clears the status";
    ASSERT_TRUE(w.SaveITN(path));
    EXPECT_EQ(readAll(path), "1990000|-5006170|Rynek|4|\r\n1993566|5005433|Wawel|1|\r\n");
}
