// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The POI editor's duplicate search, free of widgets so the command line and the
// benchmarks run exactly what the window runs.
//
// Rule: rows are taken as references A = 1, 2, ... in list order; a later row B that
// is not yet marked and lies at 0 <= d < MaxDistance from A becomes a duplicate of A.
// So every row B is a duplicate of the smallest-numbered row before it within the
// distance (whatever that row's own marks), and a row that took a duplicate is a
// group's reference. `findDuplicates` answers exactly that with a grid of cells, in
// about linear time; `findDuplicatesPairwise` is the plain pairwise loop, kept as
// the reference the tests and benchmarks compare against.

#include <QString>

#include "core/GreatCircle.h"

#include <functional>
#include <vector>

class TRBParamsTable;


// Index = grid row; row 0 (the header) is unused. Columns 1 and 2 read as integers
// (not an integer: 0) divided by 100000.
std::vector<GeoDegrees> poiRowPoints(const TRBParamsTable &table);

// Called now and then with the reference row reached; returns true to stop.
using DuplicateStep = std::function<bool(int row)>;

struct DuplicateResult {
    // Per row: the row it duplicates (0 = none). Same size as the points.
    std::vector<int> dupOf;
    // Per row: it is the reference of at least one duplicate.
    std::vector<char> hasDuplicates;
    int firstGroupRow = -1;   // the first reference row, -1 when none
    int duplicateCount = 0;
    // Rows compared with a reference: the search's work, for the tests to bound.
    qint64 examined = 0;
    bool cancelled = false;
};

// The literal pairwise loop: O(n^2).
DuplicateResult findDuplicatesPairwise(const std::vector<GeoDegrees> &points, double maxDistance,
                                       const DuplicateStep &step = {});
// The same result through a grid of cells on the unit sphere. A stopped search keeps
// the rows decided so far (in list order of the duplicates).
DuplicateResult findDuplicates(const std::vector<GeoDegrees> &points, double maxDistance,
                               const DuplicateStep &step = {});

// The marks on a table without a grid (the command line): OR 0xC0 into every data
// cell of a duplicate and write ">" + its reference into column 4, OR 0x40 into the
// cells of a reference row. `clearPaletteBits` first clears the low 8 flag bits of
// every data cell, as the window does before a search.
void clearPaletteBits(TRBParamsTable &table);
void applyDuplicateMarks(TRBParamsTable &table, const DuplicateResult &result);
// Column 4 of a duplicate.
inline QString duplicateReferenceText(int referenceRow)
{
    return QStringLiteral(">") + QString::number(referenceRow);
}
