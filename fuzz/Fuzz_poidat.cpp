// SPDX-License-Identifier: GPL-3.0-or-later
// The poi.dat tables and every category block on any bytes.
#include "poi/Ov2Reader.h"
#include "poi/PoiDat.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    const PoiDatListing listing = listPoiDatBytes(bytes, qint64(size));
    if (listing.ids.size() > 511)
        std::abort();
    PoiDatTable table;
    if (!readPoiDatTable(bytes, qint64(size), table).isEmpty())
        return 0;
    Ov2Data d;
    d.bytes = QByteArray::fromRawData(bytes, qsizetype(size));
    for (qsizetype i = 0; i < table.ids.size(); ++i) {
        if (table.starts[i] < 0 || table.starts[i] > table.ends[i] || table.ends[i] > qint64(size))
            std::abort();
        readOv2Range(d, table.starts[i], table.ends[i], nullptr);
    }
    return 0;
}
