// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MBTiles.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QThread>
#include <QVariant>

namespace {

QString uniqueConnection()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("korvix-mbtiles-%1-%2")
        .arg(quintptr(QThread::currentThreadId()))
        .arg(counter.fetchAndAddRelaxed(1));
}

void readBounds(TileArchive::Info &info, const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok)
            return;
    }
    if (v[0] < -180 || v[2] > 180 || v[1] < -90 || v[3] > 90 || v[0] >= v[2] || v[1] >= v[3])
        return;
    info.west = v[0];
    info.south = v[1];
    info.east = v[2];
    info.north = v[3];
    info.hasBounds = true;
}

} // namespace

MBTilesReader::~MBTilesReader()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

std::unique_ptr<MBTilesReader> MBTilesReader::open(const QString &path, QString *error)
{
    std::unique_ptr<MBTilesReader> r(new MBTilesReader);
    r->m_connection = uniqueConnection();
    auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, reason);
        return nullptr;
    };
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), r->m_connection);
        if (!db.isValid())
            return fail(QCoreApplication::translate("TileArchive", "The SQLite driver of Qt is missing"));
        db.setDatabaseName(path);
        // Read-only: an archive is never changed, and a damaged one is not "repaired".
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1000"));
        if (!db.open())
            return fail(db.lastError().text());
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT zoom_level, tile_column, tile_row, tile_data FROM tiles LIMIT 0")))
            return fail(QCoreApplication::translate("TileArchive", "Not an MBTiles archive: it has no table of tiles"));
        TileArchive::Info &info = r->m_info;
        info.path = path;
        info.format = QStringLiteral("MBTiles");
        if (q.exec(QStringLiteral("SELECT name, value FROM metadata LIMIT 1000")))
            while (q.next())
                info.metadata.insert(q.value(0).toString().left(256), q.value(1).toString().left(4096));
        info.name = info.metadata.value(QStringLiteral("name"));
        info.attribution = info.metadata.value(QStringLiteral("attribution"));
        info.description = info.metadata.value(QStringLiteral("description"));
        const QString format = info.metadata.value(QStringLiteral("format")).toLower();
        info.tileType = format == QLatin1String("jpeg") ? QStringLiteral("jpg") : format;
        readBounds(info, info.metadata.value(QStringLiteral("bounds")));
        if (!q.exec(QStringLiteral("SELECT min(zoom_level), max(zoom_level), count(*) FROM tiles")) || !q.next())
            return fail(QCoreApplication::translate("TileArchive", "Not an MBTiles archive: its table of tiles cannot be read"));
        info.tileCount = q.value(2).toLongLong();
        bool minOk = false, maxOk = false;
        const int lo = info.metadata.value(QStringLiteral("minzoom"), q.value(0).toString()).toInt(&minOk);
        const int hi = info.metadata.value(QStringLiteral("maxzoom"), q.value(1).toString()).toInt(&maxOk);
        if (minOk && maxOk && lo >= 0 && hi <= 30 && lo <= hi) {
            info.minZoom = lo;
            info.maxZoom = hi;
        }
    }
    return r;
}

std::optional<QByteArray> MBTilesReader::tile(int z, int x, int y, QString *error)
{
    if (error)
        error->clear();
    if (!TileArchive::validTile(z, x, y))
        return std::nullopt;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    // The size first, so a hostile row of a gigabyte is never read into memory.
    q.prepare(QStringLiteral("SELECT length(tile_data), CASE WHEN length(tile_data) <= ? THEN tile_data END "
                             "FROM tiles WHERE zoom_level = ? AND tile_column = ? AND tile_row = ?"));
    q.addBindValue(TileArchive::MaxTileBytes);
    q.addBindValue(z);
    q.addBindValue(x);
    q.addBindValue((1 << z) - 1 - y); // rows count from the south
    if (!q.exec()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_info.path, q.lastError().text());
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    if (q.value(0).toLongLong() > TileArchive::MaxTileBytes) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(
                m_info.path, QCoreApplication::translate("TileArchive", "The tile %1/%2/%3 is too large").arg(z).arg(x).arg(y));
        return std::nullopt;
    }
    return q.value(1).toByteArray();
}
