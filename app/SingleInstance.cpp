// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QUrl>

#include <unistd.h>

SingleInstance::SingleInstance(const QString &executablePath, QObject *parent)
    : QObject(parent), m_name(serverName(executablePath))
{
}

QString SingleInstance::serverName(const QString &executablePath)
{
    return QFileInfo(executablePath).fileName().toUpper() + QStringLiteral("-") + QString::number(getuid());
}

// One request a line: "raise", then "open PATH" per file, the path percent-encoded so
// that any name (a line feed in it included) arrives as it is.
bool SingleInstance::notifyRunning(const QStringList &files)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(500))
        return false;
    QByteArray request = "raise\n";
    for (const QString &f : files)
        request += "open " + QUrl::toPercentEncoding(f) + '\n';
    socket.write(request);
    socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A copy that crashed leaves its socket behind; nobody answered above.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *s = m_server->nextPendingConnection()) {
            // The whole request is read when the caller hangs up; a caller that never
            // does is cut off after a while, so no socket lingers.
            auto *received = new QByteArray;
            connect(s, &QLocalSocket::readyRead, s, [s, received] {
                if (received->size() < (1 << 20))
                    received->append(s->readAll());
            });
            connect(s, &QLocalSocket::disconnected, this, [this, s, received] {
                received->append(s->readAll());
                QStringList files;
                for (const QByteArray &line : received->split('\n'))
                    if (line.startsWith("open "))
                        files << QUrl::fromPercentEncoding(line.mid(5));
                delete received;
                s->deleteLater();
                emit raise();
                if (!files.isEmpty())
                    emit openFiles(files);
            });
            QTimer::singleShot(10000, s, [s] { s->abort(); });
        }
    });
    return true;
}
