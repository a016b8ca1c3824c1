// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QString>

class IProgress;
class Ov2Data;

// The device's built-in POI database "poi.dat": one block of OV2 records per
// category, found through one of two table layouts (a "POIS" header, or a plain
// count, ids and block offsets).

struct PoiCategoryName {
    qint32 id;
    const char *name;
};
// The 64 known category names, in id order.
const QList<PoiCategoryName> &CategoryTable();
// The category's name, or "?" for an id not in the table.
QString poiCategoryName(qint32 id);
// The node text of a category: "7311:Petrol Station".
QString poiCategoryText(qint32 id);
// The id of a node text: the text before its first ":" as a decimal integer, -1 when
// there is no ":" or that is not an integer.
qint32 poiCategoryId(const QString &categoryText);

// The categories as the content tree lists them, in file order. Counts of 0 or
// below, or of 512 and more, list nothing; ids read before a failure stay listed.
struct PoiDatListing {
    QList<qint32> ids;
    QString error;
};
PoiDatListing listPoiDat(const QString &path);
// The same on the first bytes of the file (the header, ids and table).
PoiDatListing listPoiDatBytes(const char *data, qint64 size);

// The block table as opened for reading: at most 128 categories, every block inside
// the file, offsets never decreasing.
struct PoiDatTable {
    bool headerLayout = false; // the "POIS" layout
    QList<qint32> ids;
    QList<qint64> starts, ends;
};
// Reads the table from the file bytes; empty text on success.
QString readPoiDatTable(const char *data, qint64 size, PoiDatTable &table);

// Reads one category's block (both passes over the block only) into `data`. A
// category that is not in the file reads nothing and is no error.
QString openPoiDatCategory(const QString &path, const QString &categoryText, Ov2Data &data,
                           IProgress *progress = nullptr, class Ov2PoiSink *sink = nullptr);
