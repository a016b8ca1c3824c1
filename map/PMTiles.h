// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PMTiles version 3: a 127-byte header, a root directory, leaf directories and the
// tiles, addressed by the tile's place on a Hilbert curve. Our own reader: Debian has
// no maintained C++ decoder. Every range read is bounded and checked against the
// file's size; directories are capped in size and depth, so a directory that loops or
// points outside the file ends with a message.

#include "map/TileArchive.h"

#include <QCache>
#include <QFile>
#include <QString>

#include <vector>

namespace PMTiles {

struct Entry {
    quint64 tileId = 0;
    quint64 offset = 0;
    quint32 length = 0;
    quint32 runLength = 0; // 0: a leaf directory
};

inline constexpr qint64 MaxDirectoryBytes = qint64(8) << 20;   // compressed or not
inline constexpr qint64 MaxMetadataBytes = qint64(4) << 20;
inline constexpr int MaxDepth = 4;                            // root and three levels of leaves

// The tile's number on the curve: all tiles of lower zooms first, then the Hilbert
// index of x/y within zoom z.
quint64 tileId(int z, quint32 x, quint32 y);
// A directory's entries from its (decompressed) bytes; nothing with the reason when
// the bytes do not make one.
std::optional<std::vector<Entry>> parseDirectory(const QByteArray &bytes, QString *reason);
// gzip or zlib data inflated to at most `cap` bytes; nothing when broken or larger.
std::optional<QByteArray> inflate(const QByteArray &data, qint64 cap);

} // namespace PMTiles

class PMTilesReader : public TileArchive::Reader {
public:
    static std::unique_ptr<PMTilesReader> open(const QString &path, QString *error);
    std::optional<QByteArray> tile(int z, int x, int y, QString *error) override;

private:
    PMTilesReader() = default;
    std::optional<QByteArray> range(quint64 offset, quint64 length, QString *reason);
    std::optional<std::vector<PMTiles::Entry>> directory(quint64 offset, quint64 length, QString *reason);
    QString fail(const QString &reason) const;

    QFile m_file;
    quint64 m_size = 0;
    quint64 m_rootOffset = 0, m_rootLength = 0, m_metaOffset = 0, m_metaLength = 0;
    quint64 m_leafOffset = 0, m_leafLength = 0, m_dataOffset = 0, m_dataLength = 0;
    int m_internalCompression = 0, m_tileCompression = 0;
    std::vector<PMTiles::Entry> m_root;
    QCache<quint64, std::vector<PMTiles::Entry>> m_leaves{64};
};
