// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

class DeviceCodec;
class Ov2Data;

// The line format of "ov2 dump" and "poidat dump": longitude, TAB, latitude, TAB,
// description, TAB, type/level, in UTF-8; backslash, TAB, CR and LF as \\ \t \r \n,
// other control characters and the code page's undefined bytes as \xHH. A list
// without POIs prints its one empty row.
QByteArray poiDumpLines(const Ov2Data &data, const DeviceCodec &codec);
// One text of a dump line: the device bytes escaped as above.
void appendDumpEscaped(QByteArray &out, QByteArrayView deviceBytes, const DeviceCodec &codec);
// The description of a dump line back to device bytes (the escapes undone).
QByteArray poiDumpUnescape(QByteArrayView text, const DeviceCodec &codec);
