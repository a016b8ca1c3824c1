// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/CoordinateEditing.h"

#include "core/CoordinateCells.h"
#include "core/CoordinateInput.h"
#include "grid/RBGrids.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPointer>
#include <QToolTip>
#include <QValidator>

#include <memory>

namespace CoordinateEditing {

namespace {

using CoordinateCells::LatColumn;
using CoordinateCells::LonColumn;

bool isCoordinateColumn(int col) { return col == LonColumn || col == LatColumn; }

// Converts in the editor's fixup, which the item delegate runs before it commits on
// Enter, Tab or focus out: the cell then takes the units in a single step of undo.
// Texts that cannot be read are acceptable as they stand, so the user can leave the
// cell and the red colour says what the save would refuse.
class CellValidator : public QValidator {
public:
    CellValidator(TRBGrid *grid, QLineEdit *edit, int col, int row)
        : QValidator(edit), m_grid(grid), m_edit(edit), m_col(col), m_row(row)
    {
    }

    State validate(QString &input, int &) const override
    {
        const QString why = CoordinateCells::typingFault(m_col, input);
        if (m_edit)
            m_edit->setToolTip(why);
        if (!why.isEmpty() || input.trimmed().isEmpty() || CoordinateInput::isPlainInteger(input))
            return Acceptable;
        return Intermediate;
    }

    void fixup(QString &input) const override
    {
        if (m_grid && convertCell(m_grid, m_col, m_row, input))
            input = m_grid->GetCell(m_col, m_row);
    }

private:
    QPointer<TRBGrid> m_grid;
    QPointer<QLineEdit> m_edit;
    int m_col, m_row;
};

class Watcher : public QObject {
public:
    Watcher(TRBGrid *grid, int lastColumn) : QObject(grid), m_grid(grid), m_lastColumn(lastColumn) {}

    QString reason(int col, int row) const
    {
        if (row < 1 || row >= m_grid->RowCount() || !isCoordinateColumn(col))
            return {};
        const TRBParams &params = std::as_const(*m_grid).Table().Row(row);
        return CoordinateCells::faultReason(params, col, params.FieldView(col), m_lastColumn);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildPolished) {
            auto *edit = qobject_cast<QLineEdit *>(static_cast<QChildEvent *>(event)->child());
            if (edit && !edit->validator()) {
                const QPoint cell = m_grid->MouseCoord(edit->geometry().center());
                if (isCoordinateColumn(cell.x()) && cell.y() > 0)
                    edit->setValidator(new CellValidator(m_grid, edit, cell.x(), cell.y()));
            }
        } else if (event->type() == QEvent::MouseButtonPress) {
            // A click on another cell commits the editor without the delegate's fixup.
            for (QLineEdit *edit : m_grid->viewport()->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly)) {
                const QValidator *v = edit->validator();
                QString text = edit->text();
                int pos = 0;
                if (edit->isVisible() && v && v->validate(text, pos) == QValidator::Intermediate) {
                    v->fixup(text);
                    edit->setText(text);
                }
            }
        } else if (event->type() == QEvent::ToolTip) {
            auto *help = static_cast<QHelpEvent *>(event);
            const QPoint cell = m_grid->MouseCoord(help->pos());
            const QString why = reason(cell.x(), cell.y());
            if (!why.isEmpty()) {
                QToolTip::showText(help->globalPos(), why, m_grid->viewport(), m_grid->CellRect(cell.x(), cell.y()));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TRBGrid *m_grid;
    int m_lastColumn;
};

} // namespace

void writePosition(TRBGrid *grid, int row, qint32 lon, qint32 lat)
{
    grid->BeginChange(QStringLiteral("position"));
    grid->SetCell(LonColumn, row, QString::number(lon));
    grid->SetCell(LatColumn, row, QString::number(lat));
    grid->EndChange();
    grid->InvalidateRow(row);
}

bool convertCell(TRBGrid *grid, int col, int row, const QString &text)
{
    if (!isCoordinateColumn(col) || row < 1 || CoordinateInput::isPlainInteger(text))
        return false;
    QStringView first, second;
    if (CoordinateInput::splitPair(text, &first, &second)) {
        const auto pair = CoordinateInput::readPair(text, CoordinateInput::PairOrder::LatLon);
        if (!pair)
            return false;
        writePosition(grid, row, pair->lon, pair->lat);
        return true;
    }
    const auto axis = col == LatColumn ? CoordinateInput::Axis::Latitude : CoordinateInput::Axis::Longitude;
    const auto units = CoordinateInput::read(text, axis);
    if (!units)
        return false;
    grid->SetCell(col, row, QString::number(*units));
    grid->InvalidateRow(row);
    return true;
}

void install(TRBGrid *grid, int lastColumn, std::function<void(const QString &)> status)
{
    auto *watcher = new Watcher(grid, lastColumn);
    grid->viewport()->installEventFilter(watcher);
    const TCellFaultEvent strict = TRBGrid::CoordinateFaults(lastColumn);
    grid->OnCellFault = [strict](const TRBGrid *g, int col, int row, QStringView text) {
        // The text being typed is at fault only when it cannot be read at all.
        if (g->IsEditorActive() && col == g->Col() && row == g->Row() && text != g->Table().Row(row).FieldView(col))
            return !CoordinateCells::typingFault(col, text).isEmpty();
        return strict(g, col, row, text);
    };
    auto shown = std::make_shared<bool>(false);
    grid->OnSetEditText = [watcher, status, shown, before = grid->OnSetEditText](TRBGrid *g, int col, int row,
                                                                                  const QString &text) {
        // A commit that skipped the editor's fixup (a save closing the editor).
        if (text == g->GetCell(col, row))
            convertCell(g, col, row, text);
        if (status) {
            const QString why = watcher->reason(col, row);
            if (!why.isEmpty())
                status(QCoreApplication::translate("Coordinates", "Row %1: %2").arg(row).arg(why));
            else if (*shown)
                status(QString());
            *shown = !why.isEmpty();
        }
        if (before)
            before(g, col, row, text);
    };
}

} // namespace CoordinateEditing
