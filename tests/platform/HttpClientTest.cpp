// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HttpClient.h"

#include "tests/support/HttpTestServer.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
// A one-page server on loopback that records the requests it got.
class PageServer : public HttpTestServer {
public:
    QByteArray page;
    QByteArray request;
    bool silent = false;
    bool inTwoPieces = false; // the second half of the page a moment after the first
    QUrl url(const QString &path = "/Ver.txt") const { return QUrl(HttpTestServer::url(path)); }

protected:
    void answer(QTcpSocket *s, const QByteArray &head) override
    {
        request += head;
        if (silent)
            return;
        if (!inTwoPieces) {
            reply(s, "200 OK", "Set-Cookie: sid=42\r\n", page);
            return;
        }
        s->write(responseHead("200 OK", {}, page.size()) + page.left(page.size() / 2));
        QTimer::singleShot(100, s, [this, s] {
            s->write(page.mid(page.size() / 2));
            s->disconnectFromHost();
        });
    }
};
} // namespace

TEST(HttpClient, SendsTheProgramsHeadersKeepsCookiesAndReportsProgress)
{
    PageServer server;
    server.page = QByteArray(5000, 'x');
    HttpClient http;
    qint64 expected = -1, last = -1;
    QObject::connect(&http, &HttpClient::workBegin, [&](qint64 n) { expected = n; });
    QObject::connect(&http, &HttpClient::work, [&](qint64 n) { last = n; });
    const HttpClient::Result r = http.get(server.url());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, server.page);
    EXPECT_TRUE(server.request.contains("Accept: text/html, */*,xml"));
    EXPECT_TRUE(server.request.contains("User-Agent: Mozilla/3.0 (compatible; Indy Library)"));
    EXPECT_EQ(expected, 5000);
    EXPECT_EQ(last, 5000);

    server.request.clear();
    ASSERT_TRUE(http.get(server.url()).ok);
    EXPECT_TRUE(server.request.contains("Cookie: sid=42"));
}

TEST(HttpClient, LimitsTheBytesReadAndGivesUpOnASilentServer)
{
    PageServer server;
    server.page = QByteArray(1000, 'y');
    HttpClient http;
    const HttpClient::Result part = http.get(server.url(), 5000, 128);
    EXPECT_TRUE(part.ok);
    EXPECT_EQ(part.body.size(), 128);

    server.silent = true;
    const HttpClient::Result none = http.get(server.url(), 300);
    EXPECT_FALSE(none.ok);
}

TEST(HttpClient, TransfersOfTheirOwnSendTheHeadersAndReportProgressOnce)
{
    PageServer server;
    const qint64 size = 70000;
    server.page = QByteArray(size, 'z');
    server.inTwoPieces = true;
    HttpClient http;
    QList<qint64> begins;
    qint64 last = -1;
    int works = 0;
    QObject::connect(&http, &HttpClient::workBegin, [&](qint64 n) { begins << n; });
    QObject::connect(&http, &HttpClient::work, [&](qint64 n) {
        last = n;
        ++works;
    });
    QNetworkReply *reply = http.manager()->get(HttpClient::request(server.url("/own")));
    http.reportProgress(reply);
    qint64 got = 0;
    QObject::connect(reply, &QNetworkReply::readyRead, [&] { got += reply->readAll().size(); });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    EXPECT_EQ(got + reply->readAll().size(), size);
    reply->deleteLater();
    EXPECT_TRUE(server.request.startsWith("GET /own HTTP/1.1"));
    EXPECT_TRUE(server.request.contains("Accept: text/html, */*,xml"));
    EXPECT_TRUE(server.request.contains("User-Agent: Mozilla/3.0 (compatible; Indy Library)"));
    ASSERT_GT(works, 1);
    EXPECT_EQ(begins, QList<qint64>{size});
    EXPECT_EQ(last, size);
}

TEST(HttpClient, AFinishedTransferOfItsOwnGivesItsEndingAndReachesNoHandlerAfterwards)
{
    PageServer server;
    server.page = "gone";
    HttpClient http;
    QNetworkReply *reply = http.manager()->get(HttpClient::request(server.url("/x")));
    QObject::connect(&http, &HttpClient::cancelled, reply, &QNetworkReply::abort);
    int finishedCalls = 0;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, [&] {
        ++finishedCalls;
        loop.quit();
    });
    loop.exec();
    ASSERT_EQ(finishedCalls, 1);
    reply->readAll();
    const HttpClient::Ending end = http.finish(reply);
    EXPECT_EQ(end.status, 200);
    EXPECT_EQ(end.error, QNetworkReply::NoError);
    // Neither the reply's own signals nor the client's cancel reach anything now.
    QPointer<QNetworkReply> watched(reply);
    EXPECT_FALSE(QObject::disconnect(&http, &HttpClient::cancelled, reply, nullptr));
    emit reply->finished();
    EXPECT_EQ(finishedCalls, 1);
    // And it goes once the event loop runs.
    QEventLoop later;
    QTimer::singleShot(0, &later, &QEventLoop::quit);
    later.exec();
    EXPECT_TRUE(watched.isNull());

    QNetworkReply *refused = http.manager()->get(HttpClient::request(QUrl(QStringLiteral("http://127.0.0.1:9/"))));
    QEventLoop wait;
    QObject::connect(refused, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!refused->isFinished())
        wait.exec();
    const HttpClient::Ending none = http.finish(refused);
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.error, QNetworkReply::ConnectionRefusedError);
    EXPECT_FALSE(none.reason.isEmpty());
}
