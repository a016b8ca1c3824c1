// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A feed server on 127.0.0.1 for the download tests: an answer per path (404 for
// others), or silence, and the paths it was asked for.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTimer>

#include "tests/support/HttpTestServer.h"

class FeedHttp : public HttpTestServer {
public:
    struct Answer {
        QByteArray status = "200 OK";
        QByteArray body;
    };
    QHash<QByteArray, Answer> answers; // by path
    bool silent = false;               // accept, read, never answer
    int trickleMs = 0;                 // > 0: the body a byte at a time, one every trickleMs
    QList<QByteArray> paths;

    QString server() const { return origin(); }

protected:
    void answer(QTcpSocket *s, const QByteArray &head) override
    {
        const QByteArray path = target(head);
        paths.append(path);
        if (silent)
            return;
        const Answer a = answers.value(path, Answer{"404 Not Found", "no such feed"});
        if (trickleMs <= 0) {
            reply(s, a.status, "Content-Type: text/xml\r\n", a.body);
            return;
        }
        s->write(responseHead(a.status, "Content-Type: text/xml\r\n", a.body.size()));
        trickle(s, a.body);
    }

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
};
