// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QSocketNotifier;
class QTimer;

struct MountEntry {
    QString device;
    QString mountPoint;
    QString fsType;
};

namespace Mounts {
// Lines of /proc/self/mounts: "device mountpoint fstype options ..." with octal escapes.
QList<MountEntry> parse(const QByteArray &table);
// Block-device file systems a navigation device can carry; pseudo, network and
// optical file systems and the system's own mount points are never scanned.
bool isScanned(const MountEntry &entry);
// The scanned mount points of a table, in table order.
QStringList scannedMountPoints(const QByteArray &table);
} // namespace Mounts

// Watches a mount table and reports mount points that appear and disappear.
// The kernel flags /proc/self/mounts as exceptional on change; a slow poll covers
// tables that do not (and the tests' own files).
class MountWatcher : public QObject {
    Q_OBJECT
public:
    explicit MountWatcher(const QString &table = QStringLiteral("/proc/self/mounts"),
                          QObject *parent = nullptr);
    ~MountWatcher() override;

    void start();
    void stop();
    QStringList mountPoints() const { return m_known; }
    // Reads the table now and reports the differences.
    void rescan();

signals:
    void driveAdded(const QString &mountPoint);
    void driveRemoved(const QString &mountPoint);

private:
    QStringList read() const;
    QString m_table;
    QStringList m_known;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_poll = nullptr;
};
