// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TRBParamsTable: the row storage of a TRBGrid, and what format readers fill.
//
// Layout
//   - Row 0 is the grid's header row; data rows start at 1.
//   - Field 0 of every row is the row-number column, so field i is grid column i.
//     The grid rewrites the numbers; a reader that fills them right spares the grid
//     rewriting a million rows, one that leaves them empty costs it that.
//   - Beside every row the table keeps one TRBCellStatus per column (ColCount() of
//     them). A column has a default record (zero unless set); the records are made
//     on the first write that differs from it, so a table nobody marks or colours
//     carries none. What a view measures is not the document's: it lives in the
//     view, which follows the rows' moves as a TRBRowFollower.
//
// Filling a million rows (a format reader):
//     TRBParamsTable &t = grid->Table();     // or a table of your own
//     t.SetRowCount(1);                      // keep the header row only
//     t.SetColCount(5);                      // number column + 4 fields
//     t.Reserve(1 + n);
//     for (...) t.AppendFields({QStringView(), name, lon, lat, extra});
//     grid->TableChanged();                  // when the table is the grid's
//   AppendFields packs the rows into shared chunks (TRBRowStore), one allocation for
//   hundreds of rows; QStringView fields spare the copies of the texts.
//   A table of your own goes in whole with grid->SetTable(std::move(t)). Rows may
//   also be built as a TRBParams and added with AppendRow(std::move(row)), or added
//   empty with AppendRow() and filled with SetField on the returned reference.
//
// API (indexes are 0-based; col = field index, row = row index):
//   RowCount(), ColCount(), SetRowCount(n), SetColCount(n), Reserve(rows), Clear()
//   AppendRow(), AppendRow(const TRBParams &), AppendRow(TRBParams &&),
//   AppendFields({...}) / AppendFields(QStringList): append one row, return its index
//     (AppendRow() returns a reference to the new, empty row, valid until the next
//     row is added). ColCount grows to the widest row appended with fields; the
//     grid's TableChanged() also widens to rows filled past ColCount.
//   Row(i): the row's TRBParams; a negative index means 0, and the table grows to
//     i + 1 rows when needed, so a row always exists. const Row(i) never grows and
//     gives an empty list outside the table.
//   Cell(col, row), SetCell(col, row, text): GetField / SetField of the row.
//   Flags(col, row), SetFlags(col, row, flags): 0 / ignored outside the table.
//   Status(col, row), SetStatus(col, row, status): the whole record.
//   SetColumnAlignment(col, a): the default of the cells without a record of their own.
//   InsertRow(at), InsertRows(at, n), DeleteRow(row), RemoveRows(flags), MoveRow(from,
//     to): rows move with their status.
//   Column count changes drop the fields from the new count on in every row.
//   Not thread-safe; a reader on another thread must fill a table of its own.

#include "core/RBParams.h"
#include "core/RBRowStore.h"

#include <array>
#include <map>
#include <vector>

// Colours are colour numbers 0x00BBGGRR (255 is red), as the cell texts hold them.
using TRBColor = quint32;

// Flags of TRBCellStatus.
namespace RBFlags {
constexpr quint32 FrameMask = 0x0000000F;      // palette index 1..15 of the frame
constexpr quint32 BackgroundMask = 0x000000F0; // palette index of the background
constexpr quint32 TextMask = 0x00000F00;       // palette index of the text
constexpr quint32 PaletteMask = 0x00000FFF;
constexpr quint32 CustomColors = 0x00010000;   // colours from the record
constexpr quint32 ColorSwatch = 0x00020000;    // the text is a colour number
constexpr quint32 RowMark = 0x80;              // row selected
constexpr quint32 RowAdded = 0x30;             // row just added
constexpr quint32 RowDuplicates = 0x40;        // row with duplicates
constexpr quint32 Duplicate = 0xC0;            // marked duplicate
inline int frameIndex(quint32 f) { return int(f & FrameMask); }
inline int backgroundIndex(quint32 f) { return int((f & BackgroundMask) >> 4); }
inline int textIndex(quint32 f) { return int((f & TextMask) >> 8); }
} // namespace RBFlags

struct TRBCellStatus {
    quint32 Flags = 0;
    TRBColor PenColor = 0;   // frame, with RBFlags::CustomColors
    TRBColor BrushColor = 0; // background, with RBFlags::CustomColors
    TRBColor FontColor = 0;  // text, with RBFlags::CustomColors
    quint8 Alignment = 0;    // 0..8: top-left .. bottom-right, row by row
    quint8 FontSize = 0;     // points; 0 = the font's own size
    bool operator==(const TRBCellStatus &) const = default;
};

// Whatever a view keeps beside each row (measurements) moves with the rows through
// these calls; the table makes them after its own change. `side` of a take holds
// the follower's data of the taken rows, given back as it was when they return.
class TRBRowFollower {
public:
    virtual ~TRBRowFollower() = default;
    virtual void rowCountChanged(int rows) = 0; // rows added or cut at the end
    virtual void colCountChanged(int cols) = 0;
    virtual void rowsInserted(int at, int count) = 0;
    virtual void rowRemoved(int row) = 0;
    virtual void rowsTaken(const std::vector<char> &take, std::vector<quint32> *side) = 0;
    virtual void rowsPut(const std::vector<int> &at, const std::vector<quint32> &side) = 0;
    virtual void rowMoved(int from, int to) = 0;
    virtual void rowsPermuted(const std::vector<int> &order) = 0;
    virtual void cellsExchanged(int a, int b, int fromCol) = 0;
};

class TRBParamsTable {
public:
    TRBParamsTable() = default;

    int RowCount() const { return int(m_rows.size()); }
    int ColCount() const { return m_cols; }
    void SetRowCount(int rows);
    void SetColCount(int cols);
    void Reserve(int rows);
    void Clear();

    TRBParams &AppendRow();
    int AppendRow(const TRBParams &row);
    int AppendRow(TRBParams &&row);
    int AppendFields(std::initializer_list<QString> fields);
    int AppendFields(std::initializer_list<QStringView> fields);
    int AppendFields(const QStringList &fields);

    TRBParams &Row(int row);
    const TRBParams &Row(int row) const;

    QString Cell(int col, int row) const { return Row(row).GetField(col); }
    void SetCell(int col, int row, const QString &text) { Row(row).SetField(col, text); }
    // SetCell for rewriting a column of many rows (the grid's numbers): rows that
    // would need a buffer of their own are packed into the table's chunks instead.
    void SetCellPacked(int col, int row, QStringView text) { m_store.SetField(Row(row), col, text); }
    // Before rewriting a column of every row: the rows packed again go to fresh
    // chunks, so the chunks they leave are freed whole instead of staying half used.
    void ReleasePacking() { m_store.Release(); }

    bool Contains(int col, int row) const
    {
        return row >= 0 && row < RowCount() && col >= 0 && col < m_cols;
    }
    quint32 Flags(int col, int row) const
    {
        const CellRec *c = cell(col, row);
        return c ? c->flags : 0;
    }
    void SetFlags(int col, int row, quint32 flags)
    {
        if (const CellRec *c = cell(col, row); c ? c->flags == flags : flags == 0)
            return;
        if (CellRec *c = cellForWrite(col, row))
            c->flags = flags;
    }
    TRBCellStatus Status(int col, int row) const;
    void SetStatus(int col, int row, const TRBCellStatus &status);
    quint8 Alignment(int col, int row) const
    {
        const CellRec *c = cell(col, row);
        return c ? c->alignment : 0;
    }
    void SetAlignment(int col, int row, quint8 alignment)
    {
        if (const CellRec *c = cell(col, row); c ? c->alignment == alignment : alignment == 0)
            return;
        if (CellRec *c = cellForWrite(col, row))
            c->alignment = alignment;
    }
    // Cells of `col` without a record of their own (all of them until a record is
    // needed) take this alignment; a numbered column costs no record per row that way.
    void SetColumnAlignment(int col, quint8 alignment);
    quint8 FontSize(int col, int row) const
    {
        const CellRec *c = cell(col, row);
        return c ? c->fontSize : 0;
    }

    void InsertRow(int at);
    // `count` empty rows before row `at`, in one move of the rows below.
    void InsertRows(int at, int count);
    void DeleteRow(int row);
    // Deletes every row whose entry in `remove` is non-zero, in one pass; returns how
    // many went.
    int RemoveRows(const std::vector<char> &remove);
    void MoveRow(int from, int to);

    // Rows taken out of the table with their cell records, to be put back later (an
    // undo). `at` holds their indexes before the removal, ascending.
    struct RowSet;
    // Takes every row whose entry in `take` is non-zero, in one pass.
    RowSet TakeRows(const std::vector<char> &take);
    // Puts rows back where they were, in one pass from the end: the rows between
    // move once, nothing else is copied.
    void PutRows(RowSet &&set);
    // Row i becomes the former row order[i]; `order` is a permutation of the rows.
    void Permute(const std::vector<int> &order);
    // Drops every field from ColCount() on, in every row.
    void TruncateFields();
    // Rows a and b exchange the cell records of columns fromCol to the last.
    void ExchangeCells(int a, int b, int fromCol);

    // The one follower of the rows' moves (none: nullptr). Copies of a table have none.
    void SetFollower(TRBRowFollower *follower) { m_follower.p = follower; }

private:
    // 8 bytes per cell; the three custom colours live in a shared pool.
    struct CellRec {
        quint32 flags = 0;
        quint16 colors = 0; // index into m_colors, 0 = all zero
        quint8 alignment = 0;
        quint8 fontSize = 0;
        bool operator==(const CellRec &) const = default;
    };
    using Colors = std::array<TRBColor, 3>;

    size_t index(int col, int row) const { return size_t(row) * size_t(m_cols) + size_t(col); }
    // The record of a cell: its own, or its column's default while no cell has one;
    // none outside the table or where every record is zero.
    const CellRec *cell(int col, int row) const
    {
        if (!Contains(col, row))
            return nullptr;
        if (!m_cells.empty())
            return &m_cells[index(col, row)];
        return size_t(col) < m_colDefaults.size() ? &m_colDefaults[size_t(col)] : nullptr;
    }
    // The record to change; the records are created first (callers write only what
    // differs from the record the cell has now).
    CellRec *cellForWrite(int col, int row)
    {
        if (!Contains(col, row))
            return nullptr;
        if (m_cells.empty())
            createCells();
        return &m_cells[index(col, row)];
    }
    CellRec columnDefault(int col) const
    {
        return size_t(col) < m_colDefaults.size() ? m_colDefaults[size_t(col)] : CellRec();
    }
    // `count` rows of records in the columns' defaults, at `at`.
    void fillDefaults(size_t at, size_t count);
    void createCells();
    void growCells(int cols);
    quint16 colorIndex(const Colors &c);

    std::vector<TRBParams> m_rows;
public:
    struct RowSet {
        std::vector<int> at;
        std::vector<TRBParams> rows;
        std::vector<CellRec> cells; // empty, or ColCount() per row
        int cols = 0;
        std::vector<quint32> side; // the follower's data of these rows
        size_t size() const { return at.size(); }
    };

private:
    // Row by row, m_cols per row; empty while every record is zero, so a reader's
    // million rows cost no status until something marks, colours or measures them.
    std::vector<CellRec> m_cells;
    TRBRowStore m_store; // packs the rows of AppendFields
    int m_cols = 0;
    std::vector<Colors> m_colors{Colors{0, 0, 0}};
    std::map<Colors, quint16> m_colorLookup;
    std::vector<CellRec> m_colDefaults; // per column; missing ones are zero
    // A follower stays with its table: a table copied or moved in does not bring one.
    struct FollowerRef {
        TRBRowFollower *p = nullptr;
        FollowerRef() = default;
        FollowerRef(const FollowerRef &) {}
        FollowerRef &operator=(const FollowerRef &) { return *this; }
        TRBRowFollower *operator->() const { return p; }
        explicit operator bool() const { return p != nullptr; }
    } m_follower;
};
