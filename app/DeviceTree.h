// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "app/ContentTree.h"
#include "app/TreeBuilder.h"

#include <QStringList>

#include <functional>

class IProgress;

// The device list: the top-level nodes of the content tree. It changes only here,
// through the start-up scan, drive arrivals and removals, and editors' refreshes.
class DeviceTree {
public:
    enum Action { AddOrRefreshFirst = 0, AddOrRefreshLast = 7, Remove = 8 };

    DeviceTree(ContentTree &tree, IconSink &icons, std::function<TreeOptions()> options);

    // Codes 0-7 rebuild the device holding `path`, 8 removes it, others do nothing.
    void UpdateTreeView(const QString &path, int action);
    // Scans the given mount points for devices; errors are swallowed, the status
    // text is cleared in every case.
    void InitTreeView(const QStringList &mountPoints, IProgress *status);

    // Root with trailing "/" of the node's device, or of the first device without a
    // node; throws KorvixError("No TT Path") when there is none.
    QString GetTTPath(const TreeNode *node) const;

    // The device folder holding `path`: the nearest folder upwards with both markers.
    static QString deviceKeyFor(const QString &path);
    // The key of an existing device node that holds `path`, for removals.
    QString listedKeyFor(const QString &path) const;

    // Called when a device node is added (the window shows its tree panel then).
    std::function<void()> onDeviceAdded;

private:
    ContentTree &m_tree;
    IconSink &m_icons;
    std::function<TreeOptions()> m_options;
};
