// SPDX-License-Identifier: GPL-3.0-or-later
// The road authority's feed of road works on any bytes: no crash, no entity
// expanded, no point without a readable place.
#include "poi/Feeds.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const Feeds::Result r = Feeds::GDDKiA(bytes, QDate(2010, 1, 1));
    for (const Feeds::Point &p : r.points) {
        if (!Feeds::isCoordinate(p.lon) || !Feeds::isCoordinate(p.lat))
            std::abort();
        // Every text of a name comes from the input once, plus our own words.
        if (p.name.size() > 4 * qsizetype(size) + 512)
            std::abort();
    }
    return 0;
}
