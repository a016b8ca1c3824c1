// SPDX-License-Identifier: GPL-3.0-or-later
// The MapSettings.cfg scan on any bytes: records fit the input and their
// coordinates come back exactly through the text AddPoi reads.
#include "platform/DeviceCodec.h"
#include "poi/MapSettings.h"
#include "core/Ov2Units.h"

#include <QBuffer>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    qsizetype records = 0, nameBytes = 0;
    const bool ok = MapSettings::scan(in, DeviceCodec(), [&](const MapSettings::Record &r) {
        ++records;
        nameBytes += r.name.size();
        if (toOv2UnitsValue(MapSettings::degreesText(r.lon)) != r.lon
            || toOv2UnitsValue(MapSettings::degreesText(r.lat)) != r.lat)
            std::abort();
    });
    // A record takes at least 21 bytes and its name's own.
    if (!ok || records * 21 + nameBytes > qsizetype(size))
        std::abort();
    return 0;
}
