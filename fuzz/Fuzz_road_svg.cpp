// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the road network's SVG: a parse error or calls that cannot run
// script, never a crash.
#include "map/MapLists.h"
#include "fuzz/MapCallCheck.h"
#include "map/LayerRoads.h"
#include "platform/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    MapCallCheck::Checked out;
    try {
        LayerRoads::send(bytes, out);
    } catch (const KorvixError &) {
    }
    return 0;
}
