// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGrids.h"

#include "grid/RBGridDelegate.h"
#include "grid/RBGridModel.h"
#include "grid/RBTextMeasurer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

TRBGrid::TRBGrid(QWidget *parent) : QTableView(parent)
{
    m_table.SetFollower(&m_measures);
    m_gridFont = QApplication::font();
    m_model = new TRBGridModel(this);
    m_hHeader = new TRBGridHeader(Qt::Horizontal, this);
    m_vHeader = new TRBGridHeader(Qt::Vertical, this);
    connect(m_hHeader, &QHeaderView::sectionResized, this, [this](int section, int, int width) {
        if (m_applyingWidth)
            return;
        const size_t col = size_t(section + m_fixedCols);
        if (m_chosenWidth.size() <= col)
            m_chosenWidth.resize(col + 1, 0);
        m_chosenWidth[col] = width;
    });
    setHorizontalHeader(m_hHeader);
    setVerticalHeader(m_vHeader);
    setItemDelegate(new TRBGridDelegate(this));
    setModel(m_model);
    QItemSelectionModel *plain = selectionModel();
    setSelectionModel(new TRBGridSelectionModel(m_model, this));
    delete plain;
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    m_vHeader->setDefaultSectionSize(24);
    m_hHeader->setDefaultSectionSize(m_defaultColWidth);
    m_fixedRowHeight = 24;
    SetCellEditing(true);
    for (QAbstractButton *b : findChildren<QAbstractButton *>()) {
        if (b->parent() == this) {
            m_corner = b;
            b->installEventFilter(this);
        }
    }
    setSizingModes();
    resizeTable(2, 2);
    SetCurrentCell(m_fixedCols, m_fixedRows);
}

TRBGrid::~TRBGrid() = default;

QModelIndex TRBGrid::modelIndex(int col, int row) const
{
    return m_model->index(row - m_fixedRows, col - m_fixedCols);
}

// ---- size ---------------------------------------------------------------------

void TRBGrid::SetRowCount(int rows)
{
    const int old = RowCount();
    const int least = std::max(m_fixedRows + 1, m_hasHeader ? 2 : 0);
    if (recording() && std::max(rows, least) < old) {
        // The rows cut off the end are kept for an undo.
        std::vector<char> take(size_t(old), 0);
        std::fill(take.begin() + std::max(rows, least), take.end(), 1);
        m_model->beginReset();
        TRBParamsTable::RowSet set = takeRows(take);
        m_model->endReset();
        recordRowsOut(std::move(set), false);
    }
    resizeTable(rows, ColCount());
    if (recording() && RowCount() > old)
        recordRowsIn(old, RowCount() - old);
}

void TRBGrid::SetColCount(int cols)
{
    resizeTable(RowCount(), cols);
}

void TRBGrid::SetFixedRows(int rows)
{
    rows = std::clamp(rows, 0, 1);
    if (rows == m_fixedRows)
        return;
    m_model->beginReset();
    m_fixedRows = rows;
    m_model->endReset();
    m_hHeader->setVisible(rows > 0);
    resizeTable(RowCount(), ColCount());
}

void TRBGrid::SetFixedCols(int cols)
{
    cols = std::clamp(cols, 0, 1);
    if (cols == m_fixedCols)
        return;
    m_model->beginReset();
    m_fixedCols = cols;
    m_model->endReset();
    m_vHeader->setVisible(cols > 0);
    resizeTable(RowCount(), ColCount());
}

void TRBGrid::resizeTable(int rows, int cols)
{
    // HasHeader and Numbers raise the counts they need.
    if (m_hasHeader) {
        cols = std::max(cols, m_header.Count());
        rows = std::max(rows, 2);
    }
    if (m_numbers && cols >= 1)
        cols = std::max(cols, 2);
    rows = std::max(rows, m_fixedRows + 1); // at least one data row
    cols = std::max(cols, m_fixedCols + 1);
    const int oldRows = RowCount(), oldCols = ColCount();

    if (cols != oldCols) {
        const int first = std::min(cols, oldCols) - m_fixedCols;
        const int last = std::max(cols, oldCols) - m_fixedCols - 1;
        if (cols > oldCols) {
            m_model->beginInsert(std::max(first, 0), last, false);
            m_table.SetColCount(cols);
            m_model->endInsert(false);
        } else {
            m_model->beginRemove(std::max(first, 0), last, false);
            m_table.SetColCount(cols);
            m_model->endRemove(false);
        }
        m_colMax.resize(size_t(cols), 0);
        m_colMaxCount.resize(size_t(cols), 0);
        m_colDirty.resize(size_t(cols), 0);
    }
    if (rows != oldRows) {
        const int first = std::min(rows, oldRows) - m_fixedRows;
        const int last = std::max(rows, oldRows) - m_fixedRows - 1;
        if (rows > oldRows) {
            m_model->beginInsert(std::max(first, 0), last, true);
            m_table.SetRowCount(rows);
            m_model->endInsert(true);
        } else {
            if (m_autoSize)
                for (int r = rows; r < oldRows; ++r)
                    for (int c = 0; c < cols; ++c)
                        noteWidth(c, m_measures.width(c, r), -1);
            m_model->beginRemove(std::max(first, 0), last, true);
            m_table.SetRowCount(rows);
            m_model->endRemove(true);
        }
        numbersInvalidFrom(std::min(rows, oldRows));
    }
    if (cols == oldCols)
        m_table.TruncateFields(); // SetColCount above did it otherwise
    if (m_autoSize) {
        // New cells first, so the numbering below sees them counted.
        for (int c = oldCols; c < cols; ++c)
            measureColumn(c);
        if (rows > oldRows)
            measureRows(oldRows, rows - 1);
    }
    applyHeaderAndNumbers();
    if (m_autoSize) {
        if (cols < oldCols)
            for (int c = 0; c < cols; ++c)
                applyColWidth(c);
        fitDirtyColumns();
        if (cols != oldCols)
            fitAllRows();
    }
    updateFixedSizes();
    viewport()->update();
}

void TRBGrid::numbersInvalidFrom(int row)
{
    m_numberedUpTo = std::min(m_numberedUpTo, std::max(row, 0));
}

void TRBGrid::applyHeaderAndNumbers()
{
    // HasHeader only raises the counts (resizeTable); row 0 keeps what it holds.
    if (m_numbers)
        renumber();
}

namespace {
bool isAllDigits(QStringView s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}
} // namespace

void TRBGrid::renumber()
{
    if (ColCount() < 1)
        return;
    m_batch = true;
    const int n = RowCount();
    const int first = m_numberedUpTo;
    // A million numbers after a deletion near the top: formatted on the stack,
    // written in place, measured only when the digits can change the width.
    const bool sameWidthDigits = measurer(true, 0).uniformDigits();
    char16_t buf[16];
    // The numbers' alignment is the column's default: no cell record per row for it.
    m_table.SetColumnAlignment(0, 4);
    if (first == 0)
        m_table.ReleasePacking();
    int rewritten = 0;
    for (int r = first; r < n; ++r) {
        QStringView num;
        if (r == 0) {
            num = u"LP";
        } else {
            int len = 0;
            for (unsigned v = unsigned(r); v; v /= 10)
                buf[15 - len++] = char16_t(u'0' + v % 10);
            num = QStringView(buf + 16 - len, len);
        }
        TRBParams &p = m_table.Row(r);
        const QStringView old = p.FieldView(0);
        if (p.Count() < 1 || old != num) {
            const bool remeasure = !sameWidthDigits || r == 0 || old.size() != num.size()
                                   || m_table.FontSize(0, r) != 0 || p.Count() < 1
                                   || m_measures.width(0, r) == 0 || !isAllDigits(old);
            m_table.SetCellPacked(0, r, num);
            ++rewritten;
            if (remeasure) {
                const int oldW = m_measures.width(0, r);
                measureCell(0, r);
                noteWidth(0, oldW, m_measures.width(0, r));
            }
        }
        m_table.SetAlignment(0, r, 4);
    }
    m_numberedUpTo = n;
    m_batch = false;
#ifdef __GLIBC__
    // The rows left their old chunks for new ones; the smaller chunks came from the
    // heap, which keeps freed blocks below its top resident (a million rows: 7 MB).
    if (rewritten >= 100000)
        malloc_trim(0);
#endif
    if (first < n) {
        if (first == 0 && m_corner)
            m_corner->update();
        if (m_fixedCols)
            m_model->headerChanged(Qt::Vertical, std::max(first - m_fixedRows, 0), n - 1 - m_fixedRows);
        else
            m_model->rangeChanged(std::max(first - m_fixedRows, 0), n - 1 - m_fixedRows);
    }
    if (m_autoSize)
        fitDirtyColumns();
}

// ---- current cell, scrolling ----------------------------------------------------

int TRBGrid::Col() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() + m_fixedCols : m_fixedCols;
}

int TRBGrid::Row() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + m_fixedRows : m_fixedRows;
}

void TRBGrid::SetCurrentCell(int col, int row)
{
    col = std::clamp(col, m_fixedCols, ColCount() - 1);
    row = std::clamp(row, m_fixedRows, RowCount() - 1);
    setCurrentIndex(modelIndex(col, row));
}

int TRBGrid::TopRow() const
{
    const int r = rowAt(0);
    return (r < 0 ? 0 : r) + m_fixedRows;
}

void TRBGrid::SetTopRow(int row)
{
    verticalScrollBar()->setValue(std::max(row - m_fixedRows, 0));
}

int TRBGrid::VisibleRowCount() const
{
    const int h = viewport()->height();
    int count = 0;
    for (int r = TopRow() - m_fixedRows; r < m_model->rowCount(); ++r) {
        const int y = rowViewportPosition(r);
        if (y + rowHeight(r) > h)
            break;
        ++count;
    }
    return count;
}

QRect TRBGrid::Selection() const
{
    const QItemSelection sel = selectionModel()->selection();
    if (!sel.isEmpty()) {
        const QItemSelectionRange &r = sel.first();
        return QRect(QPoint(r.left() + m_fixedCols, r.top() + m_fixedRows),
                     QPoint(r.right() + m_fixedCols, r.bottom() + m_fixedRows));
    }
    return QRect(Col(), Row(), 1, 1);
}

QPoint TRBGrid::MouseCoord(const QPoint &pos) const
{
    const int r = rowAt(pos.y()), c = columnAt(pos.x());
    return QPoint(c < 0 ? -1 : c + m_fixedCols, r < 0 ? -1 : r + m_fixedRows);
}

QRect TRBGrid::CellRect(int col, int row) const
{
    return visualRect(modelIndex(col, row));
}

int TRBGrid::gridRowAt(int y) const
{
    const int r = rowAt(y);
    return r < 0 ? -1 : r + m_fixedRows;
}

int TRBGrid::DefaultRowHeight() const
{
    return m_vHeader->defaultSectionSize();
}

void TRBGrid::SetDefaultRowHeight(int height)
{
    height = std::max(height, 1);
    if (m_vHeader->defaultSectionSize() != height)
        m_vHeader->setDefaultSectionSize(height);
    m_fixedRowHeight = height;
    updateFixedSizes();
}

void TRBGrid::SetDefaultColWidth(int width)
{
    m_defaultColWidth = std::max(width, 1);
    const QScopedValueRollback<bool> ours(m_applyingWidth, true);
    m_hHeader->setDefaultSectionSize(m_defaultColWidth);
    m_fixedColWidth = m_defaultColWidth;
    updateFixedSizes();
}

int TRBGrid::ColWidths(int col) const
{
    if (col < m_fixedCols)
        return m_fixedColWidth;
    return m_hHeader->sectionSize(col - m_fixedCols);
}

void TRBGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= ColCount())
        return;
    if (col < m_fixedCols) {
        m_fixedColWidth = width;
        updateFixedSizes();
    } else if (m_hHeader->sectionSize(col - m_fixedCols) != width) {
        const QScopedValueRollback<bool> ours(m_applyingWidth, true);
        m_hHeader->resizeSection(col - m_fixedCols, width);
    }
}

int TRBGrid::RowHeights(int row) const
{
    if (row < m_fixedRows)
        return m_fixedRowHeight;
    return m_vHeader->sectionSize(row - m_fixedRows);
}

void TRBGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= RowCount())
        return;
    if (row < m_fixedRows) {
        m_fixedRowHeight = height;
        updateFixedSizes();
    } else if (m_vHeader->sectionSize(row - m_fixedRows) != height) {
        m_vHeader->resizeSection(row - m_fixedRows, height);
    }
}

void TRBGrid::updateFixedSizes()
{
    m_hHeader->setFixedHeight(m_fixedRows ? m_fixedRowHeight : 0);
    m_vHeader->setFixedWidth(m_fixedCols ? m_fixedColWidth : 0);
    updateGeometries();
    if (m_corner)
        m_corner->update();
}

void TRBGrid::SetCellEditing(bool on)
{
    m_cellEditing = on;
    setEditTriggers(on ? (QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                          | QAbstractItemView::AnyKeyPressed)
                       : QAbstractItemView::NoEditTriggers);
}

bool TRBGrid::IsEditorActive() const
{
    return state() == QAbstractItemView::EditingState;
}

void TRBGrid::HideEditor()
{
    if (!IsEditorActive())
        return;
    const auto editors = viewport()->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly);
    for (QLineEdit *e : editors)
        if (e->isVisible()) {
            commitData(e);
            closeEditor(e, QAbstractItemDelegate::NoHint);
            return;
        }
}

// ---- properties -------------------------------------------------------------------

void TRBGrid::SetAutoSize(bool on)
{
    if (on == m_autoSize)
        return;
    m_autoSize = on;
    setSizingModes();
    if (on)
        fitAll();
}

void TRBGrid::setSizingModes()
{
    // Columns can be widened by hand; with AutoSize never narrower than their text.
    m_hHeader->setSectionResizeMode(QHeaderView::Interactive);
    m_vHeader->setSectionResizeMode(QHeaderView::Fixed);
}

void TRBGrid::SetHeader(const TRBParams &header)
{
    m_header = header;
    int cols = std::max(ColCount(), header.Count());
    int rows = std::max(RowCount(), 2);
    m_hasHeader = false; // the copy below makes row 0 the header
    resizeTable(rows, cols);
    TRBParams row0 = header;
    if (m_numbers)
        row0.SetField(0, QStringLiteral("LP"));
    m_table.Row(0) = row0;
    RowChanged(0);
    SetHasHeader(true);
}

void TRBGrid::SetHasHeader(bool on)
{
    m_hasHeader = on;
    if (!on)
        return;
    resizeTable(std::max(RowCount(), 2), std::max(ColCount(), m_header.Count()));
    for (int c = 0; c < ColCount(); ++c) {
        const int oldW = m_measures.width(c, 0);
        measureCell(c, 0);
        noteWidth(c, oldW, m_measures.width(c, 0));
    }
    fitRow(0);
    fitDirtyColumns();
    InvalidateRow(0);
}

void TRBGrid::SetNumbers(bool on)
{
    m_numbers = on;
    if (!on || ColCount() < 1)
        return;
    if (ColCount() < 2)
        resizeTable(RowCount(), 2);
    m_numberedUpTo = 0;
    renumber();
}

void TRBGrid::SetGridFont(const QFont &font)
{
    m_gridFont = font;
    invalidateMeasurers();
    if (m_autoSize)
        fitAll();
    InvalidateGrid();
}

void TRBGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        invalidateMeasurers();
        if (m_autoSize)
            fitAll();
    }
}

void TRBGrid::SetAutoRowColor(TRBColor color)
{
    m_autoRowColor = color;
    InvalidateGrid();
}
