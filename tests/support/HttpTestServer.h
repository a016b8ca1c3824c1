// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The common part of the tests' local HTTP servers: listens on 127.0.0.1, gathers
// each request head, however it is split into packets, and hands it to answer(),
// which replies or stays silent. One request per connection, closed after the reply.
#include <QByteArray>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>

class HttpTestServer : public QTcpServer {
public:
    QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
    QString url(const QString &pathAndQuery) const { return origin() + pathAndQuery; }

    // "/path?query" of "GET /path?query HTTP/1.1".
    static QByteArray target(const QByteArray &head) { return head.split(' ').value(1); }
    // Status line and headers up to the blank line; `headers` are whole "Name: value\r\n" lines.
    static QByteArray responseHead(const QByteArray &status, const QByteArray &headers, qsizetype bodySize)
    {
        return "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + QByteArray::number(bodySize)
               + "\r\nConnection: close\r\n\r\n";
    }
    static void reply(QTcpSocket *s, const QByteArray &status, const QByteArray &headers, const QByteArray &body)
    {
        s->write(responseHead(status, headers, body.size()) + body);
        s->disconnectFromHost();
    }

protected:
    HttpTestServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    m_buffer[s] += s->readAll();
                    if (!m_buffer[s].contains("\r\n\r\n"))
                        return;
                    answer(s, m_buffer.take(s));
                });
                // A later socket may reuse the address: forget what this one sent.
                connect(s, &QTcpSocket::disconnected, this, [this, s] { m_buffer.remove(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    // `head` is the request line and the header lines with the blank line ending them.
    virtual void answer(QTcpSocket *s, const QByteArray &head) = 0;

private:
    QHash<QTcpSocket *, QByteArray> m_buffer;
};
