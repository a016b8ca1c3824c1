// SPDX-License-Identifier: GPL-3.0-or-later
// The road authority's mobile feed on any bytes: points come in start/end order
// with readable places and no entity expanded.
#include "poi/Feeds.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const Feeds::Result r = Feeds::GDDKiAMobi(bytes);
    if (!r.error.isEmpty() && !r.points.empty())
        std::abort(); // a refused body adds nothing
    for (const Feeds::Point &p : r.points) {
        if (!Feeds::isCoordinate(p.lon) || !Feeds::isCoordinate(p.lat))
            std::abort();
        if (!p.name.startsWith(QStringLiteral("Początek ")) && !p.name.startsWith(QStringLiteral("Koniec ")))
            std::abort();
        if (p.name.size() > 4 * qsizetype(size) + 32)
            std::abort();
    }
    return 0;
}
