// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a ".sat": a refusal or a raster whose calls cannot run script, and a
// picture name that never leaves the folder.
#include "map/MapLists.h"
#include "fuzz/MapCallCheck.h"
#include "map/RasterLayer.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const DeviceCodec codec : {DeviceCodec(DeviceCodec::Kind::Cp1250), DeviceCodec(DeviceCodec::Kind::Utf8)}) {
        try {
            const SatFile sat = RasterLayer::parseSat(QStringLiteral("/dev/Raster/x.sat"), bytes, codec);
            if (sat.picture.contains(u'/') || sat.picture.contains(QLatin1String("..")))
                std::abort();
            MapCallCheck::Checked out;
            RasterShow show;
            show.show(sat, true, true, out);
            show.show(sat, false, false, out);
        } catch (const KorvixError &) {
        }
    }
    return 0;
}
