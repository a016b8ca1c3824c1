// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ITN itineraries in the point formats' interface (exchange/PointFormat.h); more than
// 48 points are written as the editor splits them.
#include "exchange/PointFormat.h"

const PointFormat &itnPointFormat();
