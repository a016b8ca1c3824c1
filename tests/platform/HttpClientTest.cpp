#include "platform/HttpClient.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {
// A one-page server on loopback that records the request it got.
class PageServer : public QTcpServer {
public:
    QByteArray answer;
    QByteArray request;
    bool silent = false;
    PageServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                request += s->readAll();
                if (!silent && request.contains("\r\n\r\n")) {
                    s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(answer.size())
                             + "\r\nSet-Cookie: sid=42\r\nConnection: close\r\n\r\n" + answer);
                    s->disconnectFromHost();
                }
            });
        });
    }
    QUrl url(const QString &path = "/Ver.txt") const
    {
        return QUrl(QString("http://127.0.0.1:%1%2").arg(serverPort()).arg(path));
    }
};
} // namespace

TEST(HttpClient, SendsTheProgramsHeadersKeepsCookiesAndReportsProgress)
{
    PageServer server;
    server.answer = QByteArray(5000, 'x');
    HttpClient http;
    qint64 expected = -1, last = -1;
    QObject::connect(&http, &HttpClient::workBegin, [&](qint64 n) { expected = n; });
    QObject::connect(&http, &HttpClient::work, [&](qint64 n) { last = n; });
    const HttpClient::Result r = http.get(server.url());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, server.answer);
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
    server.answer = QByteArray(1000, 'y');
    HttpClient http;
    const HttpClient::Result part = http.get(server.url(), 5000, 128);
    EXPECT_TRUE(part.ok);
    EXPECT_EQ(part.body.size(), 128);

    server.silent = true;
    const HttpClient::Result none = http.get(server.url(), 300);
    EXPECT_FALSE(none.ok);
}
