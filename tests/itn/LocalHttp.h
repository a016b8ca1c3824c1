// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-page HTTP server on 127.0.0.1 for the link fetch: answers every request
// with a fixed status, headers and body, and keeps the request lines it saw.
#include <QByteArray>
#include <QList>

#include "tests/support/HttpTestServer.h"

class LocalHttp : public HttpTestServer {
public:
    QByteArray status = "200 OK";
    QByteArray headers = "Content-Type: application/vnd.google-earth.kml+xml\r\n";
    QByteArray body;
    QList<QByteArray> requests; // "GET /path?query HTTP/1.1" and the header lines

protected:
    void answer(QTcpSocket *s, const QByteArray &head) override
    {
        requests.append(head);
        reply(s, status, headers, body);
    }
};
