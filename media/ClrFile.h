// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>

#include <vector>

class DeviceCodec;

// Colour scheme files (.clr): one "R,G,B // description" line per map colour. A
// colour number holds red in the low byte (0x00BBGGRR).
namespace Clr {

constexpr int EntryCount = 71;
// A real scheme is a few kilobytes; anything far beyond is no scheme and would only
// fill the grid.
constexpr qint64 MaxFileBytes = 1024 * 1024;

// Entry `entry` (1..71) in the user's language; empty for any other number.
QString description(int entry);
// The English text of entry `entry`, as the translation source holds it.
const char *sourceDescription(int entry);

// "$" + 8 upper-case hexadecimal digits, as the colour cells show a number.
QString colorCell(quint32 color);
// A cell read as a colour number: decimal, or hexadecimal after "$"; 0 when it is no
// number.
quint32 cellColor(QStringView cell);

// The colours of a scheme in entry order. On a field that is not an integer the
// colours before it are kept and the error names the text.
struct ReadResult {
    std::vector<quint32> colors;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
ReadResult readText(const QByteArray &data);
ReadResult readText(const QByteArray &data, const DeviceCodec &codec);
// The same from a file; a missing, unreadable or oversized file is an error too.
ReadResult readFile(const QString &path);

// The current value of a classic desktop colour index (0..30); black beyond.
QRgb systemColor(int index);
// A number with the top bit set names a system colour: its current value then.
quint32 resolveColor(quint32 number);

// One row of a scheme as the editor holds it: the colour cell's text and the
// description that becomes the comment.
struct Row {
    QString cell;
    QString description;
};
// The rows of an open scheme: the cells read, the editor's own descriptions.
QList<Row> rowsFor(const std::vector<quint32> &colors);
// The rows of a new scheme: 71 black entries.
QList<Row> newRows();
// The file's bytes: "%3.3d,%3.3d,%3.3d // %s" lines ended by CR LF.
QByteArray writeText(const QList<Row> &rows);
// `path` with its extension changed to ".clr".
QString clrPath(const QString &path);
// Writes the rows atomically under clrPath(path); empty on success, else the reason.
QString writeFile(const QString &path, const QList<Row> &rows);

} // namespace Clr
