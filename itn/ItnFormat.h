// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ITN itinerary format: 8-bit text, one point per line, four fields each
// followed by a vertical bar (longitude|latitude|name|flag|), lines ended by CR LF.
// Coordinates are integers of 1/100000 degree. Rows here are grid rows: field 0 is
// the row-number column, fields 1..4 the four fields.

#include "core/RBParamsTable.h"
#include "exchange/KmlImport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class DeviceCodec;
class IProgress;

namespace Itn {

// The device drives at most this many points of one itinerary.
constexpr int MaxPoints = 48;
// The flag column: 0 for every point the editor adds.
constexpr int FlagColumn = 4;

// Lines end at CR LF, LF or a lone CR; a last terminator adds no empty line, so an
// empty text has no line.
QStringList splitLines(QStringView text);

// The four fields of one line, as ParseFields (bar, double quote, trim blanks) cuts
// it; missing fields are empty.
QStringList lineFields(QStringView line);
// A grid row for one line: field 0 empty (the grid numbers it), then the fields
// stored as the grid's SetCell stores them, so trailing empty fields are not added
// and saving the row gives the line back.
TRBParams rowFromLine(QStringView line);

// A row is written when one of its columns 1..4 holds text.
bool rowHasPoint(const TRBParams &row);
// JoinFields from field 1 with a bar and no quotes, then a bar and CR LF.
QString lineOf(const TRBParams &row);

// Itineraries, KML documents and Targeo routes are small: a file beyond this is
// refused, so a wrong choice (a disk image, a device) cannot exhaust the memory.
constexpr qint64 MaxInputBytes = qint64(256) * 1024 * 1024;
// A KML document takes about twenty times its size as a document tree.
constexpr qint64 MaxKmlBytes = qint64(64) * 1024 * 1024;
// A whole itinerary or import file. Throws KorvixError with the file system's
// reason, or "The file is too large" beyond maxBytes.
QByteArray readInputFile(const QString &path, qint64 maxBytes = MaxInputBytes);

// File bytes to rows (one per line). The device code page decodes the bytes.
std::vector<TRBParams> readRows(QByteArrayView bytes, const DeviceCodec &codec);
// Reads a file; throws KorvixError with the file system's reason.
std::vector<TRBParams> readFile(const QString &path, const DeviceCodec &codec);

// The grid holds more rows (header included) than the device takes points: the
// editor asks whether to split.
inline bool needsSplitQuestion(int gridRowCount) { return gridRowCount > MaxPoints; }

// Without split: `path` with its extension replaced by ".itn", except a file named
// exactly "temporary.iti", which keeps its name.
QString singleFileName(const QString &path);
// Split mode: file 0 is `path` itself, file n is `path` without its extension + n
// as two digits + ".itn" (route.itn, route01.itn, route02.itn, ...).
QString splitFileName(const QString &path, int n);

struct SaveFile {
    QString path;
    int first = 0;  // index into the rows that hold a point
    int count = 0;
};
// The files a save writes for `points` rows that hold a point. Split mode gives
// files of MaxPoints points; a remainder without a point gets no file of its own,
// so the device never receives an empty itinerary it did not ask for.
std::vector<SaveFile> planSave(const QString &path, int points, bool split);

// Writes rows 1.. of `rows` (row 0 is the header and is never written), skipping
// empty ones, into the files of planSave. Progress per row with the status "SaveItn"
// or "SaveItnSplit". Returns the files written; throws KorvixError when one cannot
// be written (files already written stay), and before writing anything when a row's
// longitude or latitude is not a whole number.
QStringList writeRows(const QString &path, const TRBParamsTable &rows, bool split,
                      const DeviceCodec &codec, IProgress *progress = nullptr);
// The rows holding a point, in order (row indexes of `rows`, header excluded).
// Throws KorvixError naming the first such row whose coordinates are not whole
// numbers.
std::vector<int> pointRows(const TRBParamsTable &rows);

// A cell read as an integer (blanks around allowed); anything else is 0.
qint64 cellInteger(QStringView text);
// Text without leading and trailing blanks and control characters.
QString trimName(QStringView text);

// The cells AddItn stores: longitude and latitude units, the trimmed name, flag 0.
struct PointCells {
    QString lon, lat, name, flag;
};
PointCells pointCells(QStringView lon, QStringView lat, QStringView name);

} // namespace Itn
