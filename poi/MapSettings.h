// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The favourites and the home of the device's "MapSettings.cfg": records found by a
// byte scan, since the rest of the file is not ours to understand.

#include <QString>

#include <functional>

class DeviceCodec;
class QIODevice;

namespace MapSettings {

// One record: OV2 units and the name's device bytes as text.
struct Record {
    qint32 lon = 0, lat = 0;
    QString name;
};

// Scans `in` from its current position to its end in blocks, so a file of any size
// costs a block of memory; calls `found` for every complete record, in order. Names
// keep their first 64 KiB.
// Returns false when reading fails.
bool scan(QIODevice &in, const DeviceCodec &codec, const std::function<void(const Record &)> &found);

// OV2 units as the decimal degrees AddPoi reads: "." and no exponent, at most 15
// significant digits ("19.935", "-0.00001", "0").
QString degreesText(qint32 units);

} // namespace MapSettings
