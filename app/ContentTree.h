// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// One node of the content tree: only its text and icon. Every path is rebuilt from
// the device node's key and the texts of the ancestors.
class TreeNode {
public:
    TreeNode(QString text, int icon) : m_text(std::move(text)), m_icon(icon) {}

    const QString &text() const { return m_text; }
    int icon() const { return m_icon; }
    void setIcon(int icon) { m_icon = icon; }
    TreeNode *parent() const { return m_parent; }
    int level() const;
    int row() const { return m_row; }
    const std::vector<std::unique_ptr<TreeNode>> &children() const { return m_children; }
    int childCount() const { return int(m_children.size()); }
    TreeNode *child(int i) const { return m_children[size_t(i)].get(); }
    TreeNode *nextSibling() const;
    TreeNode *findChild(const QString &text) const;
    // Builders use this on detached subtrees; attached trees change through ContentTree.
    TreeNode *addChild(const QString &text, int icon);
    TreeNode *addChild(std::unique_ptr<TreeNode> node);
    std::unique_ptr<TreeNode> takeChild(int row);

private:
    friend class ContentTree;
    QString m_text;
    int m_icon;
    TreeNode *m_parent = nullptr;
    bool m_invisible = false; // the tree's root above the devices
    int m_row = 0;            // index among the parent's children, kept current
    std::vector<std::unique_ptr<TreeNode>> m_children;
};

// The text of a device node's key: the part before the first "|".
QString deviceKeyOfText(const QString &text);

// The whole tree: its top-level nodes are the devices. A view mirrors it through
// the change hooks, which fire around every insertion and removal.
class ContentTree {
public:
    ContentTree();
    TreeNode *root() { return &m_root; } // invisible; its children are the devices
    const TreeNode *root() const { return &m_root; }
    int deviceCount() const { return m_root.childCount(); }
    TreeNode *device(int i) const { return m_root.child(i); }
    TreeNode *firstDevice() const { return deviceCount() ? device(0) : nullptr; }

    TreeNode *append(TreeNode *parent, std::unique_ptr<TreeNode> node);
    void remove(TreeNode *node);
    void clear();

    struct Hooks {
        std::function<void(TreeNode *parent, int row)> beforeInsert, afterInsert;
        std::function<void(TreeNode *parent, int row)> beforeRemove, afterRemove;
    };
    Hooks hooks;

private:
    TreeNode m_root;
};

// Depth-first from `start` over its following siblings (children first with
// `recursive`); the first node whose device key equals `key`, case-sensitive.
TreeNode *FindNodeByKey(TreeNode *start, const QString &key, bool recursive);

// The node's level-0 ancestor (itself for a device node).
TreeNode *deviceNodeOf(TreeNode *node);
