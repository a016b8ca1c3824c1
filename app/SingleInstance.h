// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

// One running copy per user and executable: a second start asks the first to come
// to the front and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &executablePath, QObject *parent = nullptr);
    // The name of the lock: the upper-cased executable file name and the user.
    static QString serverName(const QString &executablePath);
    // True when another copy answered (and was asked to come to the front and to open
    // `files`, given as absolute paths).
    bool notifyRunning(const QStringList &files = {});
    // Becomes the running copy; `raise` is emitted when a later start knocks.
    bool listen();

signals:
    void raise();
    // Files a later start was given, as file managers pass them ("korvix FILE...").
    void openFiles(const QStringList &files);

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};
