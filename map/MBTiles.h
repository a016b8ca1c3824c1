// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// MBTiles: an SQLite file with tables "metadata" (name, value) and "tiles"
// (zoom_level, tile_column, tile_row, tile_data), rows counted from the south (TMS).
// Read through Qt SQL's SQLite driver, read-only, one connection per reader.

#include "map/TileArchive.h"

#include <QString>

class MBTilesReader : public TileArchive::Reader {
public:
    ~MBTilesReader() override;
    // The reader, or nothing with "PATH: reason" in `error`.
    static std::unique_ptr<MBTilesReader> open(const QString &path, QString *error);
    std::optional<QByteArray> tile(int z, int x, int y, QString *error) override;

private:
    MBTilesReader() = default;
    QString m_connection; // unique per reader and thread
};
