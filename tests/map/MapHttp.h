#pragma once
// A local HTTP server standing in for the map's web services: answers by path
// prefix (allowing any origin, as the public services do), keeps every request with
// the time it came, and can stay silent.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>

class MapHttp : public QTcpServer {
public:
    struct Answer {
        QByteArray status = "200 OK";
        QByteArray type = "application/json";
        QByteArray body;
        bool silent = false; // accept and never answer
    };
    struct Request {
        QByteArray head;
        qint64 at;
    };
    QMap<QByteArray, Answer> answers; // by path prefix, longest first wins
    QList<Request> requests;

    MapHttp()
    {
        m_clock.start();
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    m_buffer[s] += s->readAll();
                    if (!m_buffer[s].contains("\r\n\r\n"))
                        return;
                    const QByteArray head = m_buffer.take(s);
                    requests.append({head, m_clock.elapsed()});
                    const QByteArray path = head.mid(head.indexOf(' ') + 1).split(' ').value(0);
                    const Answer *a = nullptr;
                    int best = -1;
                    for (auto it = answers.cbegin(); it != answers.cend(); ++it)
                        if (path.startsWith(it.key()) && it.key().size() > best) {
                            a = &it.value();
                            best = int(it.key().size());
                        }
                    if (a && a->silent)
                        return;
                    const Answer none{"404 Not Found", "text/plain", "no"};
                    if (!a)
                        a = &none;
                    s->write("HTTP/1.1 " + a->status + "\r\nContent-Type: " + a->type + "\r\nAccess-Control-Allow-Origin: *\r\nContent-Length: "
                             + QByteArray::number(a->body.size()) + "\r\nConnection: close\r\n\r\n" + a->body);
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
    QList<Request> requestsTo(const QByteArray &prefix) const
    {
        QList<Request> out;
        for (const Request &r : requests)
            if (r.head.startsWith("GET " + prefix))
                out << r;
        return out;
    }

private:
    QElapsedTimer m_clock;
    QHash<QTcpSocket *, QByteArray> m_buffer;
};
