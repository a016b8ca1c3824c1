// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the grid: the table model and the selection model it shows.

#include "grid/RBGrids.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>

#include <algorithm>

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
