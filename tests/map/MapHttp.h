// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A local HTTP server standing in for the map's web services: answers by path
// prefix (allowing any origin, as the public services do), keeps every request with
// the time it came, and can stay silent.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>

#include "tests/support/HttpTestServer.h"

class MapHttp : public HttpTestServer {
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

    MapHttp() { m_clock.start(); }
    QList<Request> requestsTo(const QByteArray &prefix) const
    {
        QList<Request> out;
        for (const Request &r : requests)
            if (r.head.startsWith("GET " + prefix))
                out << r;
        return out;
    }

protected:
    void answer(QTcpSocket *s, const QByteArray &head) override
    {
        requests.append({head, m_clock.elapsed()});
        const QByteArray path = target(head);
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
        reply(s, a->status, "Content-Type: " + a->type + "\r\nAccess-Control-Allow-Origin: *\r\n", a->body);
    }

private:
    QElapsedTimer m_clock;
};
