// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TreeWatcher.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {
// A refresh waits for this much calm, and never longer than the second limit while
// changes keep coming.
constexpr int kQuietMs = 400;
constexpr int kLongestMs = 3000;
} // namespace

TreeWatcher::TreeWatcher(QObject *parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)), m_quiet(new QTimer(this)), m_longest(new QTimer(this))
{
    m_quiet->setSingleShot(true);
    m_quiet->setInterval(kQuietMs);
    m_longest->setSingleShot(true);
    m_longest->setInterval(kLongestMs);
    const auto flush = [this] {
        m_quiet->stop();
        m_longest->stop();
        const QStringList roots = m_pending;
        m_pending.clear();
        if (!roots.isEmpty())
            emit changed(roots);
    };
    connect(m_quiet, &QTimer::timeout, this, flush);
    connect(m_longest, &QTimer::timeout, this, flush);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &TreeWatcher::noteChange);
}

void TreeWatcher::watch(const QStringList &deviceRoots)
{
    m_roots.clear();
    for (const QString &r : deviceRoots)
        m_roots << QDir::cleanPath(r);
    QStringList folders;
    for (const QString &root : m_roots) {
        folders << root;
        const QDir dir(root);
        for (const QString &sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
            folders << dir.filePath(sub);
    }
    const QStringList old = m_watcher->directories();
    QStringList gone, added;
    for (const QString &f : old)
        if (!folders.contains(f))
            gone << f;
    for (const QString &f : folders)
        if (!old.contains(f))
            added << f;
    if (!gone.isEmpty())
        m_watcher->removePaths(gone);
    if (!added.isEmpty())
        m_watcher->addPaths(added);
}

QStringList TreeWatcher::watchedFolders() const
{
    return m_watcher->directories();
}

void TreeWatcher::noteChange(const QString &folder)
{
    const QString path = QDir::cleanPath(folder);
    for (const QString &root : m_roots) {
        if ((path == root || path.startsWith(root + QLatin1Char('/'))) && !m_pending.contains(root))
            m_pending << root;
    }
    m_quiet->start();
    if (!m_longest->isActive())
        m_longest->start();
}
