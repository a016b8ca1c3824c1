// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGrids.h"
#include "grid/RBItnGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QAbstractItemModelTester>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A shown POI-like grid: numbers, header, row editing.
std::unique_ptr<TRBGrid> makeGrid(int dataRows, int cols = 4)
{
    auto g = std::make_unique<TRBGrid>();
    g->resize(640, 420);
    g->SetNumbers(true);
    TRBParams header{"LP"};
    for (int c = 1; c < cols; ++c)
        header.Append(QStringLiteral("H%1").arg(c));
    g->SetHeader(header);
    g->SetEnableRowEdit(true);
    g->SetRowCount(dataRows + 1);
    for (int r = 1; r <= dataRows; ++r)
        for (int c = 1; c < cols; ++c)
            g->SetCell(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
    g->show();
    return g;
}

QStringList column0(const TRBGrid &g)
{
    QStringList out;
    for (int r = 0; r < g.RowCount(); ++r)
        out << g.GetCell(0, r);
    return out;
}

QStringList rowFields(const TRBGrid &g, int row)
{
    QStringList out;
    for (int c = 1; c < g.ColCount(); ++c)
        out << g.GetCell(c, row);
    return out;
}

QImage grabViewport(TRBGrid &g)
{
    QApplication::processEvents();
    return g.viewport()->grab().toImage();
}

TEST(RBGridPalette, HlsEntries)
{
    const auto &p = RBGridPalette();
    // Hue 0 (entry 15) is pure red, hue 80 (entry 7) pure green.
    EXPECT_EQ(p[15].Strong, QColor(255, 0, 0));
    EXPECT_EQ(p[7].Strong, QColor(0, 255, 0));
    EXPECT_EQ(p[15].Light, QColor(255, 128, 128));
    for (int k = 1; k <= 15; ++k) {
        EXPECT_EQ(p[size_t(k)].Strong, ColorHLSToRGB(150 - 10 * k, 120, 240)) << k;
        EXPECT_EQ(p[size_t(k)].Light, ColorAdjustLuma(p[size_t(k)].Strong, 500, true)) << k;
        EXPECT_EQ(p[size_t(k)].Text, QColor(Qt::black));
    }
    int h, l, s;
    ColorRGBToHLS(QColor(0, 0, 255), h, l, s);
    EXPECT_EQ(h, 160);
    EXPECT_EQ(l, 120);
    EXPECT_EQ(s, 240);
    EXPECT_EQ(ColorFromNumber(255), QColor(255, 0, 0));
    EXPECT_EQ(NumberFromColor(QColor(0, 0, 255)), 0xFF0000u);
}

TEST(RBGrid, HeaderNumbersAndGapFreeRenumbering)
{
    auto g = makeGrid(9);
    EXPECT_TRUE(g->HasHeader());
    EXPECT_EQ(g->GetCell(1, 0), QStringLiteral("H1"));
    EXPECT_EQ(g->GetCellStatus(0, 5).Alignment, 4);
    g->DeleteRow(3);
    EXPECT_EQ(g->RowCount(), 9);
    EXPECT_EQ(column0(*g), (QStringList{"LP", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(g->GetCell(1, 3), QStringLiteral("r4c1"));

    g->InsertEmptyRow(2);
    EXPECT_EQ(g->GetCell(0, 2), QStringLiteral("2"));
    EXPECT_TRUE(g->IsRowEmpty(2));
    EXPECT_EQ(g->GetCell(0, 9), QStringLiteral("9"));
    EXPECT_FALSE(g->IsRowEmpty(1));
    EXPECT_FALSE(g->IsRowEmpty(99));

    // HasHeader keeps the column count at the header's.
    g->SetColCount(2);
    EXPECT_EQ(g->ColCount(), 4);
}

TEST(RBGrid, TakesATableFilledByAReader)
{
    auto g = makeGrid(1, 5);
    g->SetAutoSize(true);
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendRow(g->GetRowParams(0)); // the header row
    for (int i = 0; i < 50; ++i)
        t.AppendFields({QString(), QStringLiteral("%1").arg(i), QStringLiteral("y"),
                        QStringLiteral("name %1").arg(i)});
    t.AppendFields({QString(), QStringLiteral("the widest cell of them all")});
    g->SetTable(std::move(t));
    EXPECT_EQ(g->RowCount(), 52);
    EXPECT_EQ(g->ColCount(), 5);
    EXPECT_EQ(g->GetCell(0, 0), QStringLiteral("LP"));
    EXPECT_EQ(g->GetCell(0, 51), QStringLiteral("51"));
    EXPECT_EQ(g->GetCell(3, 50), QStringLiteral("name 49"));
    EXPECT_EQ(g->ColWidths(1), g->FittedColWidth(1));
    EXPECT_GT(g->ColWidths(1), g->ColWidths(2));
    EXPECT_EQ(g->Row(), 1);
    g->SetCurrentCell(2, 40);

    // Filling the grid's own table works the same way; the current cell stays where
    // the rows still reach.
    g->Table().AppendFields({QString(), QStringLiteral("more")});
    g->TableChanged();
    EXPECT_EQ(g->Row(), 40);
    EXPECT_EQ(g->Col(), 2);
    const int wide = g->ColWidths(1);
    g->Table().SetRowCount(1);
    g->Table().AppendFields({QString(), QStringLiteral("only")});
    g->TableChanged();
    EXPECT_EQ(g->RowCount(), 2);
    EXPECT_EQ(g->GetCell(0, 1), QStringLiteral("1"));
    EXPECT_LT(g->ColWidths(1), wide);
    EXPECT_EQ(g->ColWidths(1), g->FittedColWidth(1));

    // Rows filled past the column count widen the grid instead of losing fields.
    g->Table().AppendRow().SetField(6, QStringLiteral("far"));
    g->TableChanged();
    EXPECT_EQ(g->ColCount(), 7);
    EXPECT_EQ(g->GetCell(6, 2), QStringLiteral("far"));
}

QStringList g_modelComplaints;
void collectComplaints(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_modelComplaints << msg;
}

TEST(RBGrid, ModelSignalsStayConsistent)
{
    auto g = makeGrid(6);
    g_modelComplaints.clear();
    QtMessageHandler previous = qInstallMessageHandler(collectComplaints);
    {
        QAbstractItemModelTester tester(g->model(),
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        g->SetRowCount(12);
        g->SetRowCount(4);
        g->SetColCount(7);
        g->SetColCount(5);
        g->InsertEmptyRow(2);
        g->DeleteRow(1);
        g->MoveRow(1, 3);
        g->MoveRow(3, 1);
        g->PasteText(QStringLiteral("a\tb\r\nc"));
        g->MarkRow(2, RBFlags::RowMark);
        g->CutMarkedRows();
        g->Table().AppendFields({QString(), QStringLiteral("x")});
        g->TableChanged();
        g->SetAutoSize(true);
        g->MoveColumn(1, 2);
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(g_modelComplaints.isEmpty()) << g_modelComplaints.join(QLatin1Char('\n')).toStdString();
}

TEST(RBGrid, ColumnShrinkAndGrowLeavesEmptyColumns)
{
    TRBGrid g;
    g.SetColCount(5);
    g.SetRowCount(3);
    for (int c = 1; c < 5; ++c)
        g.SetCell(c, 1, QStringLiteral("v%1").arg(c));
    g.SetCellFlags(4, 1, 0x30);
    g.SetColCount(3);
    g.SetColCount(5);
    EXPECT_EQ(rowFields(g, 1), (QStringList{"v1", "v2", "", ""}));
    EXPECT_EQ(g.GetRowParams(1).Count(), 3);
    EXPECT_EQ(g.GetCellFlags(4, 1), 0u);
    EXPECT_EQ(g.GetCellFlags(9, 1), 0u);
    g.SetCellFlags(9, 1, 5); // outside: ignored
}

TEST(RBGrid, MovesKeepRowsAndStatusTogether)
{
    auto g = makeGrid(4);
    g->MarkRow(1, 0x40);
    g->MoveRow(1, 3);
    EXPECT_EQ(g->GetCell(1, 3), QStringLiteral("r1c1"));
    EXPECT_EQ(g->GetCellFlags(2, 3), 0x40u);
    EXPECT_EQ(g->GetCellFlags(2, 1), 0u);
    EXPECT_EQ(column0(*g), (QStringList{"LP", "1", "2", "3", "4"}));

    // A column move takes the texts along, header included; flags stay in place.
    g->MoveColumn(1, 3);
    EXPECT_EQ(rowFields(*g, 0), (QStringList{"H2", "H3", "H1"}));
    EXPECT_EQ(rowFields(*g, 3), (QStringList{"r1c2", "r1c3", "r1c1"}));
    EXPECT_EQ(g->GetCellFlags(1, 3), 0x40u);
}

TEST(RBGrid, MarkingOperations)
{
    auto g = makeGrid(5);
    EXPECT_FALSE(g->HasMarkedRow(RBFlags::RowMark));
    g->MarkRow(2, RBFlags::RowMark);
    EXPECT_TRUE(g->HasMarkedRow(RBFlags::RowMark));
    EXPECT_EQ(g->GetCellFlags(0, 2), 0u); // number cell is no data cell
    EXPECT_EQ(g->GetCellFlags(3, 2), RBFlags::RowMark);

    g->InvertRowMarks();
    EXPECT_EQ(g->GetCellFlags(1, 2), 0u);
    for (int r : {1, 3, 4, 5})
        EXPECT_EQ(g->GetCellFlags(1, r), RBFlags::RowMark) << r;

    g->UnmarkAllRows(RBFlags::RowMark);
    EXPECT_FALSE(g->HasMarkedRow(RBFlags::RowMark));
    g->SelectAllRows();
    for (int r = 1; r <= 5; ++r)
        EXPECT_TRUE(g->GetCellFlags(2, r) & RBFlags::RowMark);

    // Without row editing the row commands do nothing.
    g->UnmarkAllRows(0xFF);
    g->SetEnableRowEdit(false);
    g->SelectAllRows();
    g->InvertRowMarks();
    EXPECT_FALSE(g->HasMarkedRow(0xFF));
}

TEST(RBGridClipboard, CopyQuotesBlanksAndPasteRestores)
{
    auto g = makeGrid(3);
    g->SetCell(1, 2, QStringLiteral("Main St"));
    g->SetCell(2, 2, QStringLiteral("a\tb"));
    g->MarkRow(2, RBFlags::RowMark);
    g->MarkRow(3, RBFlags::RowMark);
    g->CopyMarkedRows();
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_EQ(text, QStringLiteral("\"Main St\"\t\"a\tb\"\tr2c3\r\nr3c1\tr3c2\tr3c3"));

    g->SetCurrentCell(1, 1);
    g->PasteRows();
    ASSERT_EQ(g->RowCount(), 6);
    EXPECT_EQ(rowFields(*g, 1), (QStringList{"Main St", "a\tb", "r2c3"}));
    EXPECT_EQ(rowFields(*g, 2), (QStringList{"r3c1", "r3c2", "r3c3"}));
    EXPECT_EQ(rowFields(*g, 3), (QStringList{"r1c1", "r1c2", "r1c3"}));
    EXPECT_EQ(column0(*g), (QStringList{"LP", "1", "2", "3", "4", "5"}));
    // Paste clears the palette bits of the rows that were there.
    EXPECT_FALSE(g->HasMarkedRow(0xFF));
}

TEST(RBGridClipboard, PasteLineCounts)
{
    auto g = makeGrid(1);
    g->PasteText(QStringLiteral("a\tb\r\n"));
    EXPECT_EQ(g->RowCount(), 4); // "a b", an empty row, the old row
    EXPECT_EQ(rowFields(*g, 1), (QStringList{"a", "b", ""}));
    EXPECT_TRUE(g->IsRowEmpty(2));

    g->PasteText(QString());
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_TRUE(g->IsRowEmpty(1));

    // OnPaste may rewrite the text; the grid does not look at ok.
    g->OnPaste = [](TRBGrid *, QString &t, bool &ok) {
        t = QStringLiteral("x\r\ny");
        ok = false;
    };
    int changes = 0;
    g->OnChanged = [&](TRBGrid *) { ++changes; };
    g->PasteText(QStringLiteral("ignored"));
    EXPECT_EQ(g->RowCount(), 7);
    EXPECT_EQ(g->GetCell(1, 1), QStringLiteral("x"));
    EXPECT_EQ(g->GetCell(1, 2), QStringLiteral("y"));
    EXPECT_EQ(changes, 1);
}

TEST(RBGridClipboard, CutKeepsOneNumberedRow)
{
    auto g = makeGrid(1);
    g->MarkRow(1, RBFlags::RowMark);
    g->CutMarkedRows();
    EXPECT_EQ(g->RowCount(), 2);
    EXPECT_TRUE(g->IsRowEmpty(1));
    EXPECT_EQ(g->GetCell(0, 1), QStringLiteral("1"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("r1c1\tr1c2\tr1c3"));

    auto h = makeGrid(5);
    int changes = 0;
    h->OnChanged = [&](TRBGrid *) { ++changes; };
    h->MarkRow(2, RBFlags::RowMark);
    h->MarkRow(4, RBFlags::RowMark | 0x0F);
    h->MarkRow(5, 0x30);
    h->CutMarkedRows();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(h->RowCount(), 4);
    EXPECT_EQ(h->GetCell(1, 2), QStringLiteral("r3c1"));
    EXPECT_EQ(h->GetCell(1, 3), QStringLiteral("r5c1"));
    EXPECT_EQ(column0(*h), (QStringList{"LP", "1", "2", "3"}));
    EXPECT_EQ(h->GetCellFlags(1, 3), 0u); // palette bits cleared
}

TEST(RBGridClipboard, HostileTextPastesTheDefinedRows)
{
    auto g = makeGrid(1);
    QString text;
    for (int i = 0; i < 10000; ++i)
        text += QStringLiteral("l%1\tv\r\n").arg(i);
    text += QStringLiteral("\"open quote\tstays\r\n");  // quote left open: one field
    text += QStringLiteral("\"tab\there\"\tnext\r\n");  // TAB inside quotes
    text += QStringLiteral("cr\ronly\tx\r\n");          // CR without LF joins
    text += QString(1 << 20, QLatin1Char('z'));          // a line of 1 MB
    g->PasteText(text);
    ASSERT_EQ(g->RowCount(), 2 + 10000 + 4);
    EXPECT_EQ(rowFields(*g, 10000), (QStringList{"l9999", "v", ""}));
    EXPECT_EQ(rowFields(*g, 10001), (QStringList{"open quote\tstays", "", ""}));
    EXPECT_EQ(rowFields(*g, 10002), (QStringList{"tab\there", "next", ""}));
    EXPECT_EQ(rowFields(*g, 10003), (QStringList{"cronly", "x", ""}));
    EXPECT_EQ(g->GetCell(1, 10004).size(), 1 << 20);
    EXPECT_EQ(g->GetCell(0, 10005), QStringLiteral("10005"));
    g->SetTopRow(10000);
    grabViewport(*g); // drawing the megabyte cell must not stall or crash
}

TEST(RBGridKeys, AutoAddRowDownAndUp)
{
    auto g = makeGrid(2);
    g->SetAutoAddRow(true);
    int added = -1, changes = 0;
    g->OnAddRow = [&](TRBGrid *, int row) { added = row; };
    g->OnChanged = [&](TRBGrid *) { ++changes; };
    g->setFocus();
    g->SetCurrentCell(1, 1);
    QTest::keyClick(g.get(), Qt::Key_Down);
    EXPECT_EQ(g->RowCount(), 3);
    EXPECT_EQ(added, 2);
    QTest::keyClick(g.get(), Qt::Key_Down);
    EXPECT_EQ(g->RowCount(), 4);
    EXPECT_EQ(added, 3);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->GetCell(0, 3), QStringLiteral("3"));
    QTest::keyClick(g.get(), Qt::Key_Up);
    EXPECT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(changes, 1);
    // A row that is not empty stays.
    g->SetCell(1, 2, QStringLiteral("x"));
    QTest::keyClick(g.get(), Qt::Key_Down);
    QTest::keyClick(g.get(), Qt::Key_Up);
    QTest::keyClick(g.get(), Qt::Key_Up);
    EXPECT_EQ(g->RowCount(), 3);
}

TEST(RBGridMouse, ShiftCtrlAndPlainClicks)
{
    auto g = makeGrid(30);
    QApplication::processEvents();
    QWidget *vp = g->viewport();
    auto center = [&](int row) { return g->CellRect(2, row).center(); };
    auto marked = [&](int row) { return bool(g->GetCellFlags(1, row) & RBFlags::RowMark); };

    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, center(2));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, center(5));
    for (int r = 1; r <= 8; ++r)
        EXPECT_EQ(marked(r), r >= 2 && r <= 5) << r;

    // Ctrl drag on an unmarked row marks the rows passed over.
    QTest::mousePress(vp, Qt::LeftButton, Qt::ControlModifier, center(7));
    QTest::mouseMove(vp, center(8));
    QTest::mouseMove(vp, center(9));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::ControlModifier, center(10));
    for (int r = 6; r <= 11; ++r)
        EXPECT_EQ(marked(r), r >= 8 && r <= 10) << r;

    // Ctrl press on a marked row unmarks; the pressed row changes on release.
    QTest::mousePress(vp, Qt::LeftButton, Qt::ControlModifier, center(4));
    EXPECT_TRUE(marked(4));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::ControlModifier, center(4));
    EXPECT_FALSE(marked(4));
    EXPECT_TRUE(marked(3));

    // Dragging below the visible area marks and scrolls.
    const int top = g->TopRow();
    QTest::mousePress(vp, Qt::LeftButton, Qt::ControlModifier, center(12));
    QTest::mouseMove(vp, QPoint(center(12).x(), vp->height() + 5));
    EXPECT_EQ(g->TopRow(), top + 1);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::ControlModifier, center(12));
    int markedBelow = 0;
    for (int r = 13; r < g->RowCount(); ++r)
        markedBelow += marked(r);
    EXPECT_EQ(markedBelow, 1);

    // Dragging above the top row scrolls up and marks the new top row.
    g->UnmarkAllRows(RBFlags::RowMark);
    g->SetTopRow(10);
    QApplication::processEvents();
    QTest::mousePress(vp, Qt::LeftButton, Qt::ControlModifier, center(12));
    QTest::mouseMove(vp, QPoint(center(12).x(), -5));
    EXPECT_EQ(g->TopRow(), 9);
    EXPECT_TRUE(marked(9));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::ControlModifier, center(12));
    EXPECT_TRUE(marked(12));
    g->SetTopRow(1);
    QApplication::processEvents();

    // A plain click clears every mark.
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, center(3));
    EXPECT_FALSE(g->HasMarkedRow(RBFlags::RowMark));
}

TEST(RBGridEdit, EditorRoundTripAndEvents)
{
    auto g = makeGrid(2);
    int changes = 0;
    QString setText;
    g->OnChanged = [&](TRBGrid *) { ++changes; };
    g->OnGetEditText = [](TRBGrid *, int, int, QString &t) { t = QStringLiteral("[") + t; };
    g->OnSetEditText = [&](TRBGrid *, int, int, const QString &t) { setText = t; };
    g->setFocus();
    g->SetCurrentCell(2, 1);
    QTest::keyClick(g.get(), Qt::Key_F2);
    ASSERT_TRUE(g->IsEditorActive());
    QLineEdit *editor = nullptr;
    for (QLineEdit *e : g->viewport()->findChildren<QLineEdit *>())
        if (e->isVisible())
            editor = e;
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("[r1c2"));
    // A change of the cell from code while the editor is open reloads the editor.
    g->SetCell(2, 1, QStringLiteral("from code"));
    EXPECT_EQ(editor->text(), QStringLiteral("[from code"));
    editor->setText(QStringLiteral("new"));
    // The commit itself leaves the editor's text alone (OnSetEditText could read it).
    g->OnSetEditText = [&](TRBGrid *, int, int, const QString &t) {
        setText = t;
        EXPECT_EQ(editor->text(), QStringLiteral("new"));
    };
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits queued
    EXPECT_FALSE(g->IsEditorActive());
    EXPECT_EQ(g->GetCell(2, 1), QStringLiteral("new"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(setText, QStringLiteral("new"));

    // SetCell alone fires nothing.
    g->SetCell(2, 1, QStringLiteral("quiet"));
    EXPECT_EQ(changes, 1);
    g->SetRowParams(2, TRBParams{"2", "a", "b", "c"});
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(rowFields(*g, 2), (QStringList{"a", "b", "c"}));
}

TEST(RBGrid, SelectCellMayRefuseTheMove)
{
    auto g = makeGrid(4);
    g->SetCurrentCell(1, 1);
    QPoint asked;
    g->OnSelectCell = [&](TRBGrid *, int col, int row, bool &can) {
        asked = QPoint(col, row);
        can = row != 3;
    };
    g->SetCurrentCell(2, 2);
    EXPECT_EQ(asked, QPoint(2, 2));
    EXPECT_EQ(g->Row(), 2);
    g->SetCurrentCell(2, 3);
    EXPECT_EQ(asked, QPoint(2, 3));
    EXPECT_EQ(g->Row(), 2);
}

TEST(RBGridAutoSize, ColumnMaximaFollowChanges)
{
    auto g = makeGrid(3);
    g->SetAutoSize(true);
    const QFontMetricsF fm(g->font());
    const QString wide = QStringLiteral("a much wider text than the rest");
    g->SetCell(2, 2, wide);
    const int fitted = g->ColWidths(2);
    EXPECT_NEAR(fitted, fm.horizontalAdvance(wide) + 5, 2);
    g->SetCell(2, 2, QStringLiteral("x"));
    EXPECT_LT(g->ColWidths(2), fitted);
    EXPECT_EQ(g->ColWidths(2), g->FittedColWidth(2));
    // Deleting the widest row shrinks the column too.
    g->SetCell(3, 3, wide);
    g->DeleteRow(3);
    EXPECT_LT(g->ColWidths(3), fitted);
    // Rows share one height the user cannot drag; columns can be widened by hand.
    const int h = g->RowHeights(1);
    EXPECT_EQ(h, std::max(QFontMetrics(g->font()).height(), QFontMetrics(g->GridFont()).height()) + 2);
    EXPECT_EQ(g->RowHeights(2), h);
    EXPECT_EQ(g->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(g->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    // A cell of its own font size gives its row its own height.
    TRBCellStatus s = g->GetCellStatus(1, 2);
    s.FontSize = 30;
    g->SetCellStatus(1, 2, s);
    EXPECT_GT(g->RowHeights(2), h);
    EXPECT_EQ(g->RowHeights(1), h);
    // The text's height is its font's: the sized cell's is the row's, less the margin.
    EXPECT_EQ(g->GetCellStatus(1, 2).TextHeight, g->RowHeights(2) - 2);
    EXPECT_LT(g->GetCellStatus(2, 2).TextHeight, g->GetCellStatus(1, 2).TextHeight);
    // The swatch adds 22 to the measured width.
    const int before = g->GetCellStatus(3, 1).TextWidth;
    g->SetCellFlags(3, 1, RBFlags::ColorSwatch);
    EXPECT_EQ(g->GetCellStatus(3, 1).TextWidth, before + 22);
}

// ---- drawing, checked on pixels ------------------------------------------------------

TEST(RBGridDrawing, SwatchFrameOddRowsAndSelection)
{
    auto g = makeGrid(6);
    g->SetAutoRowColor(12648447); // pale yellow, 0x00C0FFFF
    g->SetColWidths(1, 80);
    g->SetColWidths(2, 80);
    g->SetColWidths(3, 80);
    g->SetCell(1, 2, QStringLiteral("255"));
    g->SetCellFlags(1, 2, RBFlags::ColorSwatch);
    g->SetCell(1, 4, QStringLiteral("nonsense"));
    g->SetCellFlags(1, 4, RBFlags::ColorSwatch);
    g->MarkRow(6, 0x08); // frame index 8 over the whole row
    g->MarkRow(5, RBFlags::RowMark);
    g->SetCurrentCell(3, 5); // selected and marked
    g->clearFocus();
    const QImage img = grabViewport(*g);
    const auto &pal = RBGridPalette();
    auto at = [&](int col, int row, int dx, int dy) {
        const QRect r = g->CellRect(col, row);
        return img.pixelColor(r.left() + dx, r.top() + dy);
    };
    // Swatch of 255: a red box at the left of the text rectangle.
    EXPECT_EQ(at(1, 2, 10, 5), QColor(255, 0, 0));
    // Not a number: black outline and cross, the middle of the box on the cross.
    const QRect r4 = g->CellRect(1, 4);
    const int boxH = r4.height() - 2;
    EXPECT_EQ(at(1, 4, 1, 1), QColor(Qt::black));
    EXPECT_EQ(at(1, 4, 1 + 19 * (boxH / 2) / (boxH - 1), 1 + boxH / 2), QColor(Qt::black));
    EXPECT_NE(at(1, 4, 10, 2), QColor(Qt::black));
    // Odd data rows (1, 3) take AutoRowColor, even ones stay white.
    EXPECT_EQ(at(2, 3, 40, 3), ColorFromNumber(12648447));
    EXPECT_EQ(at(2, 2, 40, 3), QColor(Qt::white));
    // Frame index 8: strong colour at the top; neighbours with equal flags share the
    // frame, so no line between columns 1 and 2, and one at the row's far ends.
    const QColor strong = pal[8].Strong;
    EXPECT_EQ(at(2, 6, 40, 1), strong);
    EXPECT_EQ(at(1, 6, 0, 8), strong);
    EXPECT_EQ(at(3, 6, g->CellRect(3, 6).width() - 1, 8), strong);
    EXPECT_NE(at(2, 6, 0, 8), strong);
    EXPECT_NE(at(1, 6, g->CellRect(1, 6).width() - 1, 8), strong);
    // Marked row: mark colour outside the selection, highlight inside.
    EXPECT_EQ(at(1, 5, 40, 3), pal[8].Light);
    EXPECT_EQ(at(3, 5, 40, 3), g->palette().color(QPalette::Highlight));
}

// Bounding box of the dark (text) pixels of a cell.
QRect inkBox(const QImage &img, const QRect &cell)
{
    QRect box;
    for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
        for (int x = cell.left() + 2; x < cell.right() - 1; ++x)
            if (qGray(img.pixel(x, y)) < 100)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(RBGridDrawing, CustomColoursAndAlignment)
{
    auto g = makeGrid(3);
    for (int c = 1; c < 4; ++c)
        g->SetColWidths(c, 120);
    g->SetRowHeights(2, 40);
    TRBCellStatus s;
    s.Flags = RBFlags::CustomColors;
    s.PenColor = 0x0000FF;   // red frame
    s.BrushColor = 0xFF0000; // blue fill
    s.FontColor = 0x00FF00;
    g->SetCellStatus(1, 1, s);
    g->SetCell(2, 2, QStringLiteral("ab"));
    g->SetCell(3, 2, QStringLiteral("ab"));
    TRBCellStatus right = g->GetCellStatus(3, 2);
    right.Alignment = 8; // bottom-right
    g->SetCellStatus(3, 2, right);
    g->SetCurrentCell(1, 3);
    const QImage img = grabViewport(*g);
    const QRect c11 = g->CellRect(1, 1);
    EXPECT_EQ(img.pixelColor(c11.center()), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(c11.left() + 40, c11.top() + 1), QColor(255, 0, 0));

    const QRect left = inkBox(img, g->CellRect(2, 2)), br = inkBox(img, g->CellRect(3, 2));
    ASSERT_FALSE(left.isEmpty());
    ASSERT_FALSE(br.isEmpty());
    EXPECT_LE(left.left() - g->CellRect(2, 2).left(), 4);
    EXPECT_GE(br.right(), g->CellRect(3, 2).right() - 4);
    EXPECT_GT(br.top() - g->CellRect(3, 2).top(), left.top() - g->CellRect(2, 2).top() + 10);
}

TEST(RBGridDrawing, CoordinateCellsAtFaultShowTheErrorColour)
{
    auto g = makeGrid(4);
    for (int c = 1; c <= 3; ++c)
        g->SetColWidths(c, 90);
    const QList<QStringList> rows = {{"1993500", "5006200", "fine"},
                                     {"19.95", "5006200", "degrees"},
                                     {"1993500", "", "no latitude"},
                                     {"", "", ""}}; // the automatic last row
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 3; ++c)
            g->SetCell(c, r, rows[r - 1][c - 1]);
    g->SetCurrentCell(3, 1);
    g->clearFocus();
    auto at = [&](const QImage &img, int col, int row) {
        const QRect r = g->CellRect(col, row);
        return img.pixelColor(r.right() - 6, r.top() + 3); // right of the text
    };
    const QColor error = TRBGrid::ErrorColor();
    EXPECT_NE(at(grabViewport(*g), 1, 2), error) << "no check, no colour";

    g->OnCellFault = TRBGrid::CoordinateFaults(3);
    QImage img = grabViewport(*g);
    EXPECT_EQ(at(img, 1, 2), error);
    EXPECT_EQ(at(img, 2, 3), error) << "an empty latitude in a row that is saved";
    for (const QPoint cell : {QPoint(1, 1), QPoint(2, 1), QPoint(2, 2), QPoint(3, 2), QPoint(1, 3), QPoint(1, 4),
                              QPoint(2, 4)})
        EXPECT_NE(at(img, cell.x(), cell.y()), error) << cell.x() << "," << cell.y();

    // While typed: the editor turns red and back.
    g->setFocus();
    g->SetCurrentCell(1, 4);
    QTest::keyClick(g.get(), Qt::Key_F2);
    ASSERT_TRUE(g->IsEditorActive());
    QLineEdit *editor = nullptr;
    for (QLineEdit *e : g->viewport()->findChildren<QLineEdit *>())
        if (e->isVisible())
            editor = e;
    ASSERT_NE(editor, nullptr);
    auto editorColour = [&] {
        const QImage shot = editor->grab().toImage();
        return shot.pixelColor(shot.width() - 3, shot.height() / 2);
    };
    EXPECT_NE(editorColour(), error);
    editor->setText(QStringLiteral("19.9"));
    EXPECT_EQ(editorColour(), error);
    editor->setText(QStringLiteral("1990000"));
    EXPECT_NE(editorColour(), error);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    // The committed longitude puts the empty latitude beside it at fault.
    g->SetCurrentCell(3, 1);
    img = grabViewport(*g);
    EXPECT_NE(at(img, 1, 4), error);
    EXPECT_EQ(at(img, 2, 4), error);
}

TEST(RBItnGrid, FlagColumnDrawsIcons)
{
    TRBItnGrid g;
    g.resize(500, 300);
    g.SetColCount(5);
    g.SetRowCount(4);
    g.SetImageList(TRBItnGrid::DefaultFlagImages());
    ASSERT_EQ(g.ImageList().size(), 5);
    for (const QPixmap &pm : g.ImageList())
        EXPECT_EQ(pm.size(), QSize(18, 18));
    g.SetDefaultRowHeight(22);
    g.SetCell(4, 1, QStringLiteral("0"));
    g.SetCell(4, 2, QStringLiteral("7")); // no such image: drawn as text
    g.MarkRow(1, RBFlags::RowMark);
    g.show();
    const QImage img = g.viewport()->grab().toImage();
    const QRect r = g.CellRect(4, 1);
    const QImage icon = g.ImageList().at(0).toImage();
    // The picture sits 2 pixels right and below the cell corner; no mark colour.
    EXPECT_EQ(img.pixelColor(r.left() + 2 + 9, r.top() + 2 + 9), icon.pixelColor(9, 9));
    EXPECT_NE(img.pixelColor(r.left() + 1, r.top() + 1), RBGridPalette()[8].Light);
    EXPECT_EQ(img.pixelColor(g.CellRect(3, 1).left() + 30, r.top() + 3), RBGridPalette()[8].Light);

    // Fitted rows leave room for the 18-pixel pictures at their 2-pixel offset.
    g.SetAutoSize(true);
    EXPECT_GE(g.RowHeights(1), 22);
    EXPECT_EQ(g.RowHeights(0), QFontMetrics(g.GridFont()).height() + 2);
}

} // namespace

TEST(RBGridAutoSize, AColumnWidenedByHandStaysWideButNeverHidesText)
{
    auto g = makeGrid(3);
    g->SetAutoSize(true);
    g->SetCell(2, 2, QStringLiteral("short"));
    const int fitted = g->ColWidths(2);
    EXPECT_TRUE(g->ChosenColWidths().isEmpty()) << "fitting is not a choice of the user";

    // What the header does when the user drags the column's edge.
    g->horizontalHeader()->resizeSection(2 - g->FixedCols(), fitted + 150);
    EXPECT_EQ(g->ChosenColWidths().value(2), fitted + 150);
    g->SetCell(2, 1, QStringLiteral("x"));
    EXPECT_EQ(g->ColWidths(2), fitted + 150) << "a refit keeps the chosen width";
    const QString wide(300, u'W');
    g->SetCell(2, 3, wide);
    EXPECT_GT(g->ColWidths(2), fitted + 150) << "text wider than the choice widens the column";
    g->SetCell(2, 3, QString());
    EXPECT_EQ(g->ColWidths(2), fitted + 150);

    // Widths chosen earlier apply to a new grid; other columns stay fitted.
    auto other = makeGrid(3);
    other->SetAutoSize(true);
    other->SetCell(2, 2, QStringLiteral("short"));
    other->SetChosenColWidths(g->ChosenColWidths());
    EXPECT_EQ(other->ColWidths(2), fitted + 150);
    EXPECT_EQ(other->ColWidths(1), other->FittedColWidth(1));
}
