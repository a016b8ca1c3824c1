// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TRBGrid: the table control of every tabular editor. Rows are TRBParams held in a
// TRBParamsTable (row 0 the header, column 0 the row number) with per-cell status
// flags that colour and frame cells from a fixed palette.
//
// Built on Qt's model/view: a model over the table, a QTableView, a delegate that
// draws the cells. The fixed row 0 is the horizontal header and the fixed column 0
// the vertical header, so both stay in place while the data scroll; the top-left
// cell is drawn on the view's corner. Indexes in this API are grid indexes (row 0 =
// header), never model indexes.

#include "core/RBParamsTable.h"
#include "grid/RBGridMeasures.h"

#include <QFont>
#include <QTableView>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TRBGrid;
class TRBGridModel;
class TRBGridHeader;
class TRBTextMeasurer;
class QAbstractButton;
class QUndoStack;
class TRBGridUndo;

using TNotifyEvent = std::function<void(TRBGrid *sender)>;
using TPasteEvent = std::function<void(TRBGrid *sender, QString &text, bool &ok)>;
using TAddRowEvent = std::function<void(TRBGrid *sender, int ARow)>;
// Standard grid events that editors hook.
using TSelectCellEvent = std::function<void(TRBGrid *sender, int col, int row, bool &canSelect)>;
using TGetEditEvent = std::function<void(TRBGrid *sender, int col, int row, QString &text)>;
using TSetEditEvent = std::function<void(TRBGrid *sender, int col, int row, const QString &text)>;
using TDrawCellEvent =
    std::function<void(TRBGrid *sender, int col, int row, QPainter &painter, const QRect &rect,
                       bool selected)>;
using TKeyEvent = std::function<void(TRBGrid *sender, QKeyEvent *event)>;
// True when a data cell holding `text` (stored, or being typed) is at fault.
using TCellFaultEvent = std::function<bool(const TRBGrid *sender, int col, int row, QStringView text)>;
using TMouseEvent = std::function<void(TRBGrid *sender, QMouseEvent *event, int col, int row)>;

// One palette entry: frame (strong), background (light) and text colour.
struct TRBPaletteEntry {
    QColor Strong, Light, Text;
};
// Entries 1..15 (0 unused): hue 150 - 10k, luminance 120, saturation 240 on the
// 0..240 scale; light = luminance raised half way to white.
const std::array<TRBPaletteEntry, 16> &RBGridPalette();
// HLS on the 0..240 scale, as the desktop colour dialogs use it.
QColor ColorHLSToRGB(int hue, int luminance, int saturation);
void ColorRGBToHLS(const QColor &c, int &hue, int &luminance, int &saturation);
// Raises (n > 0) or lowers the luminance by n per mille; `scale` relative to the way
// left to white (or black).
QColor ColorAdjustLuma(const QColor &c, int n, bool scale);
// Colour numbers 0x00BBGGRR.
QColor ColorFromNumber(TRBColor number);
TRBColor NumberFromColor(const QColor &c);
// A cell text read as a colour number ("255", "$000000FF", "0xFF"); false when it
// is no number.
bool ParseColorNumber(QStringView text, TRBColor &number);

class TRBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TRBGrid(QWidget *parent = nullptr);
    ~TRBGrid() override;

    // ---- size, fixed cells, current cell -----------------------------------------
    int RowCount() const { return m_table.RowCount(); }
    void SetRowCount(int rows);
    int ColCount() const { return m_table.ColCount(); }
    void SetColCount(int cols);
    int FixedRows() const { return m_fixedRows; }
    int FixedCols() const { return m_fixedCols; }
    void SetFixedRows(int rows); // 0 or 1
    void SetFixedCols(int cols); // 0 or 1
    int Col() const;
    int Row() const;
    void SetCol(int col) { SetCurrentCell(col, Row()); }
    void SetRow(int row) { SetCurrentCell(Col(), row); }
    void SetCurrentCell(int col, int row);
    int TopRow() const;
    void SetTopRow(int row);
    // Rows fully visible below the fixed rows.
    int VisibleRowCount() const;
    // The selection rectangle: left/top = first col/row, right/bottom = last.
    QRect Selection() const;
    // Grid cell under a point of the viewport: (col, row), -1 where outside.
    QPoint MouseCoord(const QPoint &viewportPos) const;
    QRect CellRect(int col, int row) const;

    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int height);
    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int width);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);

    // In-place editing (the editing option); on by default.
    bool CellEditing() const { return m_cellEditing; }
    void SetCellEditing(bool on);
    bool IsEditorActive() const;
    void HideEditor();

    // ---- properties ----------------------------------------------------------------
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);
    const TRBParams &Header() const { return m_header; }
    void SetHeader(const TRBParams &header);
    bool Numbers() const { return m_numbers; }
    void SetNumbers(bool on);
    bool HasHeader() const { return m_hasHeader; }
    void SetHasHeader(bool on);
    bool EnableRowEdit() const { return m_enableRowEdit; }
    void SetEnableRowEdit(bool on) { m_enableRowEdit = on; }
    QFont GridFont() const { return m_gridFont; }
    void SetGridFont(const QFont &font);
    bool AutoAddRow() const { return m_autoAddRow; }
    void SetAutoAddRow(bool on) { m_autoAddRow = on; }
    TRBColor AutoRowColor() const { return m_autoRowColor; }
    void SetAutoRowColor(TRBColor color);
    // The data cells' font is the widget's font (setFont).

    TNotifyEvent OnChanged;
    TPasteEvent OnPaste;
    TAddRowEvent OnAddRow;
    TSelectCellEvent OnSelectCell; // before the current cell moves
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TDrawCellEvent OnDrawCell;
    TKeyEvent OnKeyUp;
    TMouseEvent OnMouseUp;
    // Cells at fault are drawn on ErrorColor(), and so is the in-place editor while
    // its text is at fault. Asked for the painted cells only.
    TCellFaultEvent OnCellFault;
    static QColor ErrorColor();
    // The coordinate check of the POI and itinerary lists; a row whose columns
    // 1..lastColumn are empty is never at fault (it is not saved).
    static TCellFaultEvent CoordinateFaults(int lastColumn);

    // ---- data ----------------------------------------------------------------------
    // The row table. After filling it directly call TableChanged(); after changing a
    // row got from GetRowParams call RowChanged(row).
    TRBParamsTable &Table() { return m_table; }
    const TRBParamsTable &Table() const { return m_table; }
    void TableChanged();
    // Takes a table filled elsewhere (a reader on its own table).
    void SetTable(TRBParamsTable table);
    void RowChanged(int row);

    QString GetCell(int col, int row) const { return m_table.Cell(col, row); }
    void SetCell(int col, int row, const QString &text);
    // A row beyond the last one grows the grid to it.
    TRBParams &GetRowParams(int row);
    void SetRowParams(int row, const TRBParams &params);
    quint32 GetCellFlags(int col, int row) const { return m_table.Flags(col, row); }
    void SetCellFlags(int col, int row, quint32 flags);
    // The document's record of the cell with the grid's measure of its text.
    struct CellStatus : TRBCellStatus {
        quint16 TextWidth = 0;  // pixels (22 more with a swatch); 0 until measured
        quint16 TextHeight = 0; // pixels: the line height of the cell's font
    };
    CellStatus GetCellStatus(int col, int row);
    void SetCellStatus(int col, int row, const TRBCellStatus &status);

    void MarkRow(int row, quint32 bits);
    void UnmarkRow(int row, quint32 bits);
    void UnmarkAllRows(quint32 bits);
    bool HasMarkedRow(quint32 bits) const;
    bool IsRowEmpty(int row) const;
    void InsertEmptyRow(int row);
    void DeleteRow(int row);
    void MoveRow(int from, int to);
    // Moves a column's texts (header included) to another position; the status
    // records stay where they are.
    void MoveColumn(int from, int to);

    void CopyMarkedRows();
    void CutMarkedRows();
    // The marked rows go, as one step of undo; the clipboard stays as it is.
    void DeleteMarkedRows();
    // What the list's Cut, Copy and Delete rows take: the marked rows, or with none
    // marked the current cell's text (Cut, Copy) or the current row (Delete rows).
    void CopySelection();
    void CutSelection();
    void DeleteSelectedRows();
    // Makes the next (or, backwards, the previous) row after the current one that
    // carries a mark of `bits` current and scrolls it into view, wrapping round at the
    // ends. The row, or -1 when no row carries one.
    int StepToMarked(bool forward, quint32 bits = RBFlags::RowMark);
    // Makes `row` current (keeping the column) and scrolls it to the middle of the view.
    void GoToRow(int row);
    // F3 and Shift+F3 (forward = F3); without a handler they step through the marked rows.
    std::function<void(TRBGrid *sender, bool forward)> OnFindNext;
    void PasteRows();
    void SelectAllRows();
    void InvertRowMarks();
    // The text CopyMarkedRows puts on the clipboard.
    QString MarkedRowsText() const;
    // PasteRows with a given text instead of the clipboard's (OnPaste still runs).
    void PasteText(QString text);

    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateGrid();

    // The fitted width of a column (largest measured width + 5) with AutoSize on; a
    // column the user widened keeps at least the width chosen.
    int FittedColWidth(int col) const;
    // Widths the user chose by dragging a column edge, per column (0: none chosen).
    QList<int> ChosenColWidths() const;
    void SetChosenColWidths(const QList<int> &widths);

    // ---- undo and sorting ------------------------------------------------------------
    // With a stack, every change the grid makes to the rows becomes one step on it;
    // a step keeps only what changed, never a copy of the list.
    void SetUndoStack(QUndoStack *stack) { m_undo = stack; }
    QUndoStack *UndoStack() const { return m_undo; }
    // The changes in between are one step (an import of many points). Nests.
    void BeginChange(const QString &text);
    void EndChange();
    // Rows the editor changed in place (a swap, a reversal), with their former texts.
    void RecordRowChanges(const std::vector<int> &rows, std::vector<TRBParams> before);
    // Rows the editor appended to the table directly, after its TableChanged().
    void RecordAppendedRows(int oldRowCount);
    // A click on a column header sorts the data rows by that column, a second click
    // on the same column the other way.
    void SetSortable(bool on);
    bool Sortable() const { return m_sortable; }
    // Stable; numbers as numbers when every filled cell of the column is one, texts
    // by the locale's collation; empty rows stay last.
    void SortByColumn(int col, bool descending);
    int SortColumn() const { return m_sortCol; }
    bool SortDescending() const { return m_sortDescending; }

    // Draws one cell the way the grid does; the delegate and the headers call it.
    void PaintCell(QPainter &painter, int col, int row, const QRect &rect, bool selected);

signals:
    void changed();
    void rowAdded(int row);

protected:
    // Cell drawing; a variant may draw some cells itself and switch default drawing
    // off for them.
    virtual void DrawCell(QPainter &painter, int col, int row, const QRect &rect, bool selected);
    // The least height of a fitted data row (cells that draw pictures need room).
    virtual int MinContentHeight() const { return 0; }
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool on) { m_defaultDrawing = on; }

    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyboardSearch(const QString &) override {}

private:
    friend class TRBGridModel;
    friend class TRBGridHeader;
    friend class TRBGridDelegate;
    friend class TRBGridSelectionModel;
    friend class TRBGridUndo;

    bool recording() const;
    void pushUndo(class QUndoCommand *command);
    // After rows were taken, put back or reordered: one model reset, numbers, widths.
    void rowsReplaced();
    void putRowsBack(TRBParamsTable::RowSet &&set, bool measure);
    TRBParamsTable::RowSet takeRows(const std::vector<char> &take);
    void headerClicked(int col);
    void recordCell(int col, int row, const QString &before, const QString &after);
    void recordRowsIn(int at, int count);
    void recordRowsOut(TRBParamsTable::RowSet &&set, bool filler);
    void recordMove(int from, int to);
    void recordOrder(std::vector<int> order, int col, bool descending, int oldCol, bool oldDescending);

    QModelIndex modelIndex(int col, int row) const;
    void resizeTable(int rows, int cols);
    void applyHeaderAndNumbers();
    void renumber();
    void numbersInvalidFrom(int row);
    void fireChanged();

    // Measuring and fitting.
    TRBTextMeasurer &measurer(bool fixed, int fontSize);
    bool isFixed(int col, int row) const { return col < m_fixedCols || row < m_fixedRows; }
    void measureCell(int col, int row);
    void measureRows(int first, int last);
    void measureColumn(int col);
    void measureAll();
    int fontHeight(bool fixed, int fontSize);
    void noteWidth(int col, int oldWidth, int newWidth);
    void fitDirtyColumns();
    void applyColWidth(int col);
    void fitRow(int row);
    void fitAllRows();
    void fitAll();
    void invalidateMeasurers();
    void setSizingModes();
    void updateFixedSizes();

    // Mouse marking.
    void applyDragMode(int row);
    bool rowMarked(int row) const;
    int gridRowAt(int y) const;
    void commitEditText(int col, int row, const QString &text);

    TRBParamsTable m_table;
    TRBGridMeasures m_measures; // follows m_table's rows
    TRBGridModel *m_model = nullptr;
    TRBGridHeader *m_hHeader = nullptr;
    TRBGridHeader *m_vHeader = nullptr;
    QAbstractButton *m_corner = nullptr;

    int m_fixedRows = 1;
    int m_fixedCols = 1;
    int m_defaultColWidth = 64;
    int m_fixedColWidth = 64;  // width of column 0 (the vertical header)
    int m_fixedRowHeight = 24; // height of row 0 (the horizontal header)
    bool m_cellEditing = true;

    bool m_autoSize = false;
    TRBParams m_header;
    bool m_numbers = false;
    bool m_hasHeader = false;
    bool m_enableRowEdit = false;
    QFont m_gridFont;
    bool m_autoAddRow = false;
    TRBColor m_autoRowColor = 0xFFFFFF;
    bool m_defaultDrawing = true;

    bool m_batch = false;      // set while the numbers are rewritten
    int m_editNesting = 0;     // above 0: cell changes leave the in-place editor alone
    int m_numberedUpTo = 0;    // rows below this index carry their number
    bool m_dragging = false;
    bool m_dragMark = true;    // drag mode: mark (true) or unmark

    std::vector<int> m_colMax;    // largest measured width per column (AutoSize)
    std::vector<int> m_colMaxCount; // cells at that width
    std::vector<char> m_colDirty; // columns whose maximum must be searched again
    std::vector<int> m_chosenWidth; // widths the user dragged columns to (0: none)
    bool m_applyingWidth = false;   // a width change of ours, not the user's drag
    std::unique_ptr<TRBTextMeasurer> m_measurers[2]; // data, fixed (own font sizes)
    std::vector<std::pair<int, std::unique_ptr<TRBTextMeasurer>>> m_sizedMeasurers[2];
    int m_commonRowHeight = 0; // fitted height of a data row without font sizes

    QUndoStack *m_undo = nullptr;
    int m_replaying = 0; // above 0 while a step is undone or redone: nothing is recorded
    bool m_sortable = false;
    int m_sortCol = -1;
    bool m_sortDescending = false;
};
