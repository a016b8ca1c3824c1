// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TreeText.h"

#include "core/Settings.h"
#include "app/TreeBuilder.h"
#include "platform/Settings.h"
#include "poi/PoiDat.h"

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
    o.superUser = Prefs::switches(settings).superUser();
    // A database that fails half way keeps the categories read before the failure.
    o.poiDatCategories = [](const QString &path) {
        QStringList texts;
        for (qint32 id : listPoiDat(path).ids)
            texts << poiCategoryText(id);
        return texts;
    };
    return o;
}
