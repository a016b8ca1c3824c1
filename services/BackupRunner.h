// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "services/Backup.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>

class IShell;
class QPushButton;
class QThread;
class QWidget;

// The window's full backup and restore. A backup runs on a worker thread with its
// progress in the status bar and a Cancel button beside it; the window stays usable,
// but nothing may be saved into that device until it ends.
class TBackupRunner : public QObject {
    Q_OBJECT
public:
    // `serialOf` reads a device's serial number from its root.
    TBackupRunner(IShell &shell, std::function<QString(const QString &root)> serialOf, QObject *parent = nullptr);
    ~TBackupRunner() override; // cancels a running backup and waits for it

    // The tree's "BackUp": the device of the selected node.
    void BackUp2Click();
    void start(const QString &root);
    bool isRunning() const { return m_thread != nullptr; }
    void cancel();
    QString OutFolder;   // empty: the backup folder
    qint64 MaxCabinetSize = 2147483647;

    // The service menu's "Restore" and the device popup's "Restore…": choose a backup,
    // then compare and restore into the device of the selected node.
    void RRRRRClick();
    // The file chooser (start folder); an empty answer is a cancel. Tests put their own here.
    static std::function<QString(QWidget *parent, const QString &folder)> chooseBackup;

signals:
    // The backup ended: done, or its failure or cancel text.
    void finished(bool done, const QString &message);

private:
    void progress(const QString &phase, qint64 position, qint64 total);
    void ended(const TBackupResult &result, const QString &error);
    IShell &m_shell;
    std::function<QString(const QString &)> m_serialOf;
    QThread *m_thread = nullptr;
    QString m_root;
    std::atomic<bool> m_cancel{false};
    QPointer<QPushButton> m_cancelButton;
};
