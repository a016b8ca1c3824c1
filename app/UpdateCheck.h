// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>

class HttpClient;
class KorvixSettings;
class QTimer;

// The once-per-start look for a newer version on the update site. It never makes
// the window wait, and every failure is silent.
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    static constexpr const char *DefaultHost = "www.korvix.org";

    UpdateCheck(HttpClient &http, KorvixSettings &settings, const QString &userDataFolder,
                const QString &host = QLatin1String(DefaultHost), QObject *parent = nullptr);

    // (Re)starts the one-shot timer: the check runs about a second later.
    void start(int delayMs = 1000);
    QString host() const { return m_host; }

signals:
    // A newer version is announced; the window shows the message.
    void newVersion(const QString &host);
    // The check ended, whatever its outcome (for the tests).
    void finished();

private:
    void UpdateCheckNow();
    HttpClient &m_http;
    KorvixSettings &m_settings;
    QString m_userData;
    QString m_host;
    QTimer *m_timer;
};
