// SPDX-License-Identifier: GPL-3.0-or-later
// KML on any bytes: the file import and the paste conversion never crash, hang or
// expand entities.
#include "exchange/KmlImport.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const Itn::KmlPoints points = Itn::ImportKML(bytes);
    for (const Itn::ImportedPoint &p : points.points)
        if (p.lon.size() + p.lat.size() + p.name.size() > 4 * qsizetype(size) + 16)
            std::abort(); // more text out than went in: an entity was expanded
    QString text = QString::fromUtf8(bytes);
    Itn::KmlPasteRows(text);
    return 0;
}
