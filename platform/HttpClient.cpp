// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HttpClient.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include <memory>

HttpClient::HttpClient(QObject *parent) : QObject(parent), m_nam(new QNetworkAccessManager(this))
{
    m_nam->setProxy(QNetworkProxy::NoProxy);
    m_nam->setCookieJar(new QNetworkCookieJar(m_nam)); // memory only, for this run
}

QNetworkRequest HttpClient::request(const QUrl &url, QNetworkRequest::RedirectPolicy redirects)
{
    QNetworkRequest req(url);
    req.setRawHeader("Accept", Accept);
    req.setRawHeader("User-Agent", UserAgent);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, redirects);
    return req;
}

void HttpClient::reportProgress(QNetworkReply *reply)
{
    auto begun = std::make_shared<bool>(false);
    connect(reply, &QNetworkReply::downloadProgress, this, [this, begun](qint64 got, qint64 total) {
        if (!*begun) {
            *begun = true;
            emit workBegin(total > 0 ? total : 0);
        }
        emit work(got);
    });
}

HttpClient::Ending HttpClient::finish(QNetworkReply *reply)
{
    Ending e;
    e.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    e.error = reply->error();
    e.reason = reply->errorString();
    reply->disconnect();
    disconnect(this, nullptr, reply, nullptr);
    reply->deleteLater();
    return e;
}

QNetworkReply *HttpClient::start(const QUrl &url)
{
    QNetworkReply *reply = m_nam->get(request(url));
    reportProgress(reply);
    connect(this, &HttpClient::cancelled, reply, &QNetworkReply::abort);
    return reply;
}

void HttpClient::getAsync(const QUrl &url, std::function<void(const Result &)> done, int timeoutMs,
                          qint64 maxBytes)
{
    QNetworkReply *reply = start(url);
    auto body = std::make_shared<QByteArray>();
    auto finished = std::make_shared<bool>(false);
    auto timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply] { reply->abort(); });
    timer->start(timeoutMs);

    connect(reply, &QNetworkReply::readyRead, reply, [reply, body, maxBytes] {
        if (!reply->isOpen())
            return;
        body->append(reply->readAll());
        if (maxBytes > 0 && body->size() >= maxBytes) {
            body->truncate(int(maxBytes));
            reply->setProperty("korvixEnough", true);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, reply, [reply, body, done, finished] {
        if (*finished)
            return;
        *finished = true;
        Result r;
        if (reply->isOpen())
            body->append(reply->readAll());
        r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool enough = reply->property("korvixEnough").toBool();
        r.ok = enough || (reply->error() == QNetworkReply::NoError && (r.status == 0 || r.status < 400));
        r.body = *body;
        if (!r.ok)
            r.error = reply->errorString();
        reply->deleteLater();
        done(r);
    });
}

HttpClient::Result HttpClient::get(const QUrl &url, int timeoutMs, qint64 maxBytes)
{
    Result result;
    QEventLoop loop;
    bool over = false;
    getAsync(url, [&](const Result &r) {
        result = r;
        over = true;
        loop.quit();
    }, timeoutMs, maxBytes);
    if (!over)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

void HttpClient::cancel()
{
    emit cancelled();
}
