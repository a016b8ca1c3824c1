// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The longitude and latitude cells (columns 1 and 2) of the POI and itinerary lists:
// whole numbers of 1/100000 degree. The saves check them here before anything is
// written, and the grids colour the cells that a save would refuse.

#include "core/GeoPoint.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

class TRBParams;

namespace CoordinateCells {

constexpr int LonColumn = 1;
constexpr int LatColumn = 2;

// Blanks around, an optional sign and decimal digits that fit 32 bits.
std::optional<qint32> parse(QStringView text);
std::optional<qint32> parse(QByteArrayView text);

// The position of list row `rowNumber` (as the grid numbers it) from its cells:
// nullopt when both coordinates and the row's other saved cells are empty (such a
// row is not saved). Throws KorvixError naming the row and the text when a
// coordinate is not a whole number of 32 bits.
std::optional<GeoPoint> rowPosition(int rowNumber, QStringView lon, QStringView lat, bool othersEmpty);
std::optional<GeoPoint> rowPosition(int rowNumber, QByteArrayView lon, QByteArrayView lat, bool othersEmpty);

// True when cell `col` of `row`, holding `text` (the stored text or the one being
// typed), would stop a save: a coordinate cell that is not a whole number while
// the row's columns 1..lastColumn hold something.
bool cellFaulty(const TRBParams &row, int col, QStringView text, int lastColumn);

// Why cellFaulty holds, for the cell's tooltip and the status bar (translated; empty
// when the cell is fine).
QString faultReason(const TRBParams &row, int col, QStringView text, int lastColumn);

// The text being typed into a coordinate cell: fine when it is empty or reads as a
// coordinate or a pair, which the cell converts when it is left. Empty when fine.
QString typingFault(int col, QStringView text);

} // namespace CoordinateCells
