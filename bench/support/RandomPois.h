// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The POI lists of the benchmarks: random points all over the map, named "POI <i> "
// and 4 to 33 random letters with a blank every seventh, the same list for the same n.
#include "poi/Ov2Writer.h"

#include <QRandomGenerator>

// `polish`: every eleventh letter is the Windows-1250 "ł", for readers that convert text.
inline Ov2PointList randomPoints(int n, bool polish = false)
{
    QRandomGenerator rng{quint32(n)};
    Ov2PointList list;
    list.reserve(size_t(n), qsizetype(n) * 26);
    QByteArray name;
    for (int i = 0; i < n; ++i) {
        name = "POI " + QByteArray::number(i) + ' ';
        const int len = int(rng.bounded(4, 34));
        for (int k = 0; k < len; ++k)
            name.append(char(k % 7 == 6 ? ' ' : polish && k % 11 == 10 ? '\xB3' : 'a' + rng.bounded(26)));
        list.add(qint32(rng.bounded(-18000000, 18000000)), qint32(rng.bounded(-8500000, 8500000)), name);
    }
    return list;
}
