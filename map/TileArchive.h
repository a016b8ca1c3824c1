// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Raster tile archives opened from disk (MBTiles, PMTiles): one reader per format
// behind one small interface. Every failure is a whole message naming the file; a
// hostile archive gives a message, never a hang or an unbounded read.

#include <QByteArray>
#include <QMap>
#include <QString>

#include <memory>
#include <optional>

namespace TileArchive {

// No raster tile comes near this; a larger one is refused rather than read.
inline constexpr qint64 MaxTileBytes = qint64(16) << 20;

struct Info {
    QString path;
    QString format;          // "MBTiles" or "PMTiles"
    QString name, attribution, description;
    QString tileType;        // "png", "jpg", "webp" or empty when unknown
    int minZoom = 0, maxZoom = 19;
    bool hasBounds = false;
    double west = -180, south = -85.0511, east = 180, north = 85.0511;
    qint64 tileCount = -1;   // -1: the archive does not tell
    QMap<QString, QString> metadata;
};

class Reader {
public:
    virtual ~Reader() = default;
    const Info &info() const { return m_info; }
    // The tile in the archive's own encoding (PNG, JPEG, WebP); nothing with `error`
    // empty when the archive has no such tile, nothing with the message when it fails.
    // z/x/y in the usual web order (y from the north).
    virtual std::optional<QByteArray> tile(int z, int x, int y, QString *error) = 0;

protected:
    Info m_info;
};

// The reader for `path` by its first bytes, or nothing with the message in `error`.
std::unique_ptr<Reader> open(const QString &path, QString *error);

// The MIME type of a tile by its first bytes (image/png, image/jpeg, image/webp).
QByteArray mimeType(const QByteArray &tile);

// Whether z/x/y names a tile of the web grid at all.
bool validTile(int z, int x, int y);

} // namespace TileArchive
