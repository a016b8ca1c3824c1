#pragma once
#include <QByteArray>
#include <QString>

#include <functional>

class ChunkedOut;

// Every file the program writes goes through QSaveFile: a temporary file, then an
// atomic replace, so a failed save never destroys the old file.
namespace AtomicFile {
// Returns an empty text on success, else the reason.
QString write(const QString &path, const QByteArray &data);
// The same for output produced piece by piece: `fill` writes into the chunks. An
// exception from `fill` leaves the old file and goes on to the caller.
QString writeStreamed(const QString &path, const std::function<void(ChunkedOut &)> &fill);
} // namespace AtomicFile
