// SPDX-License-Identifier: GPL-3.0-or-later
// The tile archive readers, headless: tiles come back where they were written (the
// MBTiles row order, the PMTiles curve, leaf directories, packed directories), the
// metadata sets name, zooms and bounds, and hostile archives end with a message.
#include "map/MBTiles.h"
#include "map/PMTiles.h"
#include "map/TileArchive.h"
#include "tests/map/TileFixtures.h"
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace TileFixtures;

namespace {

QRgb centre(const QByteArray &tile)
{
    return QImage::fromData(tile).pixel(128, 128);
}

// Every tile of `tiles` read back from `reader` is the one written there.
void expectEveryTile(TileArchive::Reader &reader, const std::map<Key, QByteArray> &tiles)
{
    for (const auto &[key, data] : tiles) {
        const auto [z, x, y] = key;
        QString error;
        const std::optional<QByteArray> got = reader.tile(z, x, y, &error);
        ASSERT_TRUE(got) << z << '/' << x << '/' << y << ' ' << error.toStdString();
        EXPECT_EQ(*got, data) << z << '/' << x << '/' << y;
    }
}

} // namespace

TEST(TileArchive, PMTilesNumbersTilesAlongTheCurveAsTheFormatDoes)
{
    // The format's own examples: zoom 0, then zoom 1 in curve order, zoom 2 starts at 5.
    EXPECT_EQ(PMTiles::tileId(0, 0, 0), 0u);
    EXPECT_EQ(PMTiles::tileId(1, 0, 0), 1u);
    EXPECT_EQ(PMTiles::tileId(1, 0, 1), 2u);
    EXPECT_EQ(PMTiles::tileId(1, 1, 1), 3u);
    EXPECT_EQ(PMTiles::tileId(1, 1, 0), 4u);
    EXPECT_EQ(PMTiles::tileId(2, 0, 0), 5u);
    EXPECT_EQ(PMTiles::tileId(12, 3423, 1763), 19078479u);
    for (int z = 0; z <= 7; ++z)
        for (quint32 x = 0; x < (1u << z); x += 3)
            for (quint32 y = 0; y < (1u << z); y += 5)
                ASSERT_EQ(PMTiles::tileId(z, x, y), hilbertId(z, x, y)) << z << '/' << x << '/' << y;
}

TEST(TileArchive, MBTilesGivesTilesInWebOrderWithItsMetadata)
{
    TempFolder tmp;
    const auto tiles = colouredTiles(3);
    const QString path = tmp.file("world.mbtiles");
    ASSERT_EQ(writeMBTiles(path, tiles,
                           {{"name", "Test world"}, {"format", "png"}, {"minzoom", "0"}, {"maxzoom", "3"},
                            {"bounds", "14.1,49.0,24.2,54.9"}, {"attribution", "<b>Us</b>"}}),
              "");
    QString error;
    const auto reader = TileArchive::open(path, &error);
    ASSERT_TRUE(reader) << error.toStdString();
    const TileArchive::Info &i = reader->info();
    EXPECT_EQ(i.format, "MBTiles");
    EXPECT_EQ(i.name, "Test world");
    EXPECT_EQ(i.attribution, "<b>Us</b>");
    EXPECT_EQ(i.tileType, "png");
    EXPECT_EQ(i.minZoom, 0);
    EXPECT_EQ(i.maxZoom, 3);
    EXPECT_EQ(i.tileCount, qint64(tiles.size()));
    ASSERT_TRUE(i.hasBounds);
    EXPECT_DOUBLE_EQ(i.west, 14.1);
    EXPECT_DOUBLE_EQ(i.north, 54.9);
    expectEveryTile(*reader, tiles);
    // Row 0 is the north: its colour is the one drawn for y = 0, not for the TMS row 0.
    EXPECT_EQ(centre(*reader->tile(2, 1, 0, &error)), QColor(100, 50, 0).rgb());
    // Outside the archive or the grid: no tile and no error.
    EXPECT_FALSE(reader->tile(4, 0, 0, &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(reader->tile(2, 4, 0, &error));
    EXPECT_FALSE(reader->tile(-1, 0, 0, &error));
}

TEST(TileArchive, PMTilesReadsRootAndLeafDirectoriesPackedOrNot)
{
    TempFolder tmp;
    const auto tiles = colouredTiles(4);
    for (const int leafSize : {0, 7}) {
        for (const bool packed : {true, false}) {
            PMTilesOptions o;
            o.leafSize = leafSize;
            o.gzipDirectories = packed;
            o.metadata = QJsonObject{{"name", "Curve"}, {"attribution", "Drawn"}, {"description", "d"}};
            o.west = 14.5;
            o.south = 49;
            o.east = 24.25;
            o.north = 55;
            const QString path = tmp.write(QStringLiteral("a%1%2.pmtiles").arg(leafSize).arg(packed), buildPMTiles(tiles, o));
            QString error;
            const auto reader = TileArchive::open(path, &error);
            ASSERT_TRUE(reader) << error.toStdString();
            const TileArchive::Info &i = reader->info();
            EXPECT_EQ(i.format, "PMTiles");
            EXPECT_EQ(i.name, "Curve");
            EXPECT_EQ(i.attribution, "Drawn");
            EXPECT_EQ(i.tileType, "png");
            EXPECT_EQ(i.minZoom, 0);
            EXPECT_EQ(i.maxZoom, 4);
            EXPECT_EQ(i.tileCount, qint64(tiles.size()));
            EXPECT_TRUE(i.hasBounds);
            EXPECT_DOUBLE_EQ(i.east, 24.25);
            expectEveryTile(*reader, tiles);
            EXPECT_FALSE(reader->tile(5, 0, 0, &error));
            EXPECT_TRUE(error.isEmpty());
        }
    }
}

TEST(TileArchive, PMTilesRunLengthsServeOneTileForARun)
{
    // One stored sea tile for the four tiles of zoom 1: one entry, a run of four.
    TempFolder tmp;
    const QByteArray sea = pngTile(QColor(170, 211, 223));
    QByteArray dir;
    varint(dir, 1);
    varint(dir, 1);  // first id: zoom 1's first tile
    varint(dir, 4);  // run of four
    varint(dir, quint64(sea.size()));
    varint(dir, 1);  // offset 0, written plus one
    QByteArray file = buildPMTiles({{{0, 0, 0}, sea}}, PMTilesOptions{0, false, {}});
    // Same layout with the root swapped for ours: header fields adjusted.
    QByteArray h = file.left(127);
    const QByteArray meta = "{}";
    putU64(h, RootLength, dir.size());
    putU64(h, 24, 127 + dir.size());
    putU64(h, 32, meta.size());
    putU64(h, LeafOffset, 127 + dir.size() + meta.size());
    putU64(h, LeafLength, 0);
    putU64(h, DataOffset, 127 + dir.size() + meta.size());
    putU64(h, 64, sea.size());
    const QString path = tmp.write("run.pmtiles", h + dir + meta + sea);
    QString error;
    const auto reader = TileArchive::open(path, &error);
    ASSERT_TRUE(reader) << error.toStdString();
    for (const auto &[x, y] : {std::pair{0, 0}, {0, 1}, {1, 0}, {1, 1}})
        EXPECT_EQ(reader->tile(1, x, y, &error), sea) << x << ',' << y;
    EXPECT_FALSE(reader->tile(0, 0, 0, &error));
    EXPECT_FALSE(reader->tile(2, 0, 0, &error));
}

TEST(TileArchive, HostileArchivesEndWithAMessageNamingTheFile)
{
    TempFolder tmp;
    const auto tiles = colouredTiles(2);
    struct Case {
        QString name;
        QString expected; // part of the message after the path
    };
    auto opens = [&](const QString &path, const QString &expected) {
        QString error;
        EXPECT_FALSE(TileArchive::open(path, &error)) << path.toStdString();
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_TRUE(error.contains(expected)) << error.toStdString();
    };
    opens(tmp.write("text.mbtiles", "just some text, no database at all"), "Not a tile archive");
    opens(tmp.file("missing.pmtiles"), "No such file");
    // A SQLite header over garbage, and a database of some other program.
    opens(tmp.write("garbage.mbtiles", QByteArray("SQLite format 3\0", 16) + QByteArray(4096, '\x5a')), "");
    {
        const QString other = tmp.file("other.mbtiles");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other-writer");
            db.setDatabaseName(other);
            ASSERT_TRUE(db.open());
            QSqlQuery(db).exec("CREATE TABLE people (name text)");
            db.close();
        }
        QSqlDatabase::removeDatabase("other-writer");
        opens(other, "no table of tiles");
    }
    // A FIFO with no writer is refused at once, never waited on.
    const QString fifo = tmp.file("fifo.pmtiles");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    opens(fifo, "Not a regular file");

    const QByteArray good = buildPMTiles(tiles);
    QByteArray past = good;
    putU64(past, RootOffset, quint64(good.size()) + 10);
    opens(tmp.write("past.pmtiles", past), "past its end");
    QByteArray huge = good;
    putU64(huge, RootOffset, 127);
    putU64(huge, RootLength, quint64(1) << 40);
    opens(tmp.write("hugedir.pmtiles", huge), "too large");
    QByteArray broken = good;
    broken[130] = char(~broken[130]);
    opens(tmp.write("broken.pmtiles", broken), "directory");
    QByteArray v2 = good;
    v2[7] = 2;
    opens(tmp.write("v2.pmtiles", v2), "version 2");
    opens(tmp.write("short.pmtiles", good.left(60)), "Not a PMTiles archive");
}

TEST(TileArchive, LoopingDirectoriesAndHugeTilesGiveAnErrorNotAHang)
{
    TempFolder tmp;
    const QString loop = tmp.write("loop.pmtiles", loopingPMTiles());
    QString error;
    auto reader = TileArchive::open(loop, &error);
    ASSERT_TRUE(reader) << error.toStdString();
    EXPECT_FALSE(reader->tile(1, 0, 0, &error));
    EXPECT_TRUE(error.startsWith(loop) && error.contains("nest too deep")) << error.toStdString();

    // A tile entry of 1 GB, whose bytes are not even there: refused by its length.
    QByteArray bigRoot = directory({{0, 0, 1u << 30, 1}});
    QByteArray h = loopingPMTiles().left(127);
    putU64(h, RootLength, bigRoot.size());
    putU64(h, LeafLength, 0);
    putU64(h, LeafOffset, 127 + bigRoot.size());
    putU64(h, DataOffset, 127 + bigRoot.size());
    putU64(h, 64, quint64(1) << 31);
    const QString bigP = tmp.write("big.pmtiles", h + bigRoot);
    reader = TileArchive::open(bigP, &error);
    ASSERT_TRUE(reader) << error.toStdString();
    EXPECT_FALSE(reader->tile(0, 0, 0, &error));
    EXPECT_TRUE(error.contains("too large")) << error.toStdString();

    // An MBTiles row just past the cap is not read into memory.
    const QString bigM = tmp.file("big.mbtiles");
    ASSERT_EQ(writeMBTiles(bigM, {{{0, 0, 0}, QByteArray(TileArchive::MaxTileBytes + 1, 'x')}, {{1, 0, 0}, pngTile(Qt::blue)}}, {}), "");
    reader = TileArchive::open(bigM, &error);
    ASSERT_TRUE(reader) << error.toStdString();
    EXPECT_FALSE(reader->tile(0, 0, 0, &error));
    EXPECT_EQ(error, bigM + ": The tile 0/0/0 is too large");
    EXPECT_EQ(reader->tile(1, 0, 0, &error), pngTile(Qt::blue));
}

TEST(TileArchive, InflateStopsAtItsCap)
{
    const QByteArray big(1 << 20, 'a');
    const QByteArray packed = gzip(big);
    EXPECT_EQ(PMTiles::inflate(packed, 1 << 20), big);
    EXPECT_FALSE(PMTiles::inflate(packed, (1 << 20) - 1));
    EXPECT_FALSE(PMTiles::inflate(packed.left(packed.size() / 2), 1 << 20));
}
