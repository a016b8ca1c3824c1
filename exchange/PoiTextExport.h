// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/GeoPoint.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <vector>

class ChunkedOut;
class DeviceCodec;
class TRBParamsTable;

// Text exports of a POI list: one line per row, CR LF, no header: longitude, ",",
// latitude, ",", description (quoted in the quoted kind). Double quotes and commas
// inside the texts become "_"; coordinates stay in OV2 units; the description goes
// out as the device bytes it is.
enum class PoiTextFormat { PlainCsv, Asc, QuotedCsv };

// "csv", "asc", "qcsv".
bool poiTextFormatFromName(const QString &name, PoiTextFormat *format);
// The chosen name with the extension of the kind (".csv" or ".asc").
QString poiTextExportFileName(const QString &chosen, PoiTextFormat format);

// Rows 1 .. RowCount() - 1, columns 1 to 3.
QByteArray poiTextExport(const TRBParamsTable &table, PoiTextFormat format, const DeviceCodec &codec);
QByteArray poiTextExport(const std::vector<GeoPoint> &points, PoiTextFormat format, const DeviceCodec &codec);

// For other sources (an OV2 file's records, without building rows): one line from
// texts already in device bytes, and a number as its decimal text in `buf`.
void putPoiTextLine(ChunkedOut &out, QByteArrayView lon, QByteArrayView lat, QByteArrayView desc, PoiTextFormat format);
QByteArrayView poiTextNumber(char (&buf)[12], qint32 v);

// Writes through the atomic save; throws KorvixError naming the file.
void ExportPoiText(const TRBParamsTable &table, const QString &fileName, PoiTextFormat format,
                   const DeviceCodec &codec);
void writePoiText(const QString &fileName, const std::function<void(ChunkedOut &)> &fill);
