// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The coordinate cells of the POI and itinerary lists as people use them: what they
// type or paste ("19,95", "50°03'36\"N", "50.06, 19.94") becomes the list's units when
// the cell is left, a pair fills both cells in one step of undo, and a text that
// cannot be read stays red with its reason in the tooltip and the status bar.

#include <QtGlobal>
#include <QString>

#include <functional>

class TRBGrid;

namespace CoordinateEditing {

// Sets the grid's OnCellFault and OnSetEditText (calling one set before) for the
// coordinate columns; rows whose columns 1..lastColumn are empty are not saved and
// never at fault. `status` receives a cell's reason when it is left (empty clears).
void install(TRBGrid *grid, int lastColumn, std::function<void(const QString &)> status = {});

// Writes both coordinates of `row` as one step of undo.
void writePosition(TRBGrid *grid, int row, qint32 lon, qint32 lat);

// What a cell's text becomes when it is left: the list's units of one coordinate,
// or, for a pair, both cells. False when the text is not converted (a plain
// integer, an empty or unreadable text, or no coordinate column).
bool convertCell(TRBGrid *grid, int col, int row, const QString &text);

} // namespace CoordinateEditing
