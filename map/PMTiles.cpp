// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/PMTiles.h"

#include "platform/FileReader.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <zlib.h>

namespace {

constexpr int HeaderBytes = 127;
constexpr qint64 MaxArchiveBytes = qint64(1) << 50;
enum Compression { Unknown = 0, None = 1, Gzip = 2 };

quint64 u64(const char *p) { return qFromLittleEndian<quint64>(p); }
qint32 i32(const char *p) { return qFromLittleEndian<qint32>(p); }

bool readVarint(const QByteArray &b, qsizetype &pos, quint64 &out)
{
    out = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (pos >= b.size())
            return false;
        const quint8 c = quint8(b[pos++]);
        out |= quint64(c & 0x7f) << shift;
        if (!(c & 0x80))
            return true;
    }
    return false;
}

} // namespace

namespace PMTiles {

quint64 tileId(int z, quint32 x, quint32 y)
{
    quint64 acc = ((quint64(1) << (2 * z)) - 1) / 3;
    const quint64 n = quint64(1) << z;
    quint64 tx = x, ty = y, d = 0;
    for (quint64 s = n / 2; s > 0; s /= 2) {
        const quint64 rx = (tx & s) ? 1 : 0, ry = (ty & s) ? 1 : 0;
        d += s * s * ((3 * rx) ^ ry);
        if (ry == 0) {
            if (rx == 1) {
                tx = n - 1 - tx;
                ty = n - 1 - ty;
            }
            std::swap(tx, ty);
        }
    }
    return acc + d;
}

std::optional<std::vector<Entry>> parseDirectory(const QByteArray &b, QString *reason)
{
    auto bad = [&](const char *why) {
        if (reason)
            *reason = QCoreApplication::translate("TileArchive", why);
        return std::nullopt;
    };
    qsizetype pos = 0;
    quint64 count = 0;
    if (!readVarint(b, pos, count))
        return bad(QT_TRANSLATE_NOOP("TileArchive", "A directory of the archive is broken"));
    // Each entry takes at least four bytes: more entries than that cannot be there.
    if (count > quint64(b.size()) / 4 + 1)
        return bad(QT_TRANSLATE_NOOP("TileArchive", "A directory of the archive is broken"));
    std::vector<Entry> entries(count);
    quint64 last = 0, v = 0;
    for (Entry &e : entries) {
        if (!readVarint(b, pos, v))
            return bad(QT_TRANSLATE_NOOP("TileArchive", "A directory of the archive is broken"));
        last += v;
        e.tileId = last;
    }
    for (Entry &e : entries) {
        if (!readVarint(b, pos, v) || v > 0xffffffffu)
            return bad(QT_TRANSLATE_NOOP("TileArchive", "A directory of the archive is broken"));
        e.runLength = quint32(v);
    }
    for (Entry &e : entries) {
        if (!readVarint(b, pos, v) || v > 0xffffffffu)
            return bad(QT_TRANSLATE_NOOP("TileArchive", "A directory of the archive is broken"));
        e.length = quint32(v);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!readVarint(b, pos, v))
            return bad(QT_TRANSLATE_NOOP("TileArchive", "A directory of the archive is broken"));
        if (v == 0 && i > 0)
            entries[i].offset = entries[i - 1].offset + entries[i - 1].length;
        else
            entries[i].offset = v - 1;
    }
    if (pos != b.size())
        return bad(QT_TRANSLATE_NOOP("TileArchive", "A directory of the archive is broken"));
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i].tileId <= entries[i - 1].tileId)
            return bad(QT_TRANSLATE_NOOP("TileArchive", "A directory of the archive is not in order"));
    return entries;
}

std::optional<QByteArray> inflate(const QByteArray &data, qint64 cap)
{
    z_stream zs{};
    if (inflateInit2(&zs, 15 + 32) != Z_OK) // gzip or zlib by its header
        return std::nullopt;
    QByteArray out;
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    char buffer[64 * 1024];
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        zs.next_out = reinterpret_cast<Bytef *>(buffer);
        zs.avail_out = sizeof buffer;
        rc = ::inflate(&zs, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END)
            break;
        out.append(buffer, qsizetype(sizeof buffer - zs.avail_out));
        if (out.size() > cap || (rc == Z_OK && zs.avail_in == 0 && zs.avail_out != 0))
            break;
    }
    inflateEnd(&zs);
    if (rc != Z_STREAM_END || out.size() > cap)
        return std::nullopt;
    return out;
}

} // namespace PMTiles

using namespace PMTiles;

QString PMTilesReader::fail(const QString &reason) const
{
    return QStringLiteral("%1: %2").arg(m_info.path, reason);
}

std::optional<QByteArray> PMTilesReader::range(quint64 offset, quint64 length, QString *reason)
{
    if (offset > m_size || length > m_size - offset) {
        *reason = QCoreApplication::translate("TileArchive", "A part of the archive lies past its end");
        return std::nullopt;
    }
    if (!m_file.seek(qint64(offset))) {
        *reason = m_file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = m_file.read(qint64(length));
    if (quint64(bytes.size()) != length) {
        *reason = bytes.size() < 0 ? m_file.errorString() : QCoreApplication::translate("TileArchive", "A part of the archive lies past its end");
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<Entry>> PMTilesReader::directory(quint64 offset, quint64 length, QString *reason)
{
    if (length > quint64(MaxDirectoryBytes)) {
        *reason = QCoreApplication::translate("TileArchive", "A directory of the archive is too large");
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = range(offset, length, reason);
    if (!bytes)
        return std::nullopt;
    if (m_internalCompression == Gzip) {
        bytes = PMTiles::inflate(*bytes, MaxDirectoryBytes);
        if (!bytes) {
            *reason = QCoreApplication::translate("TileArchive", "A directory of the archive cannot be unpacked");
            return std::nullopt;
        }
    }
    return parseDirectory(*bytes, reason);
}

std::unique_ptr<PMTilesReader> PMTilesReader::open(const QString &path, QString *error)
{
    std::unique_ptr<PMTilesReader> r(new PMTilesReader);
    r->m_info.path = path;
    r->m_info.format = QStringLiteral("PMTiles");
    auto fail = [&](const QString &reason) {
        if (error)
            *error = r->fail(reason);
        return nullptr;
    };
    if (QString e = FileReader::open(r->m_file, path, MaxArchiveBytes); !e.isEmpty()) {
        if (error)
            *error = e;
        return nullptr;
    }
    r->m_size = quint64(r->m_file.size());
    const QByteArray h = r->m_file.read(HeaderBytes);
    if (h.size() != HeaderBytes || !h.startsWith("PMTiles"))
        return fail(QCoreApplication::translate("TileArchive", "Not a PMTiles archive"));
    if (quint8(h[7]) != 3)
        return fail(QCoreApplication::translate("TileArchive", "PMTiles version %1 is not supported").arg(quint8(h[7])));
    const char *p = h.constData();
    r->m_rootOffset = u64(p + 8);
    r->m_rootLength = u64(p + 16);
    r->m_metaOffset = u64(p + 24);
    r->m_metaLength = u64(p + 32);
    r->m_leafOffset = u64(p + 40);
    r->m_leafLength = u64(p + 48);
    r->m_dataOffset = u64(p + 56);
    r->m_dataLength = u64(p + 64);
    r->m_internalCompression = quint8(h[97]);
    r->m_tileCompression = quint8(h[98]);
    if (r->m_internalCompression != None && r->m_internalCompression != Gzip)
        return fail(QCoreApplication::translate("TileArchive", "The archive's directories are packed in a way not supported"));
    if (r->m_tileCompression != None && r->m_tileCompression != Gzip && r->m_tileCompression != Unknown)
        return fail(QCoreApplication::translate("TileArchive", "The archive's tiles are packed in a way not supported"));
    TileArchive::Info &info = r->m_info;
    static const char *const types[] = {"", "mvt", "png", "jpg", "webp", "avif"};
    const int type = quint8(h[99]);
    info.tileType = type < 6 ? QString::fromLatin1(types[type]) : QString();
    if (type == 1 || type == 5)
        return fail(QCoreApplication::translate("TileArchive", "The archive holds no raster tiles"));
    info.tileCount = qint64(u64(p + 72));
    const int lo = quint8(h[100]), hi = quint8(h[101]);
    if (lo <= hi && hi <= 30) {
        info.minZoom = lo;
        info.maxZoom = hi;
    }
    const double w = i32(p + 102) / 1e7, s = i32(p + 106) / 1e7, e = i32(p + 110) / 1e7, n = i32(p + 114) / 1e7;
    if (w >= -180 && e <= 180 && s >= -90 && n <= 90 && w < e && s < n) {
        info.west = w;
        info.south = s;
        info.east = e;
        info.north = n;
        info.hasBounds = true;
    }
    QString reason;
    std::optional<std::vector<Entry>> root = r->directory(r->m_rootOffset, r->m_rootLength, &reason);
    if (!root)
        return fail(reason);
    r->m_root = std::move(*root);
    if (r->m_metaLength > 0) {
        if (r->m_metaLength > quint64(MaxMetadataBytes))
            return fail(QCoreApplication::translate("TileArchive", "The archive's description is too large"));
        std::optional<QByteArray> meta = r->range(r->m_metaOffset, r->m_metaLength, &reason);
        if (!meta)
            return fail(reason);
        if (r->m_internalCompression == Gzip)
            meta = PMTiles::inflate(*meta, MaxMetadataBytes);
        if (!meta)
            return fail(QCoreApplication::translate("TileArchive", "The archive's description cannot be unpacked"));
        const QJsonObject o = QJsonDocument::fromJson(*meta).object();
        for (auto it = o.begin(); it != o.end(); ++it)
            if (it->isString() || it->isDouble())
                info.metadata.insert(it.key().left(256), it->toVariant().toString().left(4096));
        info.name = info.metadata.value(QStringLiteral("name"));
        info.attribution = info.metadata.value(QStringLiteral("attribution"));
        info.description = info.metadata.value(QStringLiteral("description"));
    }
    return r;
}

std::optional<QByteArray> PMTilesReader::tile(int z, int x, int y, QString *error)
{
    if (error)
        error->clear();
    if (!TileArchive::validTile(z, x, y) || z > 26)
        return std::nullopt;
    const quint64 id = PMTiles::tileId(z, quint32(x), quint32(y));
    const std::vector<Entry> *dir = &m_root;
    QString reason;
    // The depth cap ends a directory that points back at itself or an ancestor.
    for (int depth = 0; depth < MaxDepth; ++depth) {
        auto it = std::upper_bound(dir->begin(), dir->end(), id,
                                   [](quint64 v, const Entry &e) { return v < e.tileId; });
        if (it == dir->begin())
            return std::nullopt;
        const Entry &e = *(it - 1);
        if (e.runLength > 0) {
            if (id - e.tileId >= e.runLength)
                return std::nullopt;
            if (e.length > TileArchive::MaxTileBytes) {
                if (error)
                    *error = fail(QCoreApplication::translate("TileArchive", "The tile %1/%2/%3 is too large").arg(z).arg(x).arg(y));
                return std::nullopt;
            }
            if (e.offset > m_dataLength || e.length > m_dataLength - e.offset) {
                if (error)
                    *error = fail(QCoreApplication::translate("TileArchive", "A part of the archive lies past its end"));
                return std::nullopt;
            }
            std::optional<QByteArray> bytes = range(m_dataOffset + e.offset, e.length, &reason);
            if (bytes && m_tileCompression == Gzip)
                if (!(bytes = PMTiles::inflate(*bytes, TileArchive::MaxTileBytes)))
                    reason = QCoreApplication::translate("TileArchive", "The tile %1/%2/%3 cannot be unpacked").arg(z).arg(x).arg(y);
            if (!bytes && error)
                *error = fail(reason);
            return bytes;
        }
        if (e.offset > m_leafLength || e.length > m_leafLength - e.offset) {
            if (error)
                *error = fail(QCoreApplication::translate("TileArchive", "A part of the archive lies past its end"));
            return std::nullopt;
        }
        const quint64 at = m_leafOffset + e.offset;
        if (!m_leaves.contains(at)) {
            std::optional<std::vector<Entry>> leaf = directory(at, e.length, &reason);
            if (!leaf) {
                if (error)
                    *error = fail(reason);
                return std::nullopt;
            }
            m_leaves.insert(at, new std::vector<Entry>(std::move(*leaf)));
        }
        dir = m_leaves.object(at);
    }
    if (error)
        *error = fail(QCoreApplication::translate("TileArchive", "The archive's directories nest too deep"));
    return std::nullopt;
}
