// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OV2 POI lists in the point formats' interface (exchange/PointFormat.h), for programs
// that put the device's formats beside the exchange table.
#include "exchange/PointFormat.h"

const PointFormat &ov2PointFormat();
