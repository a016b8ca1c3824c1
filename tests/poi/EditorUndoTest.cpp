// SPDX-License-Identifier: GPL-3.0-or-later
// Undo in the POI and itinerary editors: a list undone and saved gives the bytes it
// was opened from, and the modified mark follows the saved step.
#include "grid/RBActions.h"
#include "grid/RBGrids.h"
#include "grid/RBItnGrid.h"
#include "itn/Itn.h"
#include "platform/DeviceCodec.h"
#include "poi/GpxMenus.h"
#include "poi/Ov2Editor.h"
#include "poi/Ov2Writer.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

QString writeOv2(const TempFolder &tmp, int n)
{
    Ov2PointList list;
    for (int i = 0; i < n; ++i)
        list.add(100000 * (i % 7) + i, -5000 * i, QByteArray("poi ") + QByteArray::number((i * 37) % n));
    const QString path = tmp.file("list.ov2");
    SaveOV2(path, list);
    return path;
}

} // namespace

TEST(EditorUndo, APoiListUndoneStepByStepSavesToItsOriginalBytes)
{
    TempFolder tmp;
    QuietShell shell(tmp.file("k.ini"));
    const QString file = writeOv2(tmp, 200);
    const QByteArray original = readAll(file);
    TOV2 w(shell);
    w.dialogs.message = [](QWidget *, const QString &, const QString &text, const QString &detail) {
        ADD_FAILURE() << text.toStdString() << " " << detail.toStdString();
    };
    ASSERT_TRUE(w.OpenOV2(file));
    EXPECT_FALSE(w.isModified());
    TRBGrid *g = w.grid();
    QUndoStack *stack = g->UndoStack();
    ASSERT_NE(stack, nullptr);

    g->SortByColumn(3, false);
    g->SetCell(3, 5, QStringLiteral("renamed"));
    for (int r = 2; r < 120; r += 3)
        g->MarkRow(r, RBFlags::RowMark);
    g->CutMarkedRows();
    g->SetCurrentCell(1, 10);
    g->PasteText(QStringLiteral("1\t2\tpasted"));
    w.AddPoi(QStringLiteral("19.5"), QStringLiteral("50.25"), QStringLiteral("added"));
    EXPECT_EQ(stack->count(), 5);
    EXPECT_TRUE(w.isModified());

    const QString changed = tmp.file("changed.ov2");
    ASSERT_TRUE(w.SavePOI(changed));
    EXPECT_NE(readAll(changed), original);
    EXPECT_FALSE(w.isModified());
    stack->undo();
    EXPECT_TRUE(w.isModified()) << "one step before the saved one";
    stack->redo();
    EXPECT_FALSE(w.isModified()) << "back at the saved step";

    while (stack->canUndo())
        stack->undo();
    const QString undone = tmp.file("undone.ov2");
    ASSERT_TRUE(w.SavePOI(undone));
    EXPECT_EQ(readAll(undone), original);
    while (stack->canRedo())
        stack->redo();
    const QString redone = tmp.file("redone.ov2");
    ASSERT_TRUE(w.SavePOI(redone));
    EXPECT_EQ(readAll(redone), readAll(changed));
}

TEST(EditorUndo, ItinerarySwapReversalAndImportAreStepsAndTheEditMenuUndoesThem)
{
    TempFolder tmp;
    QuietShell shell(tmp.file("k.ini"));
    QByteArray itn;
    for (int i = 0; i < 10; ++i)
        itn += QByteArray::number(1900000 + i) + '|' + QByteArray::number(5000000 - i) + "|point " + QByteArray::number(i) + "|0|\r\n";
    const QString file = tmp.write("trip.itn", itn);
    TItnEdit w(shell);
    w.Open(file);
    EXPECT_FALSE(w.isModified());
    QUndoStack *stack = w.ItnGrid()->UndoStack();
    ASSERT_NE(stack, nullptr);

    ASSERT_TRUE(w.SwapPoints(2, 7));
    w.Reverse1Click();
    auto *exchange = w.findChild<GpxExchange *>();
    const QString gpx = tmp.write("in.gpx", "<gpx><wpt lat=\"1\" lon=\"2\"><name>a</name></wpt><wpt lat=\"3\" lon=\"4\"/></gpx>");
    ASSERT_TRUE(exchange->importGpx(gpx));
    w.AddItn(QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("one"));
    EXPECT_EQ(stack->count(), 4) << "a swap, a reversal, an import, a point";
    EXPECT_EQ(w.ItnGrid()->RowCount(), 14);
    EXPECT_TRUE(w.isModified());

    // Edit > Undo on the focused grid, as the main window's menu runs it.
    w.show();
    w.ItnGrid()->setFocus();
    QApplication::processEvents();
    RBActions actions;
    actions.UpdateActions();
    ASSERT_TRUE(actions.RBUndoAction1->isEnabled());
    for (int i = 0; i < 4; ++i)
        actions.RBUndoAction1->trigger();
    EXPECT_FALSE(actions.RBUndoAction1->isEnabled());
    EXPECT_TRUE(actions.RBRedoAction1->isEnabled());
    EXPECT_FALSE(w.isModified());
    ASSERT_TRUE(w.SaveITN(tmp.file("undone.itn")));
    EXPECT_EQ(readAll(tmp.file("undone.itn")), itn);
}
