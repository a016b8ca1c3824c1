// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Coordinates as people type or paste them into a list, read into the lists' units
// (1/100000 degree): decimal degrees with "." or ",", degrees-minutes-seconds with
// "°", "'", '"' or blanks, a hemisphere letter before or after (S and W negative),
// and a plain integer, which keeps meaning the lists' units. Headless: the cells,
// the coordinate dialog and the command line share it.

#include "core/GeoPoint.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace CoordinateInput {

enum class Axis { Longitude, Latitude };
// The order of a pair without hemisphere letters: map sites copy "lat, lon"; the
// coordinate dialog shows "Lng" first.
enum class PairOrder { LatLon, LonLat };

// What a plain integer means: the list's units in a cell, degrees in the coordinate
// dialog, whose displays read "19" as 19 degrees.
enum class Integers { Units, Degrees };

// Longer texts are refused before any reading.
constexpr qsizetype MaxLength = 100;

// One coordinate in list units, truncated toward zero as the dialog's unit display
// truncates. nullopt with `reason` (translated, without the text) when it cannot be read.
std::optional<qint32> read(QStringView text, Axis axis, QString *reason = nullptr,
                           Integers integers = Integers::Units);

// True for blanks, an optional sign and digits: the list's own units.
bool isPlainInteger(QStringView text);

// The two halves of a pair ("50.06, 19.94", "50°03'36\"N 19°56'24\"E", "50.06 19.94");
// false when the text does not split into two coordinates.
bool splitPair(QStringView text, QStringView *first, QStringView *second);

// Both coordinates of a pair; letters decide which is which, else `order`. nullopt
// with `reason` when the text is no pair or a half cannot be read.
std::optional<GeoPoint> readPair(QStringView text, PairOrder order, QString *reason = nullptr,
                                 Integers integers = Integers::Units);

} // namespace CoordinateInput
