// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ContentTreeModel.h"

#include "app/BaseIcons.h"

#include <QCoreApplication>
#include <QTreeView>

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
        return n->level() == 1 ? categoryCaption(n->text()) : n->text();
    if (role == Qt::DecorationRole && n->icon() >= 0 && n->icon() < m_icons.size())
        return m_icons[n->icon()];
    return {};
}

// The categories keep their names inside (the tree's rules use them); only what the
// user reads is translated.
QString ContentTreeModel::categoryCaption(const QString &category)
{
    static const char *const captions[] = {
        QT_TRANSLATE_NOOP("ContentTree", "QuickGPSFix"), QT_TRANSLATE_NOOP("ContentTree", "POI"),
        QT_TRANSLATE_NOOP("ContentTree", "Itinerary"),   QT_TRANSLATE_NOOP("ContentTree", "Images"),
        QT_TRANSLATE_NOOP("ContentTree", "Schemes"),     QT_TRANSLATE_NOOP("ContentTree", "Sounds"),
        QT_TRANSLATE_NOOP("ContentTree", "Voices"),      QT_TRANSLATE_NOOP("ContentTree", "Raster"),
    };
    for (const char *c : captions)
        if (category == QLatin1String(c))
            return QCoreApplication::translate("ContentTree", c);
    return category;
}

namespace {
QStringList pathBelow(const TreeNode *device, const TreeNode *node)
{
    QStringList texts;
    for (; node && node != device; node = node->parent())
        texts.prepend(node->text());
    return texts;
}

// Children of closed nodes are not looked at: what the user sees is what is kept.
void collectExpanded(const QTreeView &view, const ContentTreeModel &model, const TreeNode *device, const TreeNode *node,
                     QList<QStringList> &out)
{
    for (int i = 0; i < node->childCount(); ++i) {
        const TreeNode *c = node->child(i);
        if (c->childCount() && view.isExpanded(model.indexOf(c))) {
            out.append(pathBelow(device, c));
            collectExpanded(view, model, device, c, out);
        }
    }
}

TreeNode *nearest(TreeNode *device, const QStringList &path)
{
    TreeNode *n = device;
    for (const QString &text : path) {
        TreeNode *c = n->findChild(text);
        if (!c)
            break;
        n = c;
    }
    return n;
}
} // namespace

TreeViewState captureViewState(const QTreeView &view, const ContentTreeModel &model, const TreeNode *device)
{
    TreeViewState s;
    if (!device)
        return s;
    s.deviceExpanded = view.isExpanded(model.indexOf(device));
    collectExpanded(view, model, device, device, s.expanded);
    const TreeNode *current = model.node(view.currentIndex());
    if (current && deviceNodeOf(const_cast<TreeNode *>(current)) == device) {
        s.hasCurrent = true;
        s.current = pathBelow(device, current);
    }
    return s;
}

TreeNode *restoreViewState(QTreeView &view, const ContentTreeModel &model, TreeNode *device, const TreeViewState &state)
{
    if (!device)
        return nullptr;
    view.setExpanded(model.indexOf(device), state.deviceExpanded);
    for (const QStringList &path : state.expanded) {
        TreeNode *n = nearest(device, path);
        if (pathBelow(device, n) == path)
            view.expand(model.indexOf(n));
    }
    return state.hasCurrent ? nearest(device, state.current) : nullptr;
}
