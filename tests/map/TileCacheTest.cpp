// SPDX-License-Identifier: GPL-3.0-or-later
// The disk tile cache: what the server's headers allow, a tile back as stored with its
// validators, a damaged file never served, oldest out first past the limit.
#include "map/TileCache.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {
const QDateTime now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

TileCache::Tile tile(const QByteArray &data, int freshSeconds)
{
    return {data, "image/png", "\"e1\"", "Sun, 01 Mar 2026 10:00:00 GMT", now.addSecs(freshSeconds)};
}
} // namespace

TEST(TileCache, ExpiryFollowsTheServersHeaders)
{
    EXPECT_EQ(TileCache::expiry("max-age=3600", "", now), now.addSecs(3600));
    EXPECT_EQ(TileCache::expiry("public, Max-Age=60, stale-while-revalidate=9", "", now), now.addSecs(60));
    // max-age wins over Expires; Expires alone is read as an HTTP date.
    EXPECT_EQ(TileCache::expiry("max-age=10", "Mon, 02 Mar 2026 12:00:00 GMT", now), now.addSecs(10));
    EXPECT_EQ(TileCache::expiry("", "Mon, 02 Mar 2026 12:00:00 GMT", now), now.addDays(1));
    EXPECT_EQ(TileCache::expiry("", "Tue, 03 Mar 2026 08:30:00 GMT", now),
              QDateTime(QDate(2026, 3, 3), QTime(8, 30), Qt::UTC));
    EXPECT_EQ(TileCache::expiry("", "0", now), now);
    EXPECT_EQ(TileCache::expiry("no-cache", "", now), now);
    EXPECT_FALSE(TileCache::expiry("private, no-store", "", now));
    EXPECT_EQ(TileCache::expiry("", "", now), now.addDays(1));
    // s-maxage is not max-age.
    EXPECT_EQ(TileCache::expiry("s-maxage=5", "", now), now.addDays(1));
}

TEST(TileCache, StoredTilesComeBackWithTheirValidatorsAndDamagedOnesDoNot)
{
    TempFolder tmp;
    TileCache cache(tmp.path());
    EXPECT_FALSE(cache.find("abc", 1, 0, 0));
    ASSERT_EQ(cache.store("abc", 1, 0, 1, tile("PNGDATA", 60)), "");
    const std::optional<TileCache::Tile> t = cache.find("abc", 1, 0, 1);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->data, "PNGDATA");
    EXPECT_EQ(t->mimeType, "image/png");
    EXPECT_EQ(t->etag, "\"e1\"");
    EXPECT_EQ(t->lastModified, "Sun, 01 Mar 2026 10:00:00 GMT");
    EXPECT_TRUE(t->fresh(now));
    EXPECT_FALSE(t->fresh(now.addSecs(61)));
    // Another source, another tile; ids that are no plain names are no tiles.
    EXPECT_FALSE(cache.find("abd", 1, 0, 1));
    EXPECT_FALSE(cache.find("../abc", 1, 0, 1));
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name).isEmpty());

    // A file cut short (its data never reached the disk) is no tile, nor is a bigger one.
    const QString file = tmp.file("abc/1/0/1.tile");
    const QByteArray whole = readAll(file);
    for (const QByteArray &bad : {whole.left(whole.size() - 1), whole + "x", QByteArray()}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bad);
        f.close();
        EXPECT_FALSE(cache.find("abc", 1, 0, 1)) << bad.size();
    }
    // A replaced tile leaves no temporary behind.
    ASSERT_EQ(cache.store("abc", 1, 0, 1, tile("NEWDATA", 60)), "");
    EXPECT_EQ(cache.find("abc", 1, 0, 1)->data, "NEWDATA");
    EXPECT_EQ(QDir(tmp.file("abc/1/0")).entryList(QDir::Files | QDir::Hidden), QStringList{"1.tile"});
}

TEST(TileCache, OldestTilesGoFirstPastTheLimitAndClearEmptiesIt)
{
    TempFolder tmp;
    const QByteArray data(10000, 't');
    TileCache cache(tmp.path(), 55000);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(cache.store("w", 3, i, 0, tile(data, 60)), "");
        // Distinct times, oldest first.
        QFile f(tmp.file(QStringLiteral("w/3/%1/0.tile").arg(i)));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(-100 + i), QFileDevice::FileModificationTime);
    }
    EXPECT_GT(cache.size(), 50000);
    EXPECT_LE(cache.size(), 55000);
    ASSERT_EQ(cache.store("w", 3, 5, 0, tile(data, 60)), "");
    // Down to nine tenths of the limit: the two oldest went.
    EXPECT_FALSE(cache.find("w", 3, 0, 0));
    EXPECT_FALSE(cache.find("w", 3, 1, 0));
    for (int i = 2; i <= 5; ++i)
        EXPECT_TRUE(cache.find("w", 3, i, 0)) << i;
    EXPECT_LE(cache.size(), 55000 - 5500);
    // A new cache object counts what is on disk.
    EXPECT_EQ(TileCache(tmp.path()).size(), cache.size());

    EXPECT_EQ(cache.clear(), "");
    EXPECT_EQ(cache.size(), 0);
    EXPECT_FALSE(cache.find("w", 3, 5, 0));
}
