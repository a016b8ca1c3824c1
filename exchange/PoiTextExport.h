// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

class DeviceCodec;
class Ov2Data;
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
// The POIs as read from a file, without building rows.
QByteArray poiTextExport(const Ov2Data &data, PoiTextFormat format);

// Writes through QSaveFile; throws KorvixError.
void ExportPoiText(const TRBParamsTable &table, const QString &fileName, PoiTextFormat format,
                   const DeviceCodec &codec);
void ExportPoiText(const Ov2Data &data, const QString &fileName, PoiTextFormat format);
