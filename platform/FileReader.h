// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

// The one way the program reads a file: regular files only, opened without blocking (a
// FIFO with no writer, a socket or a device is refused at once), and no larger than a
// cap chosen per kind, so hostile input can neither hang a reader nor fill the memory.
// Failures are whole messages naming the file.
namespace FileReader {

// Caps per kind of input; a real file of the kind is far smaller.
inline constexpr qint64 MaxListBytes = qint64(1) << 30;     // POI lists, itineraries, archives read whole
inline constexpr qint64 MaxXmlBytes = qint64(256) << 20;    // GPX, KML, feeds, map layers
inline constexpr qint64 MaxPictureBytes = qint64(64) << 20; // bitmaps, icons, start-up pictures
inline constexpr qint64 MaxSoundBytes = qint64(512) << 20;  // wave and ogg files
inline constexpr qint64 MaxSmallBytes = qint64(16) << 20;   // settings, descriptions, schemes
inline constexpr qint64 MaxRowsBytes = qint64(256) << 20;   // rows of text on standard input

// "Not a regular file: PATH", "The file is too large: PATH", "PATH: reason".
QString notRegular(const QString &path);
QString tooLarge(const QString &path);

// The whole file, or nothing with the message in `error`.
std::optional<QByteArray> read(const QString &path, qint64 cap, QString *error = nullptr);
// Opens `file` for reading on the regular file `path` of at most `cap` bytes (the size
// as it is now, for readers that stream); an empty text on success, else the message.
QString open(QFile &file, const QString &path, qint64 cap);
// At most `cap` bytes of an already open descriptor (standard input): more is refused
// with "The file is too large: NAME".
std::optional<QByteArray> readStream(int fd, const QString &name, qint64 cap, QString *error = nullptr);

} // namespace FileReader
