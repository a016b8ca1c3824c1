// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/UpdateCheck.h"

#include "core/Settings.h"
#include "app/Version.h"
#include "platform/AtomicFile.h"
#include "platform/HttpClient.h"

#include <QDir>
#include <QTimer>
#include <QUrl>

UpdateCheck::UpdateCheck(HttpClient &http, KorvixSettings &settings, const QString &userDataFolder,
                         const QString &host, QObject *parent)
    : QObject(parent), m_http(http), m_settings(settings), m_userData(userDataFolder), m_host(host),
      m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &UpdateCheck::UpdateCheckNow);
}

void UpdateCheck::start(int delayMs)
{
    m_timer->start(delayMs);
}

void UpdateCheck::UpdateCheckNow()
{
    m_timer->stop();
    if (!Prefs::switches(m_settings).updateCheck()) {
        emit finished();
        return;
    }
    const QString digits = Version::GetVersionText();
    QDir().mkpath(m_userData);
    AtomicFile::write(QDir(m_userData).filePath(QStringLiteral("Ver.txt")), Version::VersionStamp(digits).toLatin1());
    const QUrl url(QStringLiteral("http://") + m_host + QStringLiteral("/Ver.txt"));
    m_http.getAsync(url, [this, digits](const HttpClient::Result &r) {
        if (r.ok && Version::announcesNewer(r.body, digits))
            emit newVersion(QUrl(QStringLiteral("http://") + m_host).host());
        emit finished();
    }, 15000, 128);
}
