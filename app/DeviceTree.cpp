// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeviceTree.h"

#include "app/DeviceInfo.h"
#include "platform/DeviceFiles.h"
#include "platform/Error.h"
#include "platform/Progress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

DeviceTree::DeviceTree(ContentTree &tree, IconSink &icons, std::function<TreeOptions()> options)
    : m_tree(tree), m_icons(icons), m_options(std::move(options))
{
}

QString DeviceTree::deviceKeyFor(const QString &path)
{
    if (path.isEmpty())
        return {};
    QFileInfo fi(path);
    QString dir = QDir::cleanPath(fi.absoluteFilePath());
    if (!fi.isDir())
        dir = QFileInfo(dir).absolutePath();
    // Bounded walk: a path has finitely many parents, and symlinks are not followed.
    while (!dir.isEmpty()) {
        if (dir != QLatin1String("/") && DeviceInfo::isDeviceRoot(dir))
            return dir;
        const QString up = QFileInfo(dir).absolutePath();
        if (up == dir)
            break;
        dir = up;
    }
    return {};
}

QString DeviceTree::listedKeyFor(const QString &path) const
{
    const QString clean = QDir::cleanPath(path);
    QString best;
    for (int i = 0; i < m_tree.deviceCount(); ++i) {
        const QString key = deviceKeyOfText(m_tree.device(i)->text());
        if ((clean == key || clean.startsWith(key + QLatin1Char('/'))) && key.size() > best.size())
            best = key;
    }
    return best;
}

void DeviceTree::UpdateTreeView(const QString &path, int action)
{
    if (action < 0 || action > Remove)
        return;
    if (action == Remove) {
        const QString key = listedKeyFor(path);
        if (key.isEmpty())
            return;
        if (TreeNode *n = FindNodeByKey(m_tree.firstDevice(), key, true))
            m_tree.remove(n);
        return;
    }
    QString key = deviceKeyFor(path);
    if (key.isEmpty())
        return;
    if (TreeNode *n = FindNodeByKey(m_tree.firstDevice(), key, true))
        m_tree.remove(n);
    m_tree.append(m_tree.root(), TreeBuilder::buildDevice(key, m_options(), m_icons));
    if (onDeviceAdded)
        onDeviceAdded();
}

void DeviceTree::InitTreeView(const QStringList &mountPoints, IProgress *status)
{
    if (status)
        status->SetStatus(QCoreApplication::translate("TMainForm", "Looking for TTDevice"));
    try {
        for (const QString &mp : mountPoints) {
            if (mp.isEmpty())
                continue;
            const QString root = mp.endsWith(QLatin1Char('/')) ? mp : mp + QLatin1Char('/');
            if (DeviceFiles::DriveReady(root + QStringLiteral("ttsystem")))
                UpdateTreeView(root, AddOrRefreshFirst);
        }
    } catch (...) {
        // a device that fails mid-scan is left out; the others stay
    }
    if (status)
        status->SetStatus(QString());
}

QString DeviceTree::GetTTPath(const TreeNode *node) const
{
    const TreeNode *device = node ? deviceNodeOf(const_cast<TreeNode *>(node)) : m_tree.firstDevice();
    if (!device)
        throw KorvixError(QCoreApplication::translate("TMainForm", "No TT Path"));
    return deviceKeyOfText(device->text()) + QLatin1Char('/');
}
