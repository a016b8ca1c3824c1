// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/TileSources.h"

#include "core/Settings.h"
#include "map/TileArchive.h"
#include "platform/Folders.h"
#include "platform/Settings.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>

namespace TileSources {

namespace {

// What each short id of the page stands for, by kind ("archive": a file, "web": an
// online template).
struct Registry {
    QMutex mutex;
    QHash<QString, QHash<QString, QString>> byKind;
};
Registry &registry()
{
    static Registry r;
    return r;
}

QString idOf(const QString &kind, const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash((kind + QLatin1Char('\n') + text).toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

QString registered(const QString &kind, const QString &text)
{
    const QString id = idOf(kind, text);
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.byKind[kind].insert(id, text);
    return QStringLiteral("%1://%2/%3/{z}/{x}/{y}").arg(QLatin1String(Scheme), kind, id);
}

QString lookUp(const QString &kind, const QString &id)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.byKind.value(kind).value(id);
}

} // namespace

QStringList archivePaths(const KorvixSettings &settings)
{
    QStringList out;
    const QJsonArray list =
        QJsonDocument::fromJson(Prefs::tiles(settings).archiveList().toUtf8()).array();
    for (const QJsonValue &v : list)
        if (v.isString() && !v.toString().isEmpty() && !out.contains(v.toString()))
            out << v.toString();
    return out;
}

void setArchivePaths(KorvixSettings &settings, const QStringList &paths)
{
    Prefs::tiles(settings).setArchiveList(
        QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(paths)).toJson(QJsonDocument::Compact)));
}

qint64 cacheLimit(const KorvixSettings &settings)
{
    const int mb = Prefs::tiles(settings).cacheMegabytes();
    return qint64(std::max(mb, 1)) << 20;
}

QString cacheFolder()
{
    return Folders::CommonDataFolder() + QStringLiteral("tiles/");
}

QString archiveUrl(const QString &path)
{
    return registered(QStringLiteral("archive"), path);
}

QString webUrl(const QString &urlTemplate)
{
    return registered(QStringLiteral("web"), urlTemplate);
}

QString archivePath(const QString &id)
{
    return lookUp(QStringLiteral("archive"), id);
}

QString webTemplate(const QString &id)
{
    return lookUp(QStringLiteral("web"), id);
}

QString tileAddress(const QString &urlTemplate, int z, int x, int y)
{
    QString u = urlTemplate;
    u.replace(QLatin1String("{z}"), QString::number(z));
    u.replace(QLatin1String("{x}"), QString::number(x));
    u.replace(QLatin1String("{y}"), QString::number(y));
    u.replace(QLatin1String("{-y}"), QString::number((1 << z) - 1 - y));
    u.replace(QLatin1String("{s}"), QLatin1String("a"));
    u.replace(QLatin1String("{r}"), QString());
    return u;
}

QJsonArray archiveLayers(const QStringList &paths)
{
    QJsonArray out;
    for (const QString &path : paths) {
        QString error;
        const std::unique_ptr<TileArchive::Reader> reader = TileArchive::open(path, &error);
        // Names and attributions reach the page's HTML (Leaflet's controls): escaped.
        QJsonObject layer{{"name", QFileInfo(path).completeBaseName().toHtmlEscaped()}, {"url", archiveUrl(path)}};
        if (!reader) {
            layer.insert("error", error);
        } else {
            const TileArchive::Info &info = reader->info();
            if (!info.name.isEmpty())
                layer.insert("name", info.name.toHtmlEscaped());
            layer.insert("attribution", info.attribution.toHtmlEscaped());
            layer.insert("minZoom", info.minZoom);
            layer.insert("maxZoom", info.maxZoom);
            if (info.hasBounds)
                layer.insert("bounds", QJsonArray{info.south, info.west, info.north, info.east});
        }
        out.append(layer);
    }
    return out;
}

} // namespace TileSources
