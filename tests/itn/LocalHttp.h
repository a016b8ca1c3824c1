#pragma once
// A one-page HTTP server on 127.0.0.1 for the link fetch: answers every request
// with a fixed status, headers and body, and keeps the request lines it saw.
#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

class LocalHttp : public QTcpServer {
public:
    QByteArray status = "200 OK";
    QByteArray headers = "Content-Type: application/vnd.google-earth.kml+xml\r\n";
    QByteArray body;
    QList<QByteArray> requests; // "GET /path?query HTTP/1.1" and the header lines

    LocalHttp()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    m_buffer[s] += s->readAll();
                    if (!m_buffer[s].contains("\r\n\r\n"))
                        return;
                    requests.append(m_buffer[s]);
                    s->write("HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: "
                             + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString url(const QString &pathAndQuery) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(pathAndQuery);
    }

private:
    QHash<QTcpSocket *, QByteArray> m_buffer;
};
