// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tile archives made by the tests: tiles drawn with QImage, an MBTiles file written
// with Qt SQL, and a PMTiles writer of our own (test code; the reader is the program's).

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QtEndian>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include <zlib.h>

namespace TileFixtures {

// A 256-pixel tile of one colour, as PNG.
inline QByteArray pngTile(const QColor &colour, const char *format = "PNG")
{
    QImage img(256, 256, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    img.save(&b, format);
    return bytes;
}

using Key = std::tuple<int, int, int>; // z, x, y (y from the north)

// Tiles of zooms 0..`maxZoom`, each coloured by its zoom (red rising) and x (green).
inline std::map<Key, QByteArray> colouredTiles(int maxZoom)
{
    std::map<Key, QByteArray> tiles;
    for (int z = 0; z <= maxZoom; ++z)
        for (int x = 0; x < (1 << z); ++x)
            for (int y = 0; y < (1 << z); ++y)
                tiles[{z, x, y}] = pngTile(QColor(40 * z + 20, (x * 50) % 256, (y * 50) % 256));
    return tiles;
}

inline QString writeMBTiles(const QString &path, const std::map<Key, QByteArray> &tiles,
                            const QMap<QString, QString> &metadata)
{
    QFile::remove(path);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture-writer"));
        db.setDatabaseName(path);
        if (!db.open())
            return db.lastError().text();
        QSqlQuery q(db);
        q.exec("CREATE TABLE metadata (name text, value text)");
        q.exec("CREATE TABLE tiles (zoom_level integer, tile_column integer, tile_row integer, tile_data blob)");
        db.transaction();
        for (auto it = metadata.begin(); it != metadata.end(); ++it) {
            q.prepare("INSERT INTO metadata VALUES (?, ?)");
            q.addBindValue(it.key());
            q.addBindValue(it.value());
            q.exec();
        }
        for (const auto &[key, data] : tiles) {
            const auto [z, x, y] = key;
            q.prepare("INSERT INTO tiles VALUES (?, ?, ?, ?)");
            q.addBindValue(z);
            q.addBindValue(x);
            q.addBindValue((1 << z) - 1 - y); // TMS rows
            q.addBindValue(data);
            if (!q.exec())
                error = q.lastError().text();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture-writer"));
    return error;
}

// ---- PMTiles version 3

// The Hilbert number as the format's own writers compute it (rotation within each
// step's square, a different form from the reader's).
inline quint64 hilbertId(int z, quint32 x, quint32 y)
{
    quint64 acc = ((quint64(1) << (2 * z)) - 1) / 3;
    if (z == 0)
        return acc;
    int n = z - 1;
    for (quint32 s = 1u << n; s > 0; s >>= 1, --n) {
        const quint32 rx = s & x, ry = s & y;
        acc += quint64((3 * rx) ^ ry) << n;
        if (ry == 0) {
            if (rx != 0) {
                x = s - 1 - x;
                y = s - 1 - y;
            }
            std::swap(x, y);
        }
    }
    return acc;
}

inline void varint(QByteArray &out, quint64 v)
{
    while (v >= 0x80) {
        out.append(char((v & 0x7f) | 0x80));
        v >>= 7;
    }
    out.append(char(v));
}

struct DirEntry {
    quint64 id, offset;
    quint32 length, run;
};

inline QByteArray directory(const std::vector<DirEntry> &entries)
{
    QByteArray out;
    varint(out, entries.size());
    quint64 last = 0;
    for (const DirEntry &e : entries) {
        varint(out, e.id - last);
        last = e.id;
    }
    for (const DirEntry &e : entries)
        varint(out, e.run);
    for (const DirEntry &e : entries)
        varint(out, e.length);
    for (size_t i = 0; i < entries.size(); ++i)
        varint(out, i > 0 && entries[i].offset == entries[i - 1].offset + entries[i - 1].length ? 0
                                                                                                 : entries[i].offset + 1);
    return out;
}

inline QByteArray gzip(const QByteArray &data)
{
    z_stream zs{};
    deflateInit2(&zs, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&zs, uLong(data.size())) + 32), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(int(zs.total_out));
    deflateEnd(&zs);
    return out;
}

struct PMTilesOptions {
    int leafSize = 0;        // entries per leaf directory; 0: all in the root
    bool gzipDirectories = true;
    QJsonObject metadata;
    double west = -180, south = -85, east = 180, north = 85;
};

// Field offsets of the header, for tests that damage one.
enum HeaderField { RootOffset = 8, RootLength = 16, LeafOffset = 40, LeafLength = 48, DataOffset = 56 };

inline void putU64(QByteArray &b, int at, quint64 v) { qToLittleEndian<quint64>(v, b.data() + at); }

inline QByteArray buildPMTiles(const std::map<Key, QByteArray> &tiles, const PMTilesOptions &o = {})
{
    std::vector<std::pair<quint64, QByteArray>> byId;
    int minZ = 99, maxZ = 0;
    for (const auto &[key, data] : tiles) {
        const auto [z, x, y] = key;
        byId.push_back({hilbertId(z, x, y), data});
        minZ = std::min(minZ, z);
        maxZ = std::max(maxZ, z);
    }
    std::sort(byId.begin(), byId.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QByteArray data;
    std::vector<DirEntry> entries;
    for (const auto &[id, bytes] : byId) {
        entries.push_back({id, quint64(data.size()), quint32(bytes.size()), 1});
        data += bytes;
    }
    auto pack = [&](const QByteArray &d) { return o.gzipDirectories ? gzip(d) : d; };
    QByteArray root, leaves;
    if (o.leafSize > 0) {
        std::vector<DirEntry> rootEntries;
        for (size_t i = 0; i < entries.size(); i += size_t(o.leafSize)) {
            std::vector<DirEntry> part(entries.begin() + qsizetype(i),
                                       entries.begin() + qsizetype(std::min(entries.size(), i + size_t(o.leafSize))));
            const QByteArray leaf = pack(directory(part));
            rootEntries.push_back({part.front().id, quint64(leaves.size()), quint32(leaf.size()), 0});
            leaves += leaf;
        }
        root = pack(directory(rootEntries));
    } else {
        root = pack(directory(entries));
    }
    const QByteArray meta = pack(QJsonDocument(o.metadata).toJson(QJsonDocument::Compact));
    QByteArray h(127, '\0');
    memcpy(h.data(), "PMTiles", 7);
    h[7] = 3;
    const quint64 rootAt = 127, metaAt = rootAt + root.size(), leafAt = metaAt + meta.size(),
                  dataAt = leafAt + leaves.size();
    putU64(h, 8, rootAt);
    putU64(h, 16, root.size());
    putU64(h, 24, metaAt);
    putU64(h, 32, meta.size());
    putU64(h, 40, leafAt);
    putU64(h, 48, leaves.size());
    putU64(h, 56, dataAt);
    putU64(h, 64, data.size());
    putU64(h, 72, byId.size());
    putU64(h, 80, entries.size());
    putU64(h, 88, entries.size());
    h[96] = 1;                              // clustered
    h[97] = o.gzipDirectories ? 2 : 1;      // internal compression
    h[98] = 1;                              // tiles stored as they are
    h[99] = 2;                              // PNG
    h[100] = char(minZ);
    h[101] = char(maxZ);
    qToLittleEndian<qint32>(qint32(o.west * 1e7), h.data() + 102);
    qToLittleEndian<qint32>(qint32(o.south * 1e7), h.data() + 106);
    qToLittleEndian<qint32>(qint32(o.east * 1e7), h.data() + 110);
    qToLittleEndian<qint32>(qint32(o.north * 1e7), h.data() + 114);
    return h + root + meta + leaves + data;
}

// A PMTiles archive that opens, but whose only tile's leaf directory points back at
// itself: a reader that follows it without a limit never ends.
inline QByteArray loopingPMTiles()
{
    QByteArray leaf = directory({{1, 0, 0, 0}});
    for (int i = 0; i < 3; ++i) // its own length settles after a pass or two
        leaf = directory({{1, 0, quint32(leaf.size()), 0}});
    const QByteArray root = directory({{0, 0, quint32(leaf.size()), 0}});
    QByteArray h = buildPMTiles({{{0, 0, 0}, pngTile(Qt::red)}}, PMTilesOptions{0, false, {}}).left(127);
    putU64(h, RootLength, root.size());
    putU64(h, 24, 127 + root.size());
    putU64(h, 32, 0);
    putU64(h, LeafOffset, 127 + root.size());
    putU64(h, LeafLength, leaf.size());
    putU64(h, DataOffset, 127 + root.size() + leaf.size());
    putU64(h, 64, 0);
    return h + root + leaf;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace TileFixtures
