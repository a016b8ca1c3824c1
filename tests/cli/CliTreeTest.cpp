// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Settings.h"
#include "platform/Settings.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(CliTree, PrintsTheSampleDeviceWhole)
{
    TempFolder tmp;
    ASSERT_EQ(runCli({"sample-device", tmp.file("dev")}).code, 0);
    const CliRun r = runCli({"tree", tmp.file("dev") + "/"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QString text = QString::fromUtf8(r.out);
    const QString key = QDir::cleanPath(tmp.file("dev"));
    ASSERT_TRUE(text.startsWith(key + "|Korvix Sample [0]\n")) << text.toStdString();
    // The categories follow in their fixed order, two blanks in.
    QStringList categories;
    for (const QString &line : text.split('\n'))
        if (line.startsWith("  ") && !line.startsWith("   "))
            categories << line.trimmed().section(' ', 0, 0);
    EXPECT_EQ(categories, QStringList({"QuickGPSFix", "POI", "Itinerary", "Images", "Schemes", "Sounds", "Voices", "Raster"}));
}

TEST(CliTree, FollowsTheSuperUserSettingAndRefusesOtherFolders)
{
    TempFolder tmp;
    tmp.write("dev/TTGO.BIF", "[TomTomGo]\nDeviceName=GO\n");
    tmp.write("dev/ttsystem");
    tmp.write("dev/Map/cline.dat");
    tmp.write("dev/Map/poi.dat");
    const QString expectedPlain = QDir::cleanPath(tmp.file("dev")) + "|GO [0]\n  QuickGPSFix [8]\n  POI [9]\n    Map [2]\n"
                                  "  Itinerary [9]\n  Images [9]\n  Schemes [9]\n  Sounds [9]\n  Voices [9]\n  Raster [9]\n";
    EXPECT_EQ(QString::fromUtf8(runCli({"tree", tmp.file("dev")}).out), expectedPlain);

    // The program's own settings file, written as the program writes it.
    KorvixSettings settings;
    Prefs::switches(settings).setSuperUser();
    const QString su = QString::fromUtf8(runCli({"tree", tmp.file("dev")}).out);
    QFile::remove(settings.fileName());
    EXPECT_TRUE(su.contains("    Map [2]\n      POI.DAT [3]\n")) << su.toStdString();

    const CliRun bad = runCli({"tree", tmp.file("dev/Map")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, tmp.file("dev/Map").toUtf8() + ": Not a device folder (it needs TTGO.BIF and ttsystem)\n");
}
