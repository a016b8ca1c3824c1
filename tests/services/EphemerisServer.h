#pragma once
// A small HTTP server on 127.0.0.1 for the ephemeris downloads: an answer per request
// target (path and query as sent), 404 for any other; when silent it takes the
// connection and never answers. It keeps the request lines it saw.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

class EphemerisServer : public QTcpServer {
public:
    struct Answer {
        QByteArray status = "200 OK";
        QByteArray body;
    };
    QHash<QByteArray, Answer> answers; // "/download/Ephemeris.cab?type=..." -> answer
    bool silent = false;
    QList<QByteArray> requestLines;

    EphemerisServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    m_buffer[s] += s->readAll();
                    if (!m_buffer[s].contains("\r\n\r\n"))
                        return;
                    const QByteArray line = m_buffer[s].left(m_buffer[s].indexOf("\r\n"));
                    requestLines.append(line);
                    if (silent)
                        return;
                    const QList<QByteArray> parts = line.split(' ');
                    const Answer a = answers.value(parts.value(1), Answer{"404 Not Found", "<html>not found</html>"});
                    s->write("HTTP/1.1 " + a.status + "\r\nContent-Type: application/octet-stream\r\nContent-Length: "
                             + QByteArray::number(a.body.size()) + "\r\nConnection: close\r\n\r\n" + a.body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }

private:
    QHash<QTcpSocket *, QByteArray> m_buffer;
};
