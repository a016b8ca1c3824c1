// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text exports (exchange/PoiTextExport.h) of POIs as read from an OV2 file,
// without building rows: the descriptions go out as the device bytes they are.

#include "exchange/PoiTextExport.h"

class Ov2Data;

QByteArray poiTextExport(const Ov2Data &data, PoiTextFormat format);
// Through the atomic save; throws KorvixError naming the file.
void ExportPoiText(const Ov2Data &data, const QString &fileName, PoiTextFormat format);
