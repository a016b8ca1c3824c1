// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The host side of "korvix-tiles://": tiles of the user's archives, and the online
// templates' tiles through the disk cache (fetched with the program's agent, served
// from the cache while fresh, revalidated when stale, and served stale when the
// network does not answer). The scheme is registered before the application object
// exists (a static constructor of this file); install() puts the handler on a profile.

#include "map/TileArchive.h"
#include "map/TileCache.h"

#include <QHash>
#include <QWebEngineUrlSchemeHandler>

#include <memory>

class QNetworkAccessManager;
class QWebEngineProfile;

class TileSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    // The one handler of the program (created on first use, on the main thread).
    static TileSchemeHandler *instance();
    // Installs the handler on `profile` once.
    static void install(QWebEngineProfile *profile);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

    TileCache &cache() { return m_cache; }
    // Archives are opened once and kept; forget() drops them (a changed list).
    void forget() { m_archives.clear(); }
    // The last error message of an archive, for the page's notice.
    QString archiveError(const QString &path) const { return m_errors.value(path); }

private:
    explicit TileSchemeHandler(QObject *parent);
    void serveArchive(QWebEngineUrlRequestJob *job, const QString &id, int z, int x, int y);
    void serveWeb(QWebEngineUrlRequestJob *job, const QString &id, int z, int x, int y);

    TileCache m_cache;
    QNetworkAccessManager *m_nam;
    QHash<QString, std::shared_ptr<TileArchive::Reader>> m_archives;
    QHash<QString, QString> m_errors;
};
