// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The itinerary editor's list operations on the grid's row table, free of widgets:
// distances and the duplicate search, reversal, the point swap and the name search.

#include "core/GreatCircle.h"
#include "core/RBParamsTable.h"

#include <functional>
#include <vector>

namespace Itn {

// A row's point: columns 1 and 2 read as integers (unreadable as 0) / 100000.
GeoDegrees rowPoint(const TRBParamsTable &rows, int row);

// Called after every comparison or swapped pair; returns true to stop (Escape).
using StepFn = std::function<bool(int position)>;

struct DuplicateMarks {
    // Bits to OR into every data cell of grid row r (index r; rows 0 and beyond the
    // table are 0): 0xC0 for a point near an earlier one, 0x40 for the earliest point
    // of a group.
    std::vector<quint32> bits;
    int firstGroupRow = -1;
    bool stopped = false;
};
// Data rows 1..RowCount-1. A row already taken into a group is not compared as a
// later row again, so each point belongs to at most one group.
DuplicateMarks findDuplicates(const TRBParamsTable &rows, double maxDistance, const StepFn &step = {});

// Rows a and b exchange their fields, except the row-number field 0, and the cell
// records of columns 1 to the last, so marks travel with their points. The fields
// move unchanged (no rewriting through a delimited line).
void swapPoints(TRBParamsTable &rows, int a, int b);
// Reverses the data rows (the last row too, even when empty); `step` after every
// pair may stop it part way. Returns the number of pairs swapped.
int reverseRows(TRBParamsTable &rows, const StepFn &step = {});

// A drop of the point of row `from` onto row `to` is taken.
inline bool canSwap(int from, int to, int rowCount)
{
    return from != to && from >= 1 && to >= 1 && from < rowCount && to < rowCount;
}

// The name search (column 3): downwards from the row after `current` to the last
// row, upwards from the row before it down to row 1. -1 without a hit.
int findName(const TRBParamsTable &rows, int current, const QString &text, bool down, bool matchCase);

} // namespace Itn
