// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Picking POIs out of a list by text and by the map's saved view, and the find
// dialog's search, on the grid's row table (row 0 the header, column 3 the
// description). Headless; the window marks the rows these return.

#include <QString>

#include <optional>
#include <vector>

class TRBParamsTable;
class IProgress;

// Data rows whose description contains `text`, ignoring case; none for an empty text.
std::vector<int> rowsContainingText(const TRBParamsTable &table, const QString &text);

// The saved view "south,west,north,east" in decimal degrees, as OV2 units.
struct PoiRegion {
    qint64 south = 0, west = 0, north = 0, east = 0;
};
// Cut like every list of the program (comma separated, double quotes, blanks
// trimmed); fewer than 4 fields: no region. Fields that are no numbers read as 0.
std::optional<PoiRegion> parseSavedView(const QString &initialView);
// Data rows whose coordinates are integers with west <= lon < east and
// south <= lat < north; rows with other coordinate texts are passed over.
std::vector<int> rowsInRegion(const TRBParamsTable &table, const PoiRegion &region);

// The find dialog's search from the current row: downward the rows after it up to
// the last, upward the rows before it down to row 1. The description contains the
// text with equal case (matchCase) or ignoring case. Returns the first match, -1 for
// none. Progress, when given: "Searching for: " + text, the position following the
// row examined, and an empty status at the end.
int findDescription(const TRBParamsTable &table, int currentRow, const QString &text, bool down, bool matchCase,
                    IProgress *progress = nullptr);
