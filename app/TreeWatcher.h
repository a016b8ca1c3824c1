// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

// Notices files added, removed or renamed in the device folders the tree shows, by
// another program or a command line, and asks for one refresh per burst of changes: a
// restore writing ten thousand files causes one refresh, not ten thousand.
class TreeWatcher : public QObject {
    Q_OBJECT
public:
    explicit TreeWatcher(QObject *parent = nullptr);
    // Watches each device root and the folders directly below it (the map folders and
    // the category folders), replacing what was watched before.
    void watch(const QStringList &deviceRoots);
    QStringList watchedFolders() const;

signals:
    // The devices (their roots) whose folders changed, once things have been quiet.
    void changed(const QStringList &deviceRoots);

private:
    void noteChange(const QString &folder);

    QFileSystemWatcher *m_watcher;
    QTimer *m_quiet;
    QTimer *m_longest;
    QStringList m_roots;
    QStringList m_pending;
};
