// SPDX-License-Identifier: GPL-3.0-or-later
// The settings' "Offline map" page: archives added are checked and remembered, one
// that is no archive says why, the cache shows its size and empties at a button.
#include "app/SettingsDialog.h"
#include "map/TileScheme.h"
#include "map/TileSources.h"
#include "platform/Settings.h"
#include "tests/map/TileFixtures.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace TileFixtures;

TEST(TileSettings, ArchivesAreCheckedAndRememberedBetweenRuns)
{
    TempFolder tmp;
    const QString mb = tmp.file("a.mbtiles");
    ASSERT_EQ(writeMBTiles(mb, {{{0, 0, 0}, pngTile(Qt::red)}}, {}), "");
    const QString pm = tmp.write("b.pmtiles", buildPMTiles({{{0, 0, 0}, pngTile(Qt::green)}}));
    const QString bad = tmp.write("c.mbtiles", "no database");
    KorvixSettings settings;
    {
        TSettings dialog(settings, tmp.file("korvix"));
        dialog.load();
        EXPECT_EQ(dialog.archiveList()->count(), 0);
        for (const QString &path : {mb, pm, mb}) {
            dialog.chooseArchive = [path] { return path; };
            dialog.addArchive();
        }
        EXPECT_EQ(dialog.archiveList()->count(), 2);
        QString warning;
        onNextModal([&](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w)) {
                warning = box->text();
                box->accept();
            }
        });
        dialog.chooseArchive = [bad] { return bad; };
        dialog.addArchive();
        EXPECT_EQ(warning, bad + ": Not a tile archive (MBTiles or PMTiles)");
        EXPECT_EQ(dialog.archiveList()->count(), 2);
    }
    // Another run reads them back, in order.
    EXPECT_EQ(TileSources::archivePaths(KorvixSettings()), QStringList({mb, pm}));
    TSettings dialog(settings, tmp.file("korvix"));
    dialog.load();
    ASSERT_EQ(dialog.archiveList()->count(), 2);
    dialog.archiveList()->setCurrentRow(0);
    dialog.removeArchive();
    EXPECT_EQ(TileSources::archivePaths(settings), QStringList({pm}));
}

TEST(TileSettings, TheCacheShowsItsSizeEmptiesAndTakesItsLimit)
{
    KorvixSettings settings;
    TileCache &cache = TileSchemeHandler::instance()->cache();
    ASSERT_EQ(cache.folder(), TileSources::cacheFolder());
    ASSERT_EQ(cache.store("abc", 3, 1, 1, {QByteArray(3 << 20, 'x'), "image/png", {}, {}, QDateTime::currentDateTimeUtc()}), "");
    TSettings dialog(settings, "/opt/korvix/korvix");
    dialog.load();
    EXPECT_TRUE(dialog.cacheSizeLabel()->text().startsWith("3.0 MB in ")) << dialog.cacheSizeLabel()->text().toStdString();
    EXPECT_EQ(dialog.cacheLimitBox()->value(), 500);
    dialog.emptyTileCache();
    EXPECT_FALSE(cache.find("abc", 3, 1, 1));
    EXPECT_TRUE(dialog.cacheSizeLabel()->text().startsWith("0.0 MB in ")) << dialog.cacheSizeLabel()->text().toStdString();
    dialog.cacheLimitBox()->setValue(40);
    EXPECT_EQ(TileSources::cacheLimit(KorvixSettings()), qint64(40) << 20);
    EXPECT_EQ(cache.limit(), qint64(40) << 20);
}
