// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the grid: the header views and the cell delegate, both drawing through TRBGrid::PaintCell.

#include "grid/RBGrids.h"

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>

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
        if (orientation() == Qt::Horizontal && col == g->SortColumn())
            paintSortArrow(painter, rect);
        painter->restore();
    }

private:
    // The style's own arrow at the right end of the sorted column's header.
    void paintSortArrow(QPainter *painter, const QRect &rect) const
    {
        QStyleOptionHeader opt;
        opt.initFrom(this);
        const int size = qMax(4, qMin(rect.height() - 6, 9));
        opt.rect = QRect(rect.right() - size - 4, rect.center().y() - size / 2, size, size);
        opt.sortIndicator = g->SortDescending() ? QStyleOptionHeader::SortDown : QStyleOptionHeader::SortUp;
        style()->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &opt, painter, this);
    }

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
