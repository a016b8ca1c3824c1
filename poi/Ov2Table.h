// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class DeviceCodec;
class IProgress;
class Ov2Data;
class Ov2PointList;
class TRBParamsTable;

// The POI list as the grid holds it: row 0 the header, field 0 the row number,
// fields 1-4 longitude, latitude, description, type/level.
constexpr int kPoiColumns = 5;

// Replaces the data rows with the POIs read; a read without POIs leaves one empty
// data row. Row 0 is kept.
void fillPoiRows(const Ov2Data &data, TRBParamsTable &table, const DeviceCodec &codec,
                 IProgress *progress = nullptr);

// Reading a whole file into the list (both passes, then the rows). On an error the
// text is returned and the table is left as it was.
QString readOv2IntoTable(const QString &path, TRBParamsTable &table, const DeviceCodec &codec,
                         IProgress *progress = nullptr);
// One category of a poi.dat into the list.
QString readPoiDatIntoTable(const QString &path, const QString &categoryText, TRBParamsTable &table,
                            const DeviceCodec &codec, IProgress *progress = nullptr);

// Rows 1 .. RowCount() - 1 for the writer, descriptions in device bytes. Rows whose
// longitude, latitude and description are all empty are left out. Throws KorvixError
// naming the row when a coordinate is not a whole number, or when no row is left.
Ov2PointList poiRowsToPoints(const TRBParamsTable &table, const DeviceCodec &codec);

// SaveOV2 of the list. Throws KorvixError; the old file survives a failure.
void SaveOV2(const QString &fileName, const TRBParamsTable &table, const DeviceCodec &codec,
             IProgress *progress = nullptr);
