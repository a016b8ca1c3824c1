#pragma once
#include "app/ContentTree.h"
#include "app/TreeBuilder.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QList>

// The content tree for the tree view: node texts and icons, nothing else. It mirrors
// the ContentTree through its change hooks, so removing one node moves one row.
class ContentTreeModel : public QAbstractItemModel, public IconSink {
    Q_OBJECT
public:
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
