// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The itinerary editor's former pairwise duplicate loop, as it was: the reference the
// indexed search is tested against and the peer it is measured against. Every later
// point not yet a duplicate within reach of point i becomes one (0xC0); i heads a
// group (0x40).

#include "core/GreatCircle.h"
#include "itn/ItnLogic.h"

#include <algorithm>
#include <vector>

inline std::vector<quint32> itnPairwiseMarks(const TRBParamsTable &rows, double maxDistance,
                                             int *firstGroupRow = nullptr)
{
    const int n = rows.RowCount();
    std::vector<quint32> bits(size_t(std::max(n, 0)), 0);
    std::vector<GeoDegrees> pts(bits.size());
    for (int r = 1; r < n; ++r)
        pts[size_t(r)] = Itn::rowPoint(rows, r);
    if (firstGroupRow)
        *firstGroupRow = -1;
    for (int i = 1; i < n - 1; ++i) {
        bool group = false;
        for (int k = i + 1; k < n; ++k) {
            if (!(bits[size_t(k)] & 0x40)) {
                const double d = GreatCircleDistance(pts[size_t(i)], pts[size_t(k)]);
                if (d >= 0 && d < maxDistance) {
                    bits[size_t(k)] |= 0xC0;
                    group = true;
                }
            }
        }
        if (group) {
            bits[size_t(i)] |= 0x40;
            if (firstGroupRow && *firstGroupRow < 0)
                *firstGroupRow = i;
        }
    }
    return bits;
}
