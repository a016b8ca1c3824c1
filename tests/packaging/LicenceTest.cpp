// SPDX-License-Identifier: GPL-3.0-or-later
// Every source file of ours says its licence in its first lines, and the licence and
// the notices of others are where the package and the README say.
#include "tests/support/TestSupport.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

TEST(Licence, EverySourceFileCarriesItsSpdxLine)
{
    const QString root = QStringLiteral(KORVIX_SOURCE_DIR);
    QStringList without;
    int seen = 0;
    for (const char *folder : {"app", "cli", "core", "exchange", "grid", "itn", "map", "media", "platform", "poi",
                               "services", "tests", "bench", "fuzz", "packaging", "scripts", "assets", "cmake"}) {
        QDirIterator it(root + '/' + folder, {"*.cpp", "*.h", "*.js", "*.html", "*.cmake", "*.sh", "CMakeLists.txt"},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
            ++seen;
            if (!f.read(300).contains("SPDX-License-Identifier: GPL-3.0-or-later"))
                without << path.mid(root.size() + 1);
        }
    }
    EXPECT_GT(seen, 400);
    EXPECT_TRUE(without.isEmpty()) << without.join('\n').toStdString();
    EXPECT_TRUE(readAll(root + "/LICENSE").contains("GNU GENERAL PUBLIC LICENSE"));
    EXPECT_TRUE(readAll(root + "/LICENSE").contains("Version 3, 29 June 2007"));
    EXPECT_TRUE(readAll(root + "/THIRD-PARTY.md").contains("Leaflet"));
}
