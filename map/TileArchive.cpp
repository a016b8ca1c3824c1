// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/TileArchive.h"

#include "map/MBTiles.h"
#include "map/PMTiles.h"
#include "platform/FileReader.h"

#include <QCoreApplication>
#include <QFile>

namespace TileArchive {

// Archives of whole countries run to many gigabytes; only their ranges are read.
constexpr qint64 MaxArchiveBytes = qint64(1) << 50;

std::unique_ptr<Reader> open(const QString &path, QString *error)
{
    QFile file;
    if (QString e = FileReader::open(file, path, MaxArchiveBytes); !e.isEmpty()) {
        if (error)
            *error = e;
        return nullptr;
    }
    const QByteArray head = file.read(16);
    file.close();
    if (head.startsWith("PMTiles"))
        return PMTilesReader::open(path, error);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return MBTilesReader::open(path, error);
    if (error)
        *error = QStringLiteral("%1: %2").arg(
            path, QCoreApplication::translate("TileArchive", "Not a tile archive (MBTiles or PMTiles)"));
    return nullptr;
}

QByteArray mimeType(const QByteArray &tile)
{
    if (tile.startsWith("\x89PNG"))
        return "image/png";
    if (tile.startsWith("\xff\xd8"))
        return "image/jpeg";
    if (tile.startsWith("RIFF") && tile.mid(8, 4) == "WEBP")
        return "image/webp";
    return "application/octet-stream";
}

bool validTile(int z, int x, int y)
{
    return z >= 0 && z <= 30 && x >= 0 && y >= 0 && qint64(x) < (qint64(1) << z) && qint64(y) < (qint64(1) << z);
}

} // namespace TileArchive
