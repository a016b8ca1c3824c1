// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/TileCache.h"

#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/ReplacedFile.h"

#include <QDataStream>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>
#include <vector>

namespace {
constexpr quint32 Magic = 0x4b585431; // "KXT1"
constexpr qint64 MaxFieldBytes = 4096;
constexpr qint64 MaxTileFileBytes = qint64(16) << 20;
const QString Suffix = QStringLiteral(".tile");
} // namespace

TileCache::TileCache(const QString &folder, qint64 limit) : m_folder(folder), m_limit(limit)
{
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

QString TileCache::path(const QString &source, int z, int x, int y) const
{
    return QStringLiteral("%1%2/%3/%4/%5%6").arg(m_folder, source).arg(z).arg(x).arg(y).arg(Suffix);
}

std::optional<TileCache::Tile> TileCache::find(const QString &source, int z, int x, int y) const
{
    static const QRegularExpression id(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
    if (!id.match(source).hasMatch())
        return std::nullopt;
    const std::optional<QByteArray> bytes = FileReader::read(path(source, z, x, y), MaxTileFileBytes);
    if (!bytes)
        return std::nullopt;
    QDataStream in(*bytes);
    quint32 magic = 0;
    qint64 expires = 0;
    Tile t;
    in >> magic >> expires >> t.mimeType >> t.etag >> t.lastModified >> t.data;
    // A short or damaged file (a crash before its data reached the disk) is no tile.
    if (in.status() != QDataStream::Ok || magic != Magic || !in.atEnd() || t.data.isEmpty())
        return std::nullopt;
    t.expires = QDateTime::fromMSecsSinceEpoch(expires, Qt::UTC);
    return t;
}

QString TileCache::store(const QString &source, int z, int x, int y, const Tile &tile)
{
    const QString target = path(source, z, x, y);
    if (!QDir().mkpath(QFileInfo(target).path()))
        return QStringLiteral("%1: cannot create the folder").arg(QFileInfo(target).path());
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << Magic << tile.expires.toMSecsSinceEpoch() << tile.mimeType.left(MaxFieldBytes)
            << tile.etag.left(MaxFieldBytes) << tile.lastModified.left(MaxFieldBytes) << tile.data;
    }
    const qint64 old = QFileInfo(target).size();
    // No data sync: a cache may lose a tile to a crash, and its lengths tell a short file.
    ReplacedFile file(target);
    if (QString e = file.open(); !e.isEmpty())
        return QStringLiteral("%1: %2").arg(target, e);
    if (file.device().write(bytes) != bytes.size())
        return QStringLiteral("%1: %2").arg(target, file.device().errorString());
    if (QString e = file.commit(QDateTime::currentDateTime(), false); !e.isEmpty())
        return QStringLiteral("%1: %2").arg(target, e);
    if (m_size >= 0)
        m_size += bytes.size() - old;
    if (size() > m_limit)
        trim();
    return {};
}

qint64 TileCache::size() const
{
    if (m_size < 0) {
        m_size = 0;
        QDirIterator it(m_folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            m_size += it.fileInfo().size();
        }
    }
    return m_size;
}

void TileCache::trim()
{
    struct File {
        QString path;
        QDateTime time;
        qint64 size;
    };
    std::vector<File> files;
    qint64 total = 0;
    QDirIterator it(m_folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        files.push_back({fi.filePath(), fi.lastModified(), fi.size()});
        total += fi.size();
    }
    std::sort(files.begin(), files.end(), [](const File &a, const File &b) { return a.time < b.time; });
    // Down to nine tenths, so the next tiles do not trim again at once.
    const qint64 goal = m_limit - m_limit / 10;
    for (const File &f : files) {
        if (total <= goal)
            break;
        if (QFile::remove(f.path))
            total -= f.size;
    }
    m_size = total;
}

QString TileCache::clear()
{
    QDir dir(m_folder);
    m_size = -1;
    if (!dir.exists())
        return {};
    if (!dir.removeRecursively())
        return QStringLiteral("%1: cannot remove every tile").arg(m_folder);
    return {};
}

std::optional<QDateTime> TileCache::expiry(const QByteArray &cacheControl, const QByteArray &expires,
                                           const QDateTime &now)
{
    const QByteArray cc = cacheControl.toLower();
    if (cc.contains("no-store"))
        return std::nullopt;
    if (cc.contains("no-cache"))
        return now;
    static const QRegularExpression maxAge(QStringLiteral("(?:^|[,\\s])max-age\\s*=\\s*\"?(\\d+)"));
    if (const QRegularExpressionMatch m = maxAge.match(QString::fromLatin1(cc)); m.hasMatch())
        return now.addSecs(std::min<qint64>(m.captured(1).toLongLong(), qint64(365) * 86400));
    if (!expires.isEmpty()) {
        QDateTime t = QLocale::c().toDateTime(QString::fromLatin1(expires.trimmed()),
                                              QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
        if (t.isValid()) {
            t.setTimeSpec(Qt::UTC);
            return t;
        }
        return now; // an Expires that cannot be read means already expired
    }
    return now.addDays(1);
}
