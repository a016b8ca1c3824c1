// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/MapLink.h"

#include "platform/Error.h"
#include "platform/HttpClient.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QUrlQuery>

namespace Itn {

namespace {
const QString kNumber = QStringLiteral("([-+]?\\d{1,3}(?:\\.\\d+)?)");

bool inRange(const QString &lat, const QString &lon)
{
    bool a = false, b = false;
    const double la = lat.toDouble(&a), lo = lon.toDouble(&b);
    return a && b && la >= -90 && la <= 90 && lo >= -180 && lo <= 180;
}

QString plain(const QString &lat, const QString &lon)
{
    auto strip = [](QString s) { return s.startsWith(u'+') ? s.mid(1) : s; };
    return strip(lat) + u',' + strip(lon);
}

// "LAT,LNG" (blanks allowed, "loc:" before it as the map site writes it).
bool pairOf(const QString &value, QString &lat, QString &lon)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(?:loc:)?\\s*") + kNumber + QStringLiteral("\\s*,\\s*")
                                       + kNumber + QStringLiteral("\\s*$"));
    const QRegularExpressionMatch m = re.match(value);
    if (!m.hasMatch() || !inRange(m.captured(1), m.captured(2)))
        return false;
    lat = m.captured(1);
    lon = m.captured(2);
    return true;
}

QString placeName(const QUrl &url)
{
    const QStringList parts = url.path(QUrl::FullyEncoded).split(u'/');
    const qsizetype at = parts.indexOf(QStringLiteral("place"));
    if (at < 0 || at + 1 >= parts.size() || parts[at + 1].isEmpty() || parts[at + 1].startsWith(u'@'))
        return {};
    QString name = parts[at + 1];
    name.replace(u'+', u' ');
    return QUrl::fromPercentEncoding(name.toUtf8()).trimmed();
}
} // namespace

std::optional<ImportedPoint> pointFromMapLink(const QString &text)
{
    const QString link = text.trimmed();
    QString lat, lon;
    auto found = [&](const QString &name) -> std::optional<ImportedPoint> {
        return ImportedPoint{lon.startsWith(u'+') ? lon.mid(1) : lon, lat.startsWith(u'+') ? lat.mid(1) : lat,
                             name.isEmpty() ? plain(lat, lon) : name};
    };
    if (link.startsWith(QLatin1String("geo:"), Qt::CaseInsensitive)) {
        QString body = link.mid(4);
        body = body.left(body.indexOf(u'?') < 0 ? body.size() : body.indexOf(u'?'));
        const QStringList p = body.split(u',');
        if (p.size() >= 2 && pairOf(p[0] + u',' + p[1].section(u';', 0, 0), lat, lon))
            return found({});
        return std::nullopt;
    }
    const QUrl url(link, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;
    const QString name = placeName(url);

    static const QRegularExpression place(QStringLiteral("!3d") + kNumber + QStringLiteral("!4d") + kNumber);
    QRegularExpressionMatch m = place.match(link);
    if (m.hasMatch() && inRange(m.captured(1), m.captured(2))) {
        lat = m.captured(1);
        lon = m.captured(2);
        return found(name);
    }
    const QUrlQuery query(url);
    const QString mlat = query.queryItemValue(QStringLiteral("mlat"), QUrl::FullyDecoded);
    const QString mlon = query.queryItemValue(QStringLiteral("mlon"), QUrl::FullyDecoded);
    if (!mlat.isEmpty() && pairOf(mlat + u',' + mlon, lat, lon))
        return found(name);
    for (const char *key : {"q", "query", "ll"}) {
        const QString v = query.queryItemValue(QLatin1String(key), QUrl::FullyDecoded);
        if (!v.isEmpty() && pairOf(v, lat, lon))
            return found(name);
    }
    static const QRegularExpression view(QStringLiteral("@") + kNumber + QStringLiteral(",") + kNumber
                                         + QStringLiteral("(?:,|$|/|\\?)"));
    m = view.match(url.path(QUrl::FullyDecoded));
    if (m.hasMatch() && inRange(m.captured(1), m.captured(2))) {
        lat = m.captured(1);
        lon = m.captured(2);
        return found(name);
    }
    static const QRegularExpression osm(QStringLiteral("(?:^|&)map=\\d{1,2}(?:\\.\\d+)?/") + kNumber
                                        + QStringLiteral("/") + kNumber + QStringLiteral("(?:$|&|/)"));
    m = osm.match(url.fragment(QUrl::FullyDecoded));
    if (m.hasMatch() && inRange(m.captured(1), m.captured(2))) {
        lat = m.captured(1);
        lon = m.captured(2);
        return found(name);
    }
    return std::nullopt;
}

bool isHttpLink(const QString &link)
{
    const qsizetype colon = link.indexOf(u':');
    return colon > 0 && link.left(colon) == QLatin1String("http");
}

QString kmlRequestUrl(const QString &link)
{
    const qsizetype at = link.indexOf(QLatin1String("output"), 0, Qt::CaseInsensitive);
    if (at < 0)
        return link + QStringLiteral("&output=kml");
    const qsizetype amp = link.indexOf(u'&', at);
    const qsizetype end = amp < 0 ? link.size() : amp;
    return link.left(at) + QStringLiteral("output=kml") + link.mid(end);
}

QUrl fetchUrl(const QString &link)
{
    QUrl url(link, QUrl::TolerantMode);
    if (!url.isValid()) {
        // An unreadable port: take the link without it (the port becomes 80).
        static const QRegularExpression port(QStringLiteral("^(http://[^/:?#]*):[^/?#]*"));
        QString fixed = link;
        fixed.replace(port, QStringLiteral("\\1"));
        url = QUrl(fixed, QUrl::TolerantMode);
    }
    if (url.port() <= 0)
        url.setPort(80);
    return url;
}

QByteArray fetchMapLink(HttpClient &http, const QUrl &url, int timeoutMs, qint64 maxBytes)
{
    if (!url.isValid() || url.host().isEmpty())
        throw KorvixError(noLinkMessage());
    QNetworkReply *reply = http.manager()->get(HttpClient::request(url, QNetworkRequest::UserVerifiedRedirectPolicy));
    QByteArray body;
    QString refused;
    bool tooBig = false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(&http, &HttpClient::cancelled, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::redirected, reply, [&, reply](const QUrl &to) {
        // Never beyond the link's own host.
        if (to.host().compare(url.host(), Qt::CaseInsensitive) == 0 && to.scheme() == url.scheme()) {
            emit reply->redirectAllowed();
        } else {
            refused = QCoreApplication::translate("Itn", "The link leads to another host: %1")
                          .arg(to.host());
            reply->abort();
        }
    });
    http.reportProgress(reply);
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&, reply] {
        body.append(reply->readAll());
        if (body.size() > maxBytes) {
            tooBig = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (reply->isOpen())
        body.append(reply->readAll());
    tooBig = tooBig || body.size() > maxBytes;
    const HttpClient::Ending end = http.finish(reply);
    if (!refused.isEmpty())
        throw KorvixError(refused);
    if (tooBig)
        throw KorvixError(QCoreApplication::translate("Itn", "The answer of %1 is too large").arg(url.host()));
    if (end.error != QNetworkReply::NoError)
        throw KorvixError(end.reason);
    if (end.status >= 300)
        throw KorvixError(QCoreApplication::translate("Itn", "HTTP error %1").arg(end.status));
    return body;
}

QString noLinkMessage()
{
    return QCoreApplication::translate("Itn", "Pobierz link z GoogleMaps do schowka (Ctrl+C)");
}

} // namespace Itn
