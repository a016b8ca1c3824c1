// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BusyFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QMutex>

namespace {
QMutex lock;
QMap<QString, QString> &busy()
{
    static QMap<QString, QString> folders; // absolute folder with "/" -> reason
    return folders;
}

QString key(const QString &folder)
{
    const QString abs = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return abs.endsWith(QLatin1Char('/')) ? abs : abs + QLatin1Char('/');
}
} // namespace

void BusyFolders::mark(const QString &folder, const QString &reason)
{
    QMutexLocker l(&lock);
    busy().insert(key(folder), reason);
}

void BusyFolders::release(const QString &folder)
{
    QMutexLocker l(&lock);
    busy().remove(key(folder));
}

QString BusyFolders::refusal(const QString &path)
{
    QMutexLocker l(&lock);
    if (busy().isEmpty())
        return {};
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (auto it = busy().cbegin(); it != busy().cend(); ++it)
        if (file.startsWith(it.key()) || file + QLatin1Char('/') == it.key())
            return it.value();
    return {};
}
