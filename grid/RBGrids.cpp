#include "grid/RBGrids.h"

#include "grid/CoordinateCells.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QtMath>

#include <algorithm>

// ---------------------------------------------------------------------------------
// Colours

namespace {
constexpr int HLSMAX = 240;
constexpr int RGBMAX = 255;

int hueToRGB(int n1, int n2, int hue)
{
    if (hue < 0)
        hue += HLSMAX;
    if (hue > HLSMAX)
        hue -= HLSMAX;
    if (hue < HLSMAX / 6)
        return n1 + (((n2 - n1) * hue + HLSMAX / 12) / (HLSMAX / 6));
    if (hue < HLSMAX / 2)
        return n2;
    if (hue < (HLSMAX * 2) / 3)
        return n1 + (((n2 - n1) * (((HLSMAX * 2) / 3) - hue) + HLSMAX / 12) / (HLSMAX / 6));
    return n1;
}
} // namespace

QColor ColorHLSToRGB(int hue, int luminance, int saturation)
{
    if (saturation == 0) {
        const int v = (luminance * RGBMAX) / HLSMAX;
        return QColor(v, v, v);
    }
    int magic2;
    if (luminance <= HLSMAX / 2)
        magic2 = (luminance * (HLSMAX + saturation) + HLSMAX / 2) / HLSMAX;
    else
        magic2 = luminance + saturation - ((luminance * saturation) + HLSMAX / 2) / HLSMAX;
    const int magic1 = 2 * luminance - magic2;
    auto channel = [&](int h) {
        return std::clamp((hueToRGB(magic1, magic2, h) * RGBMAX + HLSMAX / 2) / HLSMAX, 0, 255);
    };
    return QColor(channel(hue + HLSMAX / 3), channel(hue), channel(hue - HLSMAX / 3));
}

void ColorRGBToHLS(const QColor &c, int &hue, int &luminance, int &saturation)
{
    const int r = c.red(), g = c.green(), b = c.blue();
    const int cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
    luminance = (((cMax + cMin) * HLSMAX) + RGBMAX) / (2 * RGBMAX);
    if (cMax == cMin) {
        saturation = 0;
        hue = (HLSMAX * 2) / 3;
        return;
    }
    if (luminance <= HLSMAX / 2)
        saturation = (((cMax - cMin) * HLSMAX) + ((cMax + cMin) / 2)) / (cMax + cMin);
    else
        saturation = (((cMax - cMin) * HLSMAX) + ((2 * RGBMAX - cMax - cMin) / 2))
                     / (2 * RGBMAX - cMax - cMin);
    const int d = cMax - cMin;
    const int rd = (((cMax - r) * (HLSMAX / 6)) + (d / 2)) / d;
    const int gd = (((cMax - g) * (HLSMAX / 6)) + (d / 2)) / d;
    const int bd = (((cMax - b) * (HLSMAX / 6)) + (d / 2)) / d;
    if (r == cMax)
        hue = bd - gd;
    else if (g == cMax)
        hue = (HLSMAX / 3) + rd - bd;
    else
        hue = ((2 * HLSMAX) / 3) + gd - rd;
    if (hue < 0)
        hue += HLSMAX;
    if (hue > HLSMAX)
        hue -= HLSMAX;
}

QColor ColorAdjustLuma(const QColor &c, int n, bool scale)
{
    int h, l, s;
    ColorRGBToHLS(c, h, l, s);
    if (scale) {
        if (n > 0)
            l += ((HLSMAX - l) * n) / 1000;
        else
            l += (l * n) / 1000;
    } else {
        l += (n * HLSMAX) / 1000;
    }
    return ColorHLSToRGB(h, std::clamp(l, 0, HLSMAX), s);
}

QColor ColorFromNumber(TRBColor number)
{
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

TRBColor NumberFromColor(const QColor &c)
{
    return TRBColor(c.red()) | (TRBColor(c.green()) << 8) | (TRBColor(c.blue()) << 16);
}

bool ParseColorNumber(QStringView text, TRBColor &number)
{
    QStringView t = text.trimmed();
    bool ok = false;
    qlonglong v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || v < 0 || v > 0xFFFFFFFFLL)
        return false;
    number = TRBColor(v);
    return true;
}

const std::array<TRBPaletteEntry, 16> &RBGridPalette()
{
    static const std::array<TRBPaletteEntry, 16> palette = [] {
        std::array<TRBPaletteEntry, 16> p;
        p[0] = {Qt::black, Qt::white, Qt::black};
        for (int k = 1; k <= 15; ++k) {
            const QColor strong = ColorHLSToRGB(150 - 10 * k, 120, 240);
            p[size_t(k)] = {strong, ColorAdjustLuma(strong, 500, true), QColor(Qt::black)};
        }
        return p;
    }();
    return palette;
}

// ---------------------------------------------------------------------------------
// Fast text measuring: per-character advances cached per font, so measuring a
// million cells costs a table look-up per character, not a text layout.

class TRBTextMeasurer {
public:
    explicit TRBTextMeasurer(const QFont &font) : m_font(font), m_fm(font)
    {
        m_height = QFontMetrics(font).height();
        m_adv.fill(-1.0f);
    }
    int height() const { return m_height; }
    const QFont &font() const { return m_font; }
    // True when all ten digits advance alike, so a number's width follows its length.
    bool uniformDigits()
    {
        if (m_uniformDigits < 0) {
            const QString zero = QStringLiteral("0");
            const int w = width(zero);
            m_uniformDigits = 1;
            for (char16_t d = u'1'; d <= u'9'; ++d)
                if (width(QStringView(&d, 1)) != w || m_adv[d] != m_adv[u'0'])
                    m_uniformDigits = 0;
        }
        return m_uniformDigits == 1;
    }
    int width(QStringView s)
    {
        qreal w = 0;
        for (QChar c : s) {
            const char16_t u = c.unicode();
            if (u < m_adv.size()) {
                float &a = m_adv[u];
                if (a < 0)
                    a = float(m_fm.horizontalAdvance(c));
                w += a;
            } else {
                w += m_fm.horizontalAdvance(c);
            }
        }
        return int(qCeil(w));
    }

private:
    QFont m_font;
    QFontMetricsF m_fm;
    int m_height = 0;
    int m_uniformDigits = -1;
    std::array<float, 0x600> m_adv;
};

// ---------------------------------------------------------------------------------
// Model: model row r is grid row r + FixedRows, model column c grid column c + FixedCols.

class TRBGridModel : public QAbstractTableModel {
public:
    explicit TRBGridModel(TRBGrid *grid) : QAbstractTableModel(grid), g(grid) {}
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : std::max(0, g->RowCount() - g->FixedRows());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : std::max(0, g->ColCount() - g->FixedCols());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return g->GetCell(index.column() + g->FixedCols(), index.row() + g->FixedRows());
        return {};
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (o == Qt::Horizontal)
            return g->FixedRows() ? g->GetCell(section + g->FixedCols(), 0) : QString();
        return g->FixedCols() ? g->GetCell(0, section + g->FixedRows()) : QString();
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (g->CellEditing())
            f |= Qt::ItemIsEditable;
        return f;
    }
    // Brackets for the grid's own size changes.
    void beginReset() { beginResetModel(); }
    void endReset() { endResetModel(); }
    void beginInsert(int first, int last, bool rows)
    {
        rows ? beginInsertRows({}, first, last) : beginInsertColumns({}, first, last);
    }
    void endInsert(bool rows) { rows ? endInsertRows() : endInsertColumns(); }
    void beginRemove(int first, int last, bool rows)
    {
        rows ? beginRemoveRows({}, first, last) : beginRemoveColumns({}, first, last);
    }
    void endRemove(bool rows) { rows ? endRemoveRows() : endRemoveColumns(); }
    bool beginMove(int from, int to)
    {
        // Qt wants the destination as "insert before" index.
        return beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    }
    void endMove() { endMoveRows(); }
    void cellChanged(const QModelIndex &i) { emit dataChanged(i, i); }
    void rangeChanged(int firstRow, int lastRow)
    {
        if (firstRow > lastRow || columnCount() == 0)
            return;
        emit dataChanged(index(firstRow, 0), index(lastRow, columnCount() - 1));
    }
    void headerChanged(Qt::Orientation o, int first, int last)
    {
        if (first <= last)
            emit headerDataChanged(o, first, last);
    }

private:
    TRBGrid *g;
};

// Keeps OnSelectCell in front of every move of the current cell.
class TRBGridSelectionModel : public QItemSelectionModel {
public:
    TRBGridSelectionModel(QAbstractItemModel *model, TRBGrid *grid)
        : QItemSelectionModel(model, grid), g(grid) {}
    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override
    {
        if (g->OnSelectCell && index.isValid() && index != currentIndex()) {
            bool can = true;
            g->OnSelectCell(g, index.column() + g->FixedCols(), index.row() + g->FixedRows(), can);
            if (!can)
                return;
        }
        QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    TRBGrid *g;
};

// Fixed row 0 and fixed column 0, drawn by the grid's own cell drawing.
class TRBGridHeader : public QHeaderView {
public:
    TRBGridHeader(Qt::Orientation o, TRBGrid *grid) : QHeaderView(o, grid), g(grid)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
        setMinimumSectionSize(1);
    }
    QSize sizeHint() const override
    {
        if (orientation() == Qt::Horizontal)
            return QSize(length(), g->FixedRows() ? g->m_fixedRowHeight : 0);
        return QSize(g->FixedCols() ? g->m_fixedColWidth : 0, length());
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logical) const override
    {
        if (!rect.isValid())
            return;
        const int col = orientation() == Qt::Horizontal ? logical + g->FixedCols() : 0;
        const int row = orientation() == Qt::Horizontal ? 0 : logical + g->FixedRows();
        painter->save();
        g->PaintCell(*painter, col, row, rect.adjusted(0, 0, -1, -1), false);
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->restore();
    }

private:
    TRBGrid *g;
};

class TRBGridDelegate : public QStyledItemDelegate {
public:
    explicit TRBGridDelegate(TRBGrid *grid) : QStyledItemDelegate(grid), g(grid) {}
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        g->PaintCell(*painter, index.column() + g->FixedCols(), index.row() + g->FixedRows(),
                     option.rect, option.state & QStyle::State_Selected);
        painter->restore();
    }
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *e = new QLineEdit(parent);
        e->setFrame(false);
        e->setFont(g->font());
        if (g->OnCellFault) {
            // Coloured as the user types, before the text reaches the cell.
            e->setAutoFillBackground(true);
            const int col = index.column() + g->FixedCols(), row = index.row() + g->FixedRows();
            QObject::connect(e, &QLineEdit::textChanged, e, [grid = g, e, col, row](const QString &text) {
                const bool fault = grid->OnCellFault && grid->OnCellFault(grid, col, row, text);
                QPalette pal = e->palette();
                pal.setColor(QPalette::Base, fault ? TRBGrid::ErrorColor() : grid->palette().color(QPalette::Base));
                e->setPalette(pal);
            });
        }
        return e;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (g->m_editNesting > 0)
            return;
        const int col = index.column() + g->FixedCols(), row = index.row() + g->FixedRows();
        QString text = g->GetCell(col, row);
        if (g->OnGetEditText)
            g->OnGetEditText(g, col, row, text);
        static_cast<QLineEdit *>(editor)->setText(text);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        g->commitEditText(index.column() + g->FixedCols(), index.row() + g->FixedRows(),
                          static_cast<QLineEdit *>(editor)->text());
    }
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &) const override
    {
        editor->setGeometry(option.rect);
    }

private:
    TRBGrid *g;
};

// ---------------------------------------------------------------------------------

TRBGrid::TRBGrid(QWidget *parent) : QTableView(parent)
{
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
    resizeTable(rows, ColCount());
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
                        noteWidth(c, m_table.TextWidth(c, r), -1);
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
                                   || m_table.TextWidth(0, r) == 0 || !isAllDigits(old);
            p.SetField(0, num);
            if (remeasure) {
                const int oldW = m_table.TextWidth(0, r);
                measureCell(0, r);
                noteWidth(0, oldW, m_table.TextWidth(0, r));
            }
        }
        m_table.SetAlignment(0, r, 4);
    }
    m_numberedUpTo = n;
    m_batch = false;
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
        const int oldW = m_table.TextWidth(c, 0);
        measureCell(c, 0);
        noteWidth(c, oldW, m_table.TextWidth(c, 0));
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

// ---- data ---------------------------------------------------------------------------

void TRBGrid::TableChanged()
{
    // The current cell and the scroll position survive where the rows still reach.
    const int col = Col(), row = Row(), top = TopRow();
    m_model->beginReset();
    // Rows filled past the column count widen the grid rather than lose fields.
    int widest = m_table.ColCount();
    for (int r = 0; r < m_table.RowCount(); ++r)
        widest = std::max(widest, std::as_const(m_table).Row(r).Count());
    m_table.SetColCount(widest);
    m_model->endReset();
    m_colMax.assign(size_t(ColCount()), 0);
    m_colMaxCount.assign(size_t(ColCount()), 0);
    m_colDirty.assign(size_t(ColCount()), 0);
    m_numberedUpTo = 0;
    resizeTable(RowCount(), ColCount());
    if (m_autoSize)
        fitAll();
    SetCurrentCell(col, std::min(row, RowCount() - 1));
    SetTopRow(std::min(top, RowCount() - 1));
}

void TRBGrid::SetTable(TRBParamsTable table)
{
    m_model->beginReset();
    m_table = std::move(table);
    m_model->endReset();
    TableChanged();
}

void TRBGrid::RowChanged(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    for (int c = 0; c < ColCount(); ++c) {
        const int oldW = m_table.TextWidth(c, row);
        measureCell(c, row);
        if (m_autoSize)
            noteWidth(c, oldW, m_table.TextWidth(c, row));
    }
    if (m_autoSize) {
        fitDirtyColumns();
        fitRow(row);
    }
    InvalidateRow(row);
}

void TRBGrid::SetCell(int col, int row, const QString &text)
{
    if (col < 0 || row < 0)
        return;
    if (std::as_const(m_table).Row(row).FieldView(col) == text)
        return;
    if (row >= RowCount()) {
        resizeTable(row + 1, ColCount());
    }
    const int oldW = m_table.TextWidth(col, row);
    m_table.SetCell(col, row, text);
    measureCell(col, row);
    if (m_autoSize && !m_batch) {
        noteWidth(col, oldW, m_table.TextWidth(col, row));
        fitDirtyColumns();
        fitRow(row);
    }
    InvalidateCell(col, row);
}

TRBParams &TRBGrid::GetRowParams(int row)
{
    row = std::max(row, 0);
    if (row >= RowCount())
        resizeTable(row + 1, ColCount());
    return m_table.Row(row);
}

void TRBGrid::SetRowParams(int row, const TRBParams &params)
{
    GetRowParams(row) = params;
    fireChanged();
    RowChanged(row);
}

void TRBGrid::SetCellFlags(int col, int row, quint32 flags)
{
    if (!m_table.Contains(col, row) || m_table.Flags(col, row) == flags)
        return;
    const bool swatchChanged = (m_table.Flags(col, row) ^ flags) & RBFlags::ColorSwatch;
    m_table.SetFlags(col, row, flags);
    if (swatchChanged) {
        const int oldW = m_table.TextWidth(col, row);
        measureCell(col, row);
        if (m_autoSize) {
            noteWidth(col, oldW, m_table.TextWidth(col, row));
            fitDirtyColumns();
        }
    }
    InvalidateCell(col, row);
}

void TRBGrid::SetCellStatus(int col, int row, const TRBCellStatus &status)
{
    if (!m_table.Contains(col, row))
        return;
    const int oldW = m_table.TextWidth(col, row);
    m_table.SetStatus(col, row, status);
    measureCell(col, row);
    if (m_autoSize) {
        noteWidth(col, oldW, m_table.TextWidth(col, row));
        fitDirtyColumns();
        fitRow(row);
    }
    InvalidateCell(col, row);
}

void TRBGrid::MarkRow(int row, quint32 bits)
{
    if (row < 0 || row >= RowCount())
        return;
    for (int c = m_fixedCols; c < ColCount(); ++c)
        m_table.SetFlags(c, row, m_table.Flags(c, row) | bits);
    InvalidateRow(row);
}

void TRBGrid::UnmarkRow(int row, quint32 bits)
{
    if (row < 0 || row >= RowCount())
        return;
    for (int c = m_fixedCols; c < ColCount(); ++c)
        m_table.SetFlags(c, row, m_table.Flags(c, row) & ~bits);
    InvalidateRow(row);
}

void TRBGrid::UnmarkAllRows(quint32 bits)
{
    const int cols = ColCount();
    for (int r = m_fixedRows; r < RowCount(); ++r)
        for (int c = m_fixedCols; c < cols; ++c)
            m_table.SetFlags(c, r, m_table.Flags(c, r) & ~bits);
    m_model->rangeChanged(0, m_model->rowCount() - 1);
}

bool TRBGrid::HasMarkedRow(quint32 bits) const
{
    if (ColCount() <= m_fixedCols)
        return false;
    for (int r = m_fixedRows; r < RowCount(); ++r)
        if (m_table.Flags(m_fixedCols, r) & bits)
            return true;
    return false;
}

bool TRBGrid::IsRowEmpty(int row) const
{
    if (row < 0 || row >= RowCount())
        return false;
    const TRBParams &p = m_table.Row(row);
    for (int c = m_fixedCols; c < ColCount(); ++c)
        if (!p.FieldView(c).isEmpty())
            return false;
    return true;
}

void TRBGrid::InsertEmptyRow(int row)
{
    row = std::clamp(row, m_fixedRows, RowCount());
    const int mr = row - m_fixedRows;
    m_model->beginInsert(mr, mr, true);
    m_table.InsertRow(row);
    m_model->endInsert(true);
    numbersInvalidFrom(row);
    measureRows(row, row);
    applyHeaderAndNumbers();
    fitDirtyColumns();
    viewport()->update();
}

void TRBGrid::DeleteRow(int row)
{
    if (row < m_fixedRows || row >= RowCount())
        return;
    if (RowCount() - 1 <= m_fixedRows) {
        // The only data row: one empty data row always remains.
        resizeTable(RowCount() + 1, ColCount());
    }
    if (m_autoSize)
        for (int c = 0; c < ColCount(); ++c)
            noteWidth(c, m_table.TextWidth(c, row), -1);
    const int mr = row - m_fixedRows;
    m_model->beginRemove(mr, mr, true);
    m_table.DeleteRow(row);
    m_model->endRemove(true);
    numbersInvalidFrom(row);
    applyHeaderAndNumbers();
    if (m_autoSize)
        fitDirtyColumns();
    viewport()->update();
}

void TRBGrid::MoveRow(int from, int to)
{
    const int n = RowCount();
    if (from == to || from < m_fixedRows || to < m_fixedRows || from >= n || to >= n)
        return;
    const bool moved = m_model->beginMove(from - m_fixedRows, to - m_fixedRows);
    m_table.MoveRow(from, to);
    if (moved) {
        m_model->endMove();
    } else {
        m_model->beginReset();
        m_model->endReset();
    }
    numbersInvalidFrom(std::min(from, to));
    applyHeaderAndNumbers();
    viewport()->update();
}

void TRBGrid::MoveColumn(int from, int to)
{
    const int n = ColCount();
    if (from == to || from < 0 || to < 0 || from >= n || to >= n)
        return;
    const int step = from < to ? 1 : -1;
    for (int r = 0; r < RowCount(); ++r) {
        TRBParams &p = m_table.Row(r);
        for (int c = from; c != to; c += step)
            p.ExchangeFields(c, c + step);
    }
    if (m_hasHeader)
        for (int c = from; c != to; c += step)
            m_header.ExchangeFields(c, c + step);
    for (int c = std::min(from, to); c <= std::max(from, to); ++c) {
        if (m_autoSize) {
            measureColumn(c);
            m_colDirty[size_t(c)] = 1;
        } else {
            measureColumn(c);
        }
    }
    fitDirtyColumns();
    InvalidateGrid();
}

// ---- clipboard ----------------------------------------------------------------------

QString TRBGrid::MarkedRowsText() const
{
    QString text;
    if (ColCount() <= m_fixedCols)
        return text;
    const QString quote = RBConventions::doubleQuote();
    // Sized first: a million rows make a text of 100 MB, which must not be grown by
    // doubling.
    qsizetype size = 0;
    for (int r = m_fixedRows; r < RowCount(); ++r)
        if (m_table.Flags(m_fixedCols, r) & RBFlags::RowMark)
            size += m_table.Row(r).JoinedLength(1, QLatin1Char('\t'), quote) + 2;
    text.reserve(size);
    bool first = true;
    for (int r = m_fixedRows; r < RowCount(); ++r) {
        if (!(m_table.Flags(m_fixedCols, r) & RBFlags::RowMark))
            continue;
        if (!first)
            text += QLatin1String("\r\n");
        first = false;
        m_table.Row(r).JoinFieldsTo(text, 1, QLatin1Char('\t'), quote);
    }
    return text;
}

void TRBGrid::CopyMarkedRows()
{
    const QString text = MarkedRowsText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TRBGrid::CutMarkedRows()
{
    if (!m_enableRowEdit || ColCount() <= m_fixedCols)
        return;
    const QString text = MarkedRowsText();
    // Delete the marked rows in one pass; a grid never loses its last data row.
    const int n = RowCount();
    int deleted = 0;
    std::vector<char> del(size_t(n), 0);
    for (int r = m_fixedRows; r < n; ++r)
        if (m_table.Flags(m_fixedCols, r) & RBFlags::RowMark) {
            del[size_t(r)] = 1;
            ++deleted;
        }
    if (deleted > 0) {
        const int cur = Row(), col = Col();
        HideEditor();
        m_model->beginReset();
        m_table.RemoveRows(del);
        if (m_table.RowCount() <= m_fixedRows)
            m_table.AppendRow();
        m_model->endReset();
        m_numberedUpTo = 0;
        for (int i = 0; i < deleted; ++i)
            fireChanged();
        if (m_autoSize)
            std::fill(m_colDirty.begin(), m_colDirty.end(), 1);
        SetCurrentCell(col, std::min(cur, RowCount() - 1));
    }
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
    UnmarkAllRows(0xFF);
    applyHeaderAndNumbers();
    if (m_autoSize)
        fitDirtyColumns();
    viewport()->update();
}

void TRBGrid::PasteRows()
{
    if (!m_enableRowEdit)
        return;
    PasteText(QGuiApplication::clipboard()->text());
}

void TRBGrid::PasteText(QString text)
{
    if (!m_enableRowEdit)
        return;
    bool ok = false;
    if (OnPaste)
        OnPaste(this, text, ok);
    TRBParams lines;
    lines.SplitText(text, u"\r\n", RBConventions::blankSet());
    const int count = lines.Count();
    if (count < 1)
        return;
    HideEditor();
    UnmarkAllRows(0xFF);
    const int at = std::clamp(Row(), m_fixedRows, RowCount());
    const int col = Col();
    // All rows at once: the same rows as inserting one empty row per line from the
    // last line to the first.
    m_model->beginInsert(at - m_fixedRows, at - m_fixedRows + count - 1, true);
    m_table.InsertRows(at, count);
    {
        const TRBCharSet tab = RBConventions::tabSet(), blank = RBConventions::blankSet();
        const QString quote = RBConventions::doubleQuote();
        for (int i = 0; i < count; ++i) {
            TRBParams &row = m_table.Row(at + i);
            row.Append(QString::number(at + i)); // arrives numbered
            row.ParseFields(lines.FieldView(i), 1, tab, quote, blank);
        }
    }
    m_model->endInsert(true);
    numbersInvalidFrom(at);
    measureRows(at, at + count - 1);
    applyHeaderAndNumbers();
    if (m_autoSize) {
        fitDirtyColumns();
        for (int r = at; r < at + count; ++r)
            fitRow(r);
    }
    SetCurrentCell(col, at);
    viewport()->update();
    fireChanged();
}

void TRBGrid::SelectAllRows()
{
    if (!m_enableRowEdit)
        return;
    const int cols = ColCount();
    for (int r = m_fixedRows; r < RowCount(); ++r)
        for (int c = m_fixedCols; c < cols; ++c)
            m_table.SetFlags(c, r, m_table.Flags(c, r) | RBFlags::RowMark);
    m_model->rangeChanged(0, m_model->rowCount() - 1);
}

void TRBGrid::InvertRowMarks()
{
    if (!m_enableRowEdit)
        return;
    const int cols = ColCount();
    for (int r = m_fixedRows; r < RowCount(); ++r) {
        const bool marked = m_table.Flags(1, r) & RBFlags::RowMark;
        for (int c = m_fixedCols; c < cols; ++c) {
            const quint32 f = m_table.Flags(c, r);
            m_table.SetFlags(c, r, marked ? f & ~RBFlags::RowMark : f | RBFlags::RowMark);
        }
    }
    m_model->rangeChanged(0, m_model->rowCount() - 1);
}

void TRBGrid::fireChanged()
{
    if (OnChanged)
        OnChanged(this);
    emit changed();
}

// ---- repaint --------------------------------------------------------------------------

void TRBGrid::InvalidateCell(int col, int row)
{
    if (!m_table.Contains(col, row))
        return;
    if (row < m_fixedRows && col < m_fixedCols) {
        if (m_corner)
            m_corner->update();
    } else if (row < m_fixedRows) {
        m_model->headerChanged(Qt::Horizontal, col - m_fixedCols, col - m_fixedCols);
    } else if (col < m_fixedCols) {
        m_model->headerChanged(Qt::Vertical, row - m_fixedRows, row - m_fixedRows);
    } else {
        m_model->cellChanged(modelIndex(col, row));
    }
}

void TRBGrid::InvalidateRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    if (row < m_fixedRows) {
        m_hHeader->viewport()->update();
        if (m_corner)
            m_corner->update();
        return;
    }
    if (m_fixedCols)
        m_model->headerChanged(Qt::Vertical, row - m_fixedRows, row - m_fixedRows);
    m_model->rangeChanged(row - m_fixedRows, row - m_fixedRows);
}

void TRBGrid::InvalidateGrid()
{
    viewport()->update();
    m_hHeader->viewport()->update();
    m_vHeader->viewport()->update();
    if (m_corner)
        m_corner->update();
}

// ---- measuring and fitting -------------------------------------------------------------

TRBTextMeasurer &TRBGrid::measurer(bool fixed, int fontSize)
{
    const int k = fixed ? 1 : 0;
    if (fontSize == 0) {
        if (!m_measurers[k])
            m_measurers[k] = std::make_unique<TRBTextMeasurer>(fixed ? m_gridFont : font());
        return *m_measurers[k];
    }
    for (auto &p : m_sizedMeasurers[k])
        if (p.first == fontSize)
            return *p.second;
    QFont f = fixed ? m_gridFont : font();
    f.setPointSize(fontSize);
    m_sizedMeasurers[k].emplace_back(fontSize, std::make_unique<TRBTextMeasurer>(f));
    return *m_sizedMeasurers[k].back().second;
}

void TRBGrid::invalidateMeasurers()
{
    for (int k = 0; k < 2; ++k) {
        m_measurers[k].reset();
        m_sizedMeasurers[k].clear();
    }
}

int TRBGrid::fontHeight(bool fixed, int fontSize)
{
    return measurer(fixed, fontSize).height();
}

void TRBGrid::measureCell(int col, int row)
{
    if (!m_table.Contains(col, row))
        return;
    TRBTextMeasurer &m = measurer(isFixed(col, row), m_table.FontSize(col, row));
    int w = m.width(std::as_const(m_table).Row(row).FieldView(col));
    if (m_table.Flags(col, row) & RBFlags::ColorSwatch)
        w += 22;
    m_table.SetMeasure(col, row, quint16(std::min(w, 0xFFFF)), quint16(m.height()));
}

void TRBGrid::measureRows(int first, int last)
{
    const int cols = ColCount();
    last = std::min(last, RowCount() - 1);
    for (int r = std::max(first, 0); r <= last; ++r)
        for (int c = 0; c < cols; ++c) {
            measureCell(c, r);
            if (m_autoSize)
                noteWidth(c, -1, m_table.TextWidth(c, r));
        }
}

void TRBGrid::measureColumn(int col)
{
    for (int r = 0; r < RowCount(); ++r) {
        measureCell(col, r);
        if (m_autoSize)
            noteWidth(col, -1, m_table.TextWidth(col, r));
    }
}

void TRBGrid::measureAll()
{
    const int cols = ColCount(), rows = RowCount();
    m_colMax.assign(size_t(cols), 0);
    m_colMaxCount.assign(size_t(cols), 0);
    m_colDirty.assign(size_t(cols), 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            measureCell(c, r);
    for (int c = 0; c < cols; ++c)
        m_colDirty[size_t(c)] = 1;
    fitDirtyColumns();
}

// A cell's width changed from oldWidth (-1: a new cell) to newWidth.
void TRBGrid::noteWidth(int col, int oldWidth, int newWidth)
{
    if (!m_autoSize || col < 0 || col >= int(m_colMax.size()))
        return;
    int &mx = m_colMax[size_t(col)];
    int &atMax = m_colMaxCount[size_t(col)];
    if (oldWidth == newWidth)
        return;
    if (oldWidth == mx && oldWidth >= 0 && atMax > 0)
        --atMax;
    if (newWidth > mx) {
        mx = newWidth;
        atMax = 1;
        if (m_colDirty[size_t(col)] != 1)
            m_colDirty[size_t(col)] = 2; // only the width needs applying
    } else if (newWidth == mx) {
        ++atMax;
    } else if (oldWidth == mx && atMax == 0) {
        m_colDirty[size_t(col)] = 1; // the widest cell shrank: search the column again
    }
}

void TRBGrid::fitDirtyColumns()
{
    if (!m_autoSize)
        return;
    for (int c = 0; c < int(m_colDirty.size()); ++c) {
        if (!m_colDirty[size_t(c)])
            continue;
        if (m_colDirty[size_t(c)] == 1) {
            int mx = 0, count = 0;
            for (int r = 0; r < RowCount(); ++r) {
                const int w = m_table.TextWidth(c, r);
                if (w > mx) {
                    mx = w;
                    count = 1;
                } else if (w == mx) {
                    ++count;
                }
            }
            m_colMax[size_t(c)] = mx;
            m_colMaxCount[size_t(c)] = count;
        }
        m_colDirty[size_t(c)] = 0;
        applyColWidth(c);
    }
}

int TRBGrid::FittedColWidth(int col) const
{
    if (col < 0 || col >= int(m_colMax.size()))
        return 0;
    const int chosen = size_t(col) < m_chosenWidth.size() ? m_chosenWidth[size_t(col)] : 0;
    return std::max(m_colMax[size_t(col)] + 5, chosen);
}

QList<int> TRBGrid::ChosenColWidths() const
{
    return QList<int>(m_chosenWidth.begin(), m_chosenWidth.end());
}

void TRBGrid::SetChosenColWidths(const QList<int> &widths)
{
    m_chosenWidth.assign(widths.begin(), widths.end());
    for (int &w : m_chosenWidth)
        w = std::clamp(w, 0, 4000);
    if (m_autoSize) // the measured maxima stand: only the widths change
        for (int c = 0; c < int(m_colMax.size()); ++c)
            applyColWidth(c);
    else
        for (int c = m_fixedCols; c < std::min(ColCount(), int(m_chosenWidth.size())); ++c)
            if (m_chosenWidth[size_t(c)] > 0)
                SetColWidths(c, m_chosenWidth[size_t(c)]);
}

void TRBGrid::applyColWidth(int col)
{
    SetColWidths(col, FittedColWidth(col));
}

void TRBGrid::fitRow(int row)
{
    if (!m_autoSize || row < 0 || row >= RowCount())
        return;
    int h = row < m_fixedRows ? 0 : MinContentHeight();
    for (int c = 0; c < ColCount(); ++c)
        h = std::max(h, fontHeight(isFixed(c, row), m_table.FontSize(c, row)));
    SetRowHeights(row, h + 2);
}

void TRBGrid::fitAllRows()
{
    if (!m_autoSize)
        return;
    fitRow(0);
    if (RowCount() <= m_fixedRows)
        return;
    // Rows without own font sizes share one height: the header's default size, so a
    // million rows need no size of their own.
    int common = fontHeight(false, 0);
    if (m_fixedCols)
        common = std::max(common, fontHeight(true, 0));
    common = std::max(common, MinContentHeight());
    m_commonRowHeight = common + 2;
    if (m_vHeader->defaultSectionSize() != m_commonRowHeight)
        m_vHeader->setDefaultSectionSize(m_commonRowHeight);
    const int cols = ColCount();
    for (int r = m_fixedRows; r < RowCount(); ++r) {
        bool sized = false;
        for (int c = 0; c < cols && !sized; ++c)
            sized = m_table.FontSize(c, r) != 0;
        if (sized || m_vHeader->sectionSize(r - m_fixedRows) != m_commonRowHeight)
            fitRow(r);
    }
}

void TRBGrid::fitAll()
{
    if (!m_autoSize)
        return;
    measureAll();
    for (int c = 0; c < ColCount(); ++c)
        applyColWidth(c);
    fitAllRows();
}

// ---- drawing ---------------------------------------------------------------------------

QColor TRBGrid::ErrorColor()
{
    return QColor(255, 128, 128);
}

TCellFaultEvent TRBGrid::CoordinateFaults(int lastColumn)
{
    return [lastColumn](const TRBGrid *g, int col, int row, QStringView text) {
        return row > 0 && row < g->RowCount()
               && CoordinateCells::cellFaulty(g->Table().Row(row), col, text, lastColumn);
    };
}

void TRBGrid::PaintCell(QPainter &painter, int col, int row, const QRect &rect, bool selected)
{
    painter.setClipRect(rect);
    DrawCell(painter, col, row, rect, selected);
    painter.setClipRect(rect);
    painter.setFont(m_gridFont);
    if (OnDrawCell)
        OnDrawCell(this, col, row, painter, rect, selected);
}

void TRBGrid::DrawCell(QPainter &p, int col, int row, const QRect &rect, bool selected)
{
    const bool fixed = isFixed(col, row);
    const QPalette &pal = palette();
    // The platform grid's own fill: fixed face, selection highlight or window colour.
    QColor fontColor;
    if (fixed) {
        p.fillRect(rect, pal.color(QPalette::Button));
        fontColor = pal.color(QPalette::ButtonText);
    } else if (selected) {
        p.fillRect(rect, pal.color(QPalette::Highlight));
        fontColor = pal.color(QPalette::HighlightedText);
    } else {
        p.fillRect(rect, pal.color(QPalette::Base));
        fontColor = pal.color(QPalette::Text);
    }
    if (!m_defaultDrawing)
        return;

    const TRBCellStatus st = m_table.Status(col, row);
    const quint32 flags = st.Flags;
    const auto &palette = RBGridPalette();

    // 1. Odd data rows outside the selection.
    const QColor rowColor = ColorFromNumber(m_autoRowColor);
    if (!fixed && (row & 1) && !selected && rowColor != pal.color(QPalette::Base))
        p.fillRect(rect, rowColor);

    // 2. Font.
    QFont f = fixed ? m_gridFont : font();
    if (st.FontSize)
        f.setPointSize(st.FontSize);
    p.setFont(f);

    // 3. Custom colours.
    QColor penColor = Qt::black, brushColor = pal.color(QPalette::Base);
    if (flags & RBFlags::CustomColors) {
        penColor = ColorFromNumber(st.PenColor);
        brushColor = ColorFromNumber(st.BrushColor);
        fontColor = ColorFromNumber(st.FontColor);
    }
    // 4. Background: marks never hide the selection highlight.
    const int bg = RBFlags::backgroundIndex(flags);
    if (bg)
        brushColor = palette[size_t(bg)].Light;
    if ((bg || (flags & RBFlags::CustomColors)) && !selected)
        p.fillRect(rect, brushColor);
    // A cell the save would refuse shows so over marks and the selection alike.
    if (OnCellFault && !fixed && OnCellFault(this, col, row, std::as_const(m_table).Row(row).FieldView(col)))
        p.fillRect(rect, selected ? ErrorColor().darker(200) : ErrorColor());

    // 5. Frame, 2 pixels wide, shared between neighbours with equal flags.
    const int fr = RBFlags::frameIndex(flags);
    if (fr)
        penColor = palette[size_t(fr)].Strong;
    if (fr || (flags & RBFlags::CustomColors)) {
        QPen pen(penColor, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        p.setPen(pen);
        const int l = rect.left(), t = rect.top();
        const int r = rect.right() + 1, b = rect.bottom() + 1; // exclusive edges
        p.drawLine(QPoint(l, t + 1), QPoint(r, t + 1));
        if (col == m_fixedCols || m_table.Flags(col - 1, row) != flags)
            p.drawLine(QPoint(l + 1, t), QPoint(l + 1, b));
        if (col == ColCount() - 1 || m_table.Flags(col + 1, row) != flags)
            p.drawLine(QPoint(r - 1, t), QPoint(r - 1, b));
        p.drawLine(QPoint(l, b - 1), QPoint(r, b - 1));
    }
    // 6. Text colour.
    const int ti = RBFlags::textIndex(flags);
    if (ti)
        fontColor = palette[size_t(ti)].Text;

    // 7. Text rectangle.
    QRect tr = rect.adjusted(1, 1, -1, -1);
    QString text = std::as_const(m_table).Row(row).GetField(col);

    // 8. Colour swatch.
    if (flags & RBFlags::ColorSwatch) {
        const QRect box(tr.left(), tr.top(), 20, tr.height());
        TRBColor number = 0;
        p.setRenderHint(QPainter::Antialiasing, false);
        if (ParseColorNumber(TrimChars(text, RBConventions::blankSet()), number)) {
            const QColor c = ColorFromNumber(number);
            p.fillRect(box, c);
            p.setPen(QPen(c, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(0, 0, -1, -1));
        } else {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(0, 0, -1, -1));
            p.drawLine(box.topLeft(), box.bottomRight());
            p.drawLine(box.bottomLeft(), box.topRight());
        }
        tr.setLeft(tr.left() + 22);
    }

    // 9. Text, clipped, placed by the alignment.
    if (text.isEmpty())
        return;
    const int align = std::min<int>(st.Alignment, 8);
    if (text.size() > 2000) {
        // Only a slice can be visible; laying out a megabyte per paint would stall.
        const int h = align % 3;
        text = h == 0 ? text.left(2000) : h == 2 ? text.right(2000) : text.mid(text.size() / 2 - 1000, 2000);
    }
    const QFontMetrics fm(f);
    const int tw = fm.horizontalAdvance(text), th = fm.height();
    int x = tr.left() + 1, y = tr.top();
    switch (align % 3) {
    case 1: x = tr.left() + tr.width() / 2 - tw / 2; break;
    case 2: x = tr.left() + tr.width() - tw; break;
    }
    switch (align / 3) {
    case 1: y = tr.top() + tr.height() / 2 - th / 2; break;
    case 2: y = tr.top() + tr.height() - th; break;
    }
    p.setClipRect(tr, Qt::IntersectClip);
    p.setPen(fontColor);
    p.drawText(QPoint(x, y + fm.ascent()), text);
}

// ---- editing ---------------------------------------------------------------------------

void TRBGrid::commitEditText(int col, int row, const QString &text)
{
    if (text != GetCell(col, row)) {
        ++m_editNesting;
        SetCell(col, row, text);
        fireChanged();
        --m_editNesting;
        // One cell can put its neighbours at fault (an empty latitude beside a new
        // longitude).
        if (OnCellFault)
            InvalidateRow(row);
    }
    if (OnSetEditText)
        OnSetEditText(this, col, row, text);
}

// ---- keys ------------------------------------------------------------------------------

void TRBGrid::keyPressEvent(QKeyEvent *event)
{
    if (m_autoAddRow && event->key() == Qt::Key_Down && !(event->modifiers() & ~Qt::KeypadModifier)) {
        if (Row() == RowCount() - 1)
            SetRowCount(RowCount() + 1);
        if (OnAddRow)
            OnAddRow(this, RowCount() - 1);
        emit rowAdded(RowCount() - 1);
        QTableView::keyPressEvent(event);
        return;
    }
    if (m_autoAddRow && event->key() == Qt::Key_Up && !(event->modifiers() & ~Qt::KeypadModifier)) {
        QTableView::keyPressEvent(event);
        if (Row() == RowCount() - 2 && IsRowEmpty(RowCount() - 1))
            SetRowCount(RowCount() - 1);
        fireChanged();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TRBGrid::keyReleaseEvent(QKeyEvent *event)
{
    QTableView::keyReleaseEvent(event);
    if (OnKeyUp)
        OnKeyUp(this, event);
}

// ---- mouse marking -----------------------------------------------------------------------

bool TRBGrid::rowMarked(int row) const
{
    return m_table.Flags(m_fixedCols, row) & RBFlags::RowMark;
}

void TRBGrid::applyDragMode(int row)
{
    if (m_dragMark)
        MarkRow(row, RBFlags::RowMark);
    else
        UnmarkRow(row, RBFlags::RowMark);
}

void TRBGrid::mousePressEvent(QMouseEvent *event)
{
    if (m_enableRowEdit && event->button() == Qt::LeftButton && focusPolicy() != Qt::NoFocus) {
        const int row = gridRowAt(event->position().toPoint().y());
        const Qt::KeyboardModifiers mods = event->modifiers();
        if (mods & Qt::ShiftModifier) {
            if (row >= m_fixedRows) {
                const int prev = Row();
                for (int r = std::min(prev, row); r <= std::max(prev, row); ++r)
                    if (r >= m_fixedRows)
                        MarkRow(r, RBFlags::RowMark);
            }
            HideEditor();
        } else if (mods & Qt::ControlModifier) {
            if (row >= m_fixedRows) {
                m_dragging = true;
                m_dragMark = !rowMarked(row);
                HideEditor();
            }
            // The current cell moves as on a plain click; the selection does not grow.
            QMouseEvent plain(event->type(), event->position(), event->scenePosition(),
                              event->globalPosition(), event->button(), event->buttons(),
                              Qt::NoModifier);
            QTableView::mousePressEvent(&plain);
            return;
        } else {
            UnmarkAllRows(RBFlags::RowMark);
        }
    }
    QTableView::mousePressEvent(event);
}

void TRBGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    const int y = event->position().toPoint().y();
    const int top = TopRow();
    const int below = top + VisibleRowCount(); // first row below the visible area
    const int belowY = below < RowCount() ? rowViewportPosition(below - m_fixedRows)
                                          : viewport()->height();
    if (y >= belowY && below < RowCount()) {
        applyDragMode(below);
        if (below < RowCount() - 1)
            SetTopRow(top + 1);
    } else if (y < 0) {
        if (top > m_fixedRows) {
            SetTopRow(top - 1);
            applyDragMode(TopRow());
        }
    } else {
        const int row = gridRowAt(y);
        if (row >= m_fixedRows && row != RowCount() - 1 && rowMarked(row) != m_dragMark)
            applyDragMode(row);
    }
}

void TRBGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        m_dragging = false;
        const int row = gridRowAt(pos.y());
        if (row > 0 && row < RowCount())
            applyDragMode(row);
    }
    QTableView::mouseReleaseEvent(event);
    if (OnMouseUp) {
        const QPoint cell = MouseCoord(pos);
        OnMouseUp(this, event, cell.x(), cell.y());
    }
}

bool TRBGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_corner && event->type() == QEvent::Paint) {
        QPainter p(m_corner);
        const QRect r = m_corner->rect();
        if (m_fixedRows && m_fixedCols)
            PaintCell(p, 0, 0, r.adjusted(0, 0, -1, -1), false);
        p.setClipping(false);
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(r.topRight(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.bottomRight());
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
