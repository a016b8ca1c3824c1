// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/TileScheme.h"

#include "map/TileSources.h"
#include "platform/Settings.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace {

// Before any application object: the browser reads its schemes once, at start.
void registerScheme()
{
    QWebEngineUrlScheme scheme(TileSources::Scheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}
Q_CONSTRUCTOR_FUNCTION(registerScheme)

void replyWith(QWebEngineUrlRequestJob *job, const QByteArray &mime, const QByteArray &data)
{
    auto *buffer = new QBuffer(job);
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    job->reply(mime, buffer);
}

} // namespace

TileSchemeHandler *TileSchemeHandler::instance()
{
    static QPointer<TileSchemeHandler> handler;
    if (!handler)
        handler = new TileSchemeHandler(QCoreApplication::instance());
    return handler;
}

void TileSchemeHandler::install(QWebEngineProfile *profile)
{
    if (!profile->urlSchemeHandler(TileSources::Scheme))
        profile->installUrlSchemeHandler(TileSources::Scheme, instance());
}

TileSchemeHandler::TileSchemeHandler(QObject *parent)
    : QWebEngineUrlSchemeHandler(parent),
      m_cache(TileSources::cacheFolder(), TileSources::cacheLimit(KorvixSettings())),
      m_nam(new QNetworkAccessManager(this))
{
}

void TileSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    const QStringList parts = url.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    bool okZ = false, okX = false, okY = false;
    const int z = parts.value(1).toInt(&okZ), x = parts.value(2).toInt(&okX), y = parts.value(3).toInt(&okY);
    if (parts.size() != 4 || !okZ || !okX || !okY || !TileArchive::validTile(z, x, y)) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    if (url.host() == QLatin1String("archive"))
        serveArchive(job, parts[0], z, x, y);
    else if (url.host() == QLatin1String("web"))
        serveWeb(job, parts[0], z, x, y);
    else
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

void TileSchemeHandler::serveArchive(QWebEngineUrlRequestJob *job, const QString &id, int z, int x, int y)
{
    const QString path = TileSources::archivePath(id);
    if (path.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    std::shared_ptr<TileArchive::Reader> reader = m_archives.value(path);
    QString error;
    if (!reader) {
        reader = TileArchive::open(path, &error);
        if (!reader) {
            m_errors.insert(path, error);
            job->fail(QWebEngineUrlRequestJob::RequestFailed);
            return;
        }
        m_archives.insert(path, reader);
    }
    const std::optional<QByteArray> tile = reader->tile(z, x, y, &error);
    if (!tile) {
        if (!error.isEmpty())
            m_errors.insert(path, error);
        job->fail(error.isEmpty() ? QWebEngineUrlRequestJob::UrlNotFound : QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    replyWith(job, TileArchive::mimeType(*tile), *tile);
}

void TileSchemeHandler::serveWeb(QWebEngineUrlRequestJob *job, const QString &id, int z, int x, int y)
{
    const QString tmpl = TileSources::webTemplate(id);
    if (tmpl.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::optional<TileCache::Tile> cached = m_cache.find(id, z, x, y);
    if (cached && cached->fresh(now)) {
        replyWith(job, cached->mimeType, cached->data);
        return;
    }
    QNetworkRequest request{QUrl(TileSources::tileAddress(tmpl, z, x, y))};
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Korvix/" KORVIX_VERSION));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(20000);
    if (cached) {
        if (!cached->etag.isEmpty())
            request.setRawHeader("If-None-Match", cached->etag);
        if (!cached->lastModified.isEmpty())
            request.setRawHeader("If-Modified-Since", cached->lastModified);
    }
    QNetworkReply *reply = m_nam->get(request);
    QPointer<QWebEngineUrlRequestJob> guard(job);
    // A page that goes away takes its job with it; the reply then has no one to answer.
    connect(job, &QObject::destroyed, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, this, [this, reply, guard, cached, id, z, x, y] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const auto expires = TileCache::expiry(reply->rawHeader("Cache-Control"), reply->rawHeader("Expires"), now);
        if (reply->error() == QNetworkReply::NoError && status == 200) {
            TileCache::Tile t;
            t.data = reply->read(TileArchive::MaxTileBytes + 1);
            if (t.data.size() > TileArchive::MaxTileBytes || t.data.isEmpty()) {
                if (guard)
                    guard->fail(QWebEngineUrlRequestJob::RequestFailed);
                return;
            }
            t.mimeType = reply->header(QNetworkRequest::ContentTypeHeader).toString().toLatin1();
            if (t.mimeType.isEmpty())
                t.mimeType = TileArchive::mimeType(t.data);
            t.etag = reply->rawHeader("ETag");
            t.lastModified = reply->rawHeader("Last-Modified");
            if (expires) {
                t.expires = *expires;
                m_cache.store(id, z, x, y, t); // a tile not kept is fetched again, nothing more
            }
            if (guard)
                replyWith(guard, t.mimeType, t.data);
            return;
        }
        if (cached && status == 304) {
            TileCache::Tile t = *cached;
            t.expires = expires.value_or(now);
            t.etag = reply->hasRawHeader("ETag") ? reply->rawHeader("ETag") : t.etag;
            m_cache.store(id, z, x, y, t);
        }
        // No network, or the server failed: a stale tile is better than none.
        if (!guard)
            return;
        if (cached && (status == 304 || status == 0 || status >= 500))
            replyWith(guard, cached->mimeType, cached->data);
        else
            guard->fail(status == 404 ? QWebEngineUrlRequestJob::UrlNotFound : QWebEngineUrlRequestJob::RequestFailed);
    });
}
