// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a TripMaster log: every call the track sends is a known function
// with decimals and whole string literals only.
#include "map/MapLists.h"
#include "fuzz/MapCallCheck.h"
#include "map/TripMaster.h"
#include "platform/DeviceCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    MapCallCheck::Checked out;
    TripMaster::send(bytes, DeviceCodec(), out);
    return 0;
}
