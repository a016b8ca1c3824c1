#pragma once
#include <QByteArray>
#include <QString>

// Every file the program writes goes through QSaveFile: a temporary file, then an
// atomic replace, so a failed save never destroys the old file.
namespace AtomicFile {
// Returns an empty text on success, else the reason.
QString write(const QString &path, const QByteArray &data);
} // namespace AtomicFile
