#pragma once
// A feed server on 127.0.0.1 for the download tests: an answer per path (404 for
// others), or silence, and the paths it was asked for.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

class FeedHttp : public QTcpServer {
public:
    struct Answer {
        QByteArray status = "200 OK";
        QByteArray body;
    };
    QHash<QByteArray, Answer> answers; // by path
    bool silent = false;               // accept, read, never answer
    int trickleMs = 0;                 // > 0: the body a byte at a time, one every trickleMs
    QList<QByteArray> paths;

    FeedHttp()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    m_buffer[s] += s->readAll();
                    if (!m_buffer[s].contains("\r\n\r\n"))
                        return;
                    const QByteArray path = m_buffer[s].split(' ').value(1);
                    paths.append(path);
                    m_buffer.remove(s);
                    if (silent)
                        return;
                    const Answer a = answers.value(path, Answer{"404 Not Found", "no such feed"});
                    s->write("HTTP/1.1 " + a.status + "\r\nContent-Type: text/xml\r\nContent-Length: "
                             + QByteArray::number(a.body.size()) + "\r\nConnection: close\r\n\r\n");
                    if (trickleMs > 0) {
                        trickle(s, a.body);
                        return;
                    }
                    s->write(a.body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString server() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

private:
    void trickle(QTcpSocket *s, const QByteArray &rest)
    {
        if (rest.isEmpty()) {
            s->disconnectFromHost();
            return;
        }
        s->write(rest.left(1));
        QTimer::singleShot(trickleMs, s, [this, s, rest] { trickle(s, rest.mid(1)); });
    }
    QHash<QTcpSocket *, QByteArray> m_buffer;
};
