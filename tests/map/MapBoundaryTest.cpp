// SPDX-License-Identifier: GPL-3.0-or-later
// The map and the list editors know each other through types only: no method called
// by its name, no cast from a widget to an editor class, and no two files of the
// map's headers that include each other.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

const QString root = QStringLiteral(KORVIX_SOURCE_DIR);

// Relative path -> text, for the C++ files of `folder`.
QMap<QString, QString> sources(const QString &folder)
{
    QMap<QString, QString> out;
    QDirIterator it(root + u'/' + folder, {"*.cpp", "*.h"}, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            out.insert(path.mid(root.size() + 1), QString::fromUtf8(f.readAll()));
    }
    return out;
}

} // namespace

TEST(MapBoundary, NoCallByNameAndNoCastToAnEditorClass)
{
    static const QRegularExpression byName(QStringLiteral(R"re(invokeMethod\s*\([^;]*"[A-Za-z_]\w*")re"));
    static const QRegularExpression cast(QStringLiteral(R"re((?:qobject_cast|dynamic_cast|static_cast)\s*<\s*(?:const\s+)?(?:TOV2|TItnEdit)\b)re"));
    ASSERT_TRUE(byName.isValid() && cast.isValid());
    QStringList offenders;
    int scanned = 0;
    for (const QString &folder : {QStringLiteral("map"), QStringLiteral("poi"), QStringLiteral("itn")}) {
        const auto files = sources(folder);
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            ++scanned;
            if (byName.match(it.value()).hasMatch())
                offenders << it.key() + QStringLiteral(": a method called by its name");
            if (folder == QLatin1String("map") && cast.match(it.value()).hasMatch())
                offenders << it.key() + QStringLiteral(": a cast to an editor class");
        }
    }
    EXPECT_GT(scanned, 30) << root.toStdString();
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(u'\n').toStdString();
}

TEST(MapBoundary, NoTwoHeadersOfTheMapIncludeEachOtherNorTheSmallMapTheMapWindow)
{
    static const QRegularExpression include(QStringLiteral(R"re(#include\s+"map/(\w+)\.h")re"));
    // Header -> the map headers it includes.
    QMap<QString, QSet<QString>> uses;
    const auto files = sources(QStringLiteral("map"));
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        auto m = include.globalMatch(it.value());
        while (m.hasNext())
            uses[it.key()].insert(m.next().captured(1));
    }
    ASSERT_TRUE(uses.value(QStringLiteral("map/GMaps.cpp")).contains(QStringLiteral("MiniMap")));
    // The window makes small maps for the POI lists it opens; the small map shares
    // the page's host object with it, not the window itself.
    EXPECT_FALSE(uses.value(QStringLiteral("map/MiniMap.cpp")).contains(QStringLiteral("GMaps")));
    EXPECT_FALSE(uses.value(QStringLiteral("map/MiniMap.h")).contains(QStringLiteral("GMaps")));
    QStringList cycles;
    for (auto it = uses.cbegin(); it != uses.cend(); ++it) {
        if (!it.key().endsWith(QLatin1String(".h")))
            continue;
        const QString unit = QFileInfo(it.key()).completeBaseName();
        for (const QString &used : it.value())
            if (unit < used && uses.value(QStringLiteral("map/") + used + QStringLiteral(".h")).contains(unit))
                cycles << unit + QStringLiteral(" <-> ") + used;
    }
    EXPECT_TRUE(cycles.isEmpty()) << cycles.join(u'\n').toStdString();
}
