// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tiles fetched from the network, kept on disk so the map works offline and servers
// are asked again only when their cache headers say so (max-age / Expires, then a
// revalidation with ETag / Last-Modified). One file per tile, written beside and
// renamed over (a crash may lose a tile, never leave half of one: each file carries
// its own lengths and a short one is no tile). Oldest out first past the size limit.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

class TileCache {
public:
    static constexpr qint64 DefaultLimit = qint64(500) << 20;

    struct Tile {
        QByteArray data, mimeType, etag, lastModified;
        QDateTime expires; // UTC
        bool fresh(const QDateTime &now) const { return expires.isValid() && now < expires; }
    };

    explicit TileCache(const QString &folder, qint64 limit = DefaultLimit);

    // The stored tile of `source` (a short id of letters and digits), fresh or stale.
    std::optional<Tile> find(const QString &source, int z, int x, int y) const;
    // Stores the tile, then trims the cache to its limit; the reason on failure.
    QString store(const QString &source, int z, int x, int y, const Tile &tile);
    // Bytes the cache takes on disk (its tiles).
    qint64 size() const;
    // Removes every tile; the first failure, or an empty text.
    QString clear();
    void setLimit(qint64 limit) { m_limit = limit; }
    qint64 limit() const { return m_limit; }
    const QString &folder() const { return m_folder; }

    // When a response stops being fresh, from Cache-Control's max-age (no-cache: at
    // once) or else Expires, else a day; nothing for no-store (not to be kept).
    static std::optional<QDateTime> expiry(const QByteArray &cacheControl, const QByteArray &expires,
                                           const QDateTime &now);

private:
    QString path(const QString &source, int z, int x, int y) const;
    void trim();

    QString m_folder;
    qint64 m_limit;
    mutable qint64 m_size = -1; // counted on first use, then kept up to date
};
