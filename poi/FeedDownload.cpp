// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/FeedDownload.h"

#include "exchange/MapLink.h"
#include "platform/Error.h"
#include "platform/HttpClient.h"
#include "platform/Progress.h"
#include "poi/Feeds.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <limits>

namespace Feeds {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("Feeds", text);
}
} // namespace

QUrl feedUrl(const QString &server, const QString &path)
{
    return Itn::fetchUrl(server + path);
}

QString silenceMessage(int seconds)
{
    return tr("No answer for %1 s").arg(seconds);
}

QByteArray download(HttpClient &http, IProgress *progress, const QUrl &url, int silenceMs, qint64 maxBytes)
{
    if (!url.isValid() || url.host().isEmpty())
        throw KorvixError(tr("Not a web address: %1").arg(url.toString()));
    if (progress)
        progress->SetStatus(url.toString());
    QNetworkReply *reply = http.manager()->get(HttpClient::request(url));
    QByteArray body;
    bool tooBig = false, silent = false;
    QEventLoop loop;
    QTimer silence;
    silence.setSingleShot(true);
    QObject::connect(&silence, &QTimer::timeout, reply, [&] {
        silent = true;
        reply->abort();
    });
    QObject::connect(&http, &HttpClient::cancelled, reply, &QNetworkReply::abort);
    bool begun = false;
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&](qint64 got, qint64 total) {
        silence.start(silenceMs);
        if (!begun) {
            begun = true;
            emit http.workBegin(total > 0 ? total : 0);
        }
        emit http.work(got);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        silence.start(silenceMs);
        body.append(reply->readAll());
        if (body.size() > maxBytes) {
            tooBig = true;
            body.clear();
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    silence.start(silenceMs);
    // User input runs on, so the window's Cancel can be pressed.
    if (!reply->isFinished())
        loop.exec();
    if (reply->isOpen() && !tooBig)
        body.append(reply->readAll());
    tooBig = tooBig || body.size() > maxBytes;
    const HttpClient::Ending end = http.finish(reply);
    if (begun)
        emit http.work(std::numeric_limits<qint64>::max()); // the bar has nothing more to show
    if (progress)
        progress->SetStatus(QString());
    if (tooBig)
        throw KorvixError(tooLargeMessage());
    if (silent)
        throw KorvixError(silenceMessage(silenceMs / 1000));
    if (end.status >= 400)
        throw KorvixError(tr("HTTP error %1").arg(end.status));
    if (end.error != QNetworkReply::NoError)
        throw KorvixError(end.reason);
    return body;
}

} // namespace Feeds
