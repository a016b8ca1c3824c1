// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Route files of the Targeo map site (".atm"): lines "name::type=value"; the
// entries of type "ptGeo" hold "latitude&longitude" of the route's Start, End and
// intermediate points 0..7.

#include "exchange/KmlImport.h"

#include <QStringView>

#include <vector>

namespace Itn {

// The route in order Start, 0..7, End; a later entry for the same point replaces an
// earlier one; each point is named after its entry.
std::vector<ImportedPoint> ReadTargeoRoute(QStringView text);

} // namespace Itn
