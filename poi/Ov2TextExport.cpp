// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/Ov2TextExport.h"

#include "platform/ChunkedOut.h"
#include "poi/Ov2Reader.h"

namespace {
void putLines(const Ov2Data &data, PoiTextFormat format, ChunkedOut &out)
{
    // An empty file still gives one line, as the editor's empty list does.
    if (data.pois.empty()) {
        putPoiTextLine(out, {}, {}, {}, format);
        return;
    }
    char lon[12], lat[12];
    for (const Ov2Poi &p : data.pois)
        putPoiTextLine(out, poiTextNumber(lon, p.lon), poiTextNumber(lat, p.lat), data.text(p), format);
}
} // namespace

QByteArray poiTextExport(const Ov2Data &data, PoiTextFormat format)
{
    return ChunkedOut::collect([&](ChunkedOut &out) { putLines(data, format, out); });
}

void ExportPoiText(const Ov2Data &data, const QString &fileName, PoiTextFormat format)
{
    writePoiText(fileName, [&](ChunkedOut &out) { putLines(data, format, out); });
}
