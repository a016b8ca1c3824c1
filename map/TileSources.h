// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the map's tiles come from when they come through our own URL scheme: the
// archives the user chose (settings "Map"/"TileArchives"), the online templates (their
// tiles pass the disk cache), and the built-in world. The page only ever sees short
// ids; the host maps them back, so a page cannot make the host read any file or
// fetch any address.

#include <QJsonArray>
#include <QString>
#include <QStringList>

class KorvixSettings;

namespace TileSources {

inline constexpr char Scheme[] = "korvix-tiles";

// The archives' paths, in the user's order.
QStringList archivePaths(const KorvixSettings &settings);
void setArchivePaths(KorvixSettings &settings, const QStringList &paths);
// The cache's size limit in bytes ("Map"/"TileCacheMB", 500 MB by default).
qint64 cacheLimit(const KorvixSettings &settings);
// $XDG_CACHE_HOME/Korvix/tiles/
QString cacheFolder();

// "korvix-tiles://archive/ID/{z}/{x}/{y}" for an archive, registered for the handler.
QString archiveUrl(const QString &path);
// "korvix-tiles://web/ID/{z}/{x}/{y}" for an online template, registered likewise.
QString webUrl(const QString &urlTemplate);
// The registered archive path or template of an id; empty when unknown.
QString archivePath(const QString &id);
QString webTemplate(const QString &id);
// A template's address of one tile ({z} {x} {y}, {s} as "a", {r} as nothing).
QString tileAddress(const QString &urlTemplate, int z, int x, int y);

// The archives as the page's base layers: name, url, attribution, zoom range and
// bounds from each archive, or its error message (a layer without tiles).
QJsonArray archiveLayers(const QStringList &paths);

} // namespace TileSources
