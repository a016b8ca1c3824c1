// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A TripMaster GPS log as a map layer: the track through every counting point, a
// marker per point, and a marker for every stop of an hour or more.

#include "map/MapLists.h"

#include <QByteArray>
#include <QString>

#include <optional>

class DeviceCodec;
class IProgress;

namespace TripMaster {

// Seconds since midnight of "H:MM" or "H:MM:SS"; nothing for anything else.
std::optional<int> timeOfDay(QStringView text);
// "1:05:00": hours without a leading zero.
QString duration(int seconds);
// Seconds from `start` to `end`, a day added when the end is earlier.
int stopLength(int start, int end);

// The calls for the log's text: WB_Poliline_clr, per counting line (field 7 above 0)
// its point, a stop marker and its own marker, then WB_Poliline("#00ff00",6).
// Progress per line.
void send(const QByteArray &log, const DeviceCodec &codec, IMapCalls &out, IProgress *progress = nullptr);

} // namespace TripMaster
