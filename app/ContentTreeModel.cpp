#include "app/ContentTreeModel.h"

#include "app/BaseIcons.h"

ContentTreeModel::ContentTreeModel(QObject *parent) : QAbstractItemModel(parent), m_icons(baseTreeIcons())
{
    m_tree.hooks.beforeInsert = [this](TreeNode *p, int row) { beginInsertRows(indexOf(p), row, row); };
    m_tree.hooks.afterInsert = [this](TreeNode *, int) { endInsertRows(); };
    m_tree.hooks.beforeRemove = [this](TreeNode *p, int row) { beginRemoveRows(indexOf(p), row, row); };
    m_tree.hooks.afterRemove = [this](TreeNode *, int) { endRemoveRows(); };
}

TreeNode *ContentTreeModel::node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TreeNode *>(index.internalPointer()) : nullptr;
}

QModelIndex ContentTreeModel::indexOf(const TreeNode *n) const
{
    if (!n || n == m_tree.root())
        return {};
    return createIndex(n->row(), 0, const_cast<TreeNode *>(n));
}

int ContentTreeModel::addPoiIcon(const QString &bitmapPath)
{
    m_icons.append(poiBitmapIcon(bitmapPath));
    return int(m_icons.size()) - 1;
}

QModelIndex ContentTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    const TreeNode *p = parent.isValid() ? node(parent) : m_tree.root();
    if (column != 0 || row < 0 || row >= p->childCount())
        return {};
    return createIndex(row, 0, p->child(row));
}

QModelIndex ContentTreeModel::parent(const QModelIndex &child) const
{
    const TreeNode *n = node(child);
    if (!n || !n->parent() || n->parent() == m_tree.root())
        return {};
    return indexOf(n->parent());
}

int ContentTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const TreeNode *p = parent.isValid() ? node(parent) : m_tree.root();
    return p->childCount();
}

int ContentTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant ContentTreeModel::data(const QModelIndex &index, int role) const
{
    const TreeNode *n = node(index);
    if (!n)
        return {};
    if (role == Qt::DisplayRole)
        return n->text();
    if (role == Qt::DecorationRole && n->icon() >= 0 && n->icon() < m_icons.size())
        return m_icons[n->icon()];
    return {};
}
