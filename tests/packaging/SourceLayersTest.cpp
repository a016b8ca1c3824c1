// SPDX-License-Identifier: GPL-3.0-or-later
// The code folders include one another in one direction only: platform <- core <-
// exchange, grid <- poi, itn, media, services <- map <- app <- cli. A folder may include
// a lower one or one of its own layer, never a higher one, and no two folders include
// each other.
#include "tests/support/TestSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

const std::map<QString, int> &layers()
{
    static const std::map<QString, int> l{
        {"platform", 0}, {"core", 1}, {"exchange", 2}, {"grid", 2}, {"poi", 3},  {"itn", 3},
        {"media", 3},    {"services", 3}, {"map", 4},  {"app", 5},  {"cli", 6},
    };
    return l;
}

using Edge = std::pair<QString, QString>; // including folder, included folder

// Every include of another code folder, with the first place it is made.
std::map<Edge, QString> folderIncludes(const QString &root)
{
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*"([a-z]+)/)"));
    std::map<Edge, QString> edges;
    for (const auto &[folder, layer] : layers()) {
        QDirIterator it(root + '/' + folder, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            int lineNumber = 0;
            while (!f.atEnd()) {
                const QString line = QString::fromUtf8(f.readLine());
                ++lineNumber;
                const QRegularExpressionMatch m = include.match(line);
                if (!m.hasMatch() || m.captured(1) == folder || !layers().count(m.captured(1)))
                    continue;
                edges.try_emplace({folder, m.captured(1)},
                                  path.mid(root.size() + 1) + ':' + QString::number(lineNumber));
            }
        }
    }
    return edges;
}

// What breaks the order, one line each; `known` edges are let through.
QStringList layerFaults(const std::map<Edge, QString> &edges, const std::set<Edge> &known)
{
    QStringList faults;
    for (const auto &[edge, where] : edges) {
        if (known.count(edge))
            continue;
        const auto &[from, to] = edge;
        if (layers().at(to) > layers().at(from))
            faults << QStringLiteral("%1 includes the higher %2 (%3)").arg(from, to, where);
        else if (edges.count({to, from}) && !known.count({to, from}))
            faults << QStringLiteral("%1 and %2 include each other (%3)").arg(from, to, where);
    }
    return faults;
}

} // namespace

TEST(SourceLayers, TheCheckFindsUpwardIncludesAndCyclesButLetsTheOrderPass)
{
    TempFolder tree;
    // Allowed: down the order, within a layer one way, system and own-folder includes.
    tree.write("poi/A.cpp", "#include \"poi/A.h\"\n#include \"core/B.h\"\n#include <QString>\n");
    tree.write("poi/A.h", "#include \"media/C.h\"\n");
    tree.write("app/D.cpp", "  #  include \"map/E.h\"\n#include \"tests/x/F.h\"\n");
    EXPECT_EQ(layerFaults(folderIncludes(tree.path()), {}), QStringList());

    // A lower layer reaching up, and two folders of one layer including each other.
    tree.write("core/G.cpp", "#include <vector>\n#include \"exchange/H.h\"\n");
    tree.write("media/sub/I.h", "#include \"poi/J.h\"\n");
    const QStringList faults = layerFaults(folderIncludes(tree.path()), {});
    EXPECT_EQ(faults, QStringList({"core includes the higher exchange (core/G.cpp:2)",
                                   "media and poi include each other (media/sub/I.h:1)",
                                   "poi and media include each other (poi/A.h:1)"}));
    // A known exception lets its own edge through, and the other side of a cycle too.
    EXPECT_EQ(layerFaults(folderIncludes(tree.path()), {{"core", "exchange"}, {"poi", "media"}}), QStringList());
}

TEST(SourceLayers, TheSourceTreeKeepsTheOrder)
{
    // Known exceptions, each with the reason to remove it once its cause is gone.
    const std::set<Edge> known{};
    const auto edges = folderIncludes(QStringLiteral(KORVIX_SOURCE_DIR));
    EXPECT_GT(edges.size(), 30u);
    EXPECT_EQ(layerFaults(edges, known), QStringList());
    for (const Edge &e : known)
        EXPECT_TRUE(edges.count(e)) << "no longer needed, remove the exception: " << e.first.toStdString() << " -> "
                                    << e.second.toStdString();
}
