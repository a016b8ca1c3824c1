// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small HTTP server on 127.0.0.1 for the ephemeris downloads: an answer per request
// target (path and query as sent), 404 for any other; when silent it takes the
// connection and never answers. It keeps the request lines it saw.
#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QList>
#include <QPair>

#include "services/CabFile.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/TestSupport.h"

class EphemerisServer : public HttpTestServer {
public:
    struct Answer {
        QByteArray status = "200 OK";
        QByteArray body;
    };
    QHash<QByteArray, Answer> answers; // "/download/Ephemeris.cab?type=..." -> answer
    bool silent = false;
    QList<QByteArray> requestLines;

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }

protected:
    void answer(QTcpSocket *s, const QByteArray &head) override
    {
        const QByteArray line = head.left(head.indexOf("\r\n"));
        requestLines.append(line);
        if (silent)
            return;
        const Answer a = answers.value(target(line), Answer{"404 Not Found", "<html>not found</html>"});
        reply(s, a.status, "Content-Type: application/octet-stream\r\n", a.body);
    }
};

// The time the files of the served archives carry.
inline const QDateTime EphemerisPacked(QDate(2020, 3, 4), QTime(5, 6, 8));

// An archive as the service sends it: a cabinet of our writer holding `files`
// (name -> content), each with the time EphemerisPacked.
inline QByteArray ephemerisCabinet(const QList<QPair<QString, QByteArray>> &files)
{
    TempFolder t;
    TCABFile cab;
    cab.CABFile = t.file(QStringLiteral("e.cab"));
    for (const auto &f : files) {
        const QString path = t.write(QStringLiteral("in/") + f.first, f.second);
        QFile file(path);
        file.open(QIODevice::Append);
        file.setFileTime(EphemerisPacked, QFileDevice::FileModificationTime);
        cab.CABFileContents.append({path, QString()});
    }
    cab.Compress();
    return readAll(cab.CABFile);
}
