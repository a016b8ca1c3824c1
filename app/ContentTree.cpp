// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ContentTree.h"

int TreeNode::level() const
{
    int l = 0; // a device node, attached or not, is level 0
    for (const TreeNode *n = m_parent; n && !n->m_invisible; n = n->m_parent)
        ++l;
    return m_invisible ? -1 : l;
}

TreeNode *TreeNode::nextSibling() const
{
    if (!m_parent)
        return nullptr;
    const int r = row() + 1;
    return r < m_parent->childCount() ? m_parent->child(r) : nullptr;
}

TreeNode *TreeNode::findChild(const QString &text) const
{
    for (const auto &c : m_children)
        if (c->m_text == text)
            return c.get();
    return nullptr;
}

TreeNode *TreeNode::addChild(const QString &text, int icon)
{
    return addChild(std::make_unique<TreeNode>(text, icon));
}

TreeNode *TreeNode::addChild(std::unique_ptr<TreeNode> node)
{
    node->m_parent = this;
    node->m_row = int(m_children.size());
    m_children.push_back(std::move(node));
    return m_children.back().get();
}

std::unique_ptr<TreeNode> TreeNode::takeChild(int row)
{
    std::unique_ptr<TreeNode> n = std::move(m_children[size_t(row)]);
    m_children.erase(m_children.begin() + row);
    for (size_t i = size_t(row); i < m_children.size(); ++i)
        m_children[i]->m_row = int(i);
    n->m_parent = nullptr;
    n->m_row = 0;
    return n;
}

QString deviceKeyOfText(const QString &text)
{
    const int bar = text.indexOf(QLatin1Char('|'));
    return bar < 0 ? text : text.left(bar);
}

ContentTree::ContentTree() : m_root(QString(), -1)
{
    m_root.m_invisible = true;
}

TreeNode *ContentTree::append(TreeNode *parent, std::unique_ptr<TreeNode> node)
{
    const int row = parent->childCount();
    if (hooks.beforeInsert)
        hooks.beforeInsert(parent, row);
    TreeNode *n = parent->addChild(std::move(node));
    if (hooks.afterInsert)
        hooks.afterInsert(parent, row);
    return n;
}

void ContentTree::remove(TreeNode *node)
{
    TreeNode *parent = node->parent();
    if (!parent)
        return;
    const int row = node->row();
    if (hooks.beforeRemove)
        hooks.beforeRemove(parent, row);
    parent->takeChild(row); // destroyed here, with its subtree
    if (hooks.afterRemove)
        hooks.afterRemove(parent, row);
}

void ContentTree::clear()
{
    while (m_root.childCount())
        remove(m_root.child(m_root.childCount() - 1));
}

namespace {
TreeNode *findAmongChildren(const TreeNode *parent, int fromRow, const QString &key, bool recursive)
{
    for (int r = fromRow; r < parent->childCount(); ++r) {
        TreeNode *n = parent->child(r);
        if (deviceKeyOfText(n->text()) == key)
            return n;
        if (recursive)
            if (TreeNode *hit = findAmongChildren(n, 0, key, true))
                return hit;
    }
    return nullptr;
}
} // namespace

TreeNode *FindNodeByKey(TreeNode *start, const QString &key, bool recursive)
{
    if (!start)
        return nullptr;
    if (!start->parent()) { // a detached node has no siblings
        if (deviceKeyOfText(start->text()) == key)
            return start;
        return recursive ? findAmongChildren(start, 0, key, true) : nullptr;
    }
    return findAmongChildren(start->parent(), start->row(), key, recursive);
}

TreeNode *deviceNodeOf(TreeNode *node)
{
    while (node && node->level() > 0)
        node = node->parent();
    return node && node->level() == 0 ? node : nullptr;
}
