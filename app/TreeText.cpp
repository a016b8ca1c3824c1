#include "app/TreeText.h"

#include "app/TreeBuilder.h"
#include "platform/Settings.h"

namespace {
void appendNode(QString &out, const TreeNode *n, int depth)
{
    out += QString(depth * 2, QLatin1Char(' ')) + n->text() + QStringLiteral(" [") + QString::number(n->icon())
           + QStringLiteral("]\n");
    for (int i = 0; i < n->childCount(); ++i)
        appendNode(out, n->child(i), depth + 1);
}
} // namespace

QString treeAsText(const TreeNode *device)
{
    QString out;
    appendNode(out, device, 0);
    return out;
}

TreeOptions treeOptionsFrom(const KorvixSettings &settings)
{
    TreeOptions o;
    o.superUser = settings.ReadBool(QStringLiteral("Spec"), QStringLiteral("SuperUser"), false);
    return o;
}
