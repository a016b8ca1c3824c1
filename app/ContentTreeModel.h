// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "app/ContentTree.h"
#include "app/TreeBuilder.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QList>
#include <QStringList>

class QTreeView;

// The content tree for the tree view: node texts and icons, nothing else. It mirrors
// the ContentTree through its change hooks, so removing one node moves one row.
class ContentTreeModel : public QAbstractItemModel, public IconSink {
    Q_OBJECT
public:
    // A category's caption in the program's language ("Sounds" -> "Dźwięki").
    static QString categoryCaption(const QString &category);
    explicit ContentTreeModel(QObject *parent = nullptr);

    ContentTree &tree() { return m_tree; }
    TreeNode *node(const QModelIndex &index) const;
    QModelIndex indexOf(const TreeNode *node) const;

    // IconSink: pictures of POI files are appended behind the base set, never removed.
    int addPoiIcon(const QString &bitmapPath) override;
    int iconCount() const { return int(m_icons.size()); }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    ContentTree m_tree;
    QList<QIcon> m_icons;
};

// What the view shows of one device: its open nodes and the current one, kept as the
// node texts below the device, so that they survive a rebuild of the device's nodes.
struct TreeViewState {
    bool deviceExpanded = false;
    QList<QStringList> expanded;
    bool hasCurrent = false;
    QStringList current;
};
TreeViewState captureViewState(const QTreeView &view, const ContentTreeModel &model, const TreeNode *device);
// Opens the kept nodes again below `device` and returns the node to make current: the
// kept one, or its nearest ancestor still there; null when none was kept.
TreeNode *restoreViewState(QTreeView &view, const ContentTreeModel &model, TreeNode *device, const TreeViewState &state);
