// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli map tiles, run as the real program: an archive's description, one tile
// written out, and the messages of archives that cannot be read.
#include "tests/map/TileFixtures.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace TileFixtures;

TEST(MapTilesCli, PrintsTheDescriptionOfBothKindsOfArchive)
{
    TempFolder tmp;
    const auto tiles = colouredTiles(2);
    const QString mb = tmp.file("a.mbtiles");
    ASSERT_EQ(writeMBTiles(mb, tiles, {{"name", "Mazowsze"}, {"format", "png"}, {"bounds", "19,51,23,53.5"}}), "");
    const CliRun m = runCli({"map", "tiles", mb});
    ASSERT_EQ(m.code, 0) << m.err.constData();
    EXPECT_EQ(m.out, "format: MBTiles\nmetadata bounds: 19,51,23,53.5\nmetadata format: png\nmetadata name: Mazowsze\n"
                     "tile type: png\nzoom: 0-2\nbounds: 19.000000,51.000000,23.000000,53.500000\ntiles: 21\n");

    PMTilesOptions o;
    o.metadata = QJsonObject{{"name", "Curve"}};
    o.west = -10;
    o.south = 35;
    o.east = 30;
    o.north = 60;
    const QString pm = tmp.write("a.pmtiles", buildPMTiles(tiles, o));
    const CliRun p = runCli({"map", "tiles", pm});
    ASSERT_EQ(p.code, 0) << p.err.constData();
    EXPECT_EQ(p.out, "format: PMTiles\nmetadata name: Curve\ntile type: png\nzoom: 0-2\n"
                     "bounds: -10.000000,35.000000,30.000000,60.000000\ntiles: 21\n");
}

TEST(MapTilesCli, WritesOneTileAndSaysWhyItCannot)
{
    TempFolder tmp;
    const auto tiles = colouredTiles(2);
    const QString mb = tmp.file("a.mbtiles");
    ASSERT_EQ(writeMBTiles(mb, tiles, {}), "");
    const QString pm = tmp.write("a.pmtiles", buildPMTiles(tiles, PMTilesOptions{3}));
    for (const QString &archive : {mb, pm}) {
        const QString out = tmp.file("t.png");
        const CliRun r = runCli({"map", "tiles", archive, "2", "3", "1", out});
        ASSERT_EQ(r.code, 0) << r.err.constData();
        EXPECT_EQ(readAll(out), (tiles.at({2, 3, 1})));
        const CliRun none = runCli({"map", "tiles", archive, "2", "4", "1", out});
        EXPECT_EQ(none.code, 2);
        const CliRun missing = runCli({"map", "tiles", archive, "3", "0", "0", out});
        EXPECT_EQ(missing.code, 1);
        EXPECT_EQ(missing.err, (archive + ": There is no tile 3/0/0 in the archive\n").toUtf8());
        // The old output stays when nothing was written.
        EXPECT_EQ(readAll(out), (tiles.at({2, 3, 1})));
    }
    // A JPEG archive's tile asked for as PNG is drawn again as PNG.
    const QString jpg = tmp.file("j.mbtiles");
    ASSERT_EQ(writeMBTiles(jpg, {{{0, 0, 0}, pngTile(QColor(0, 0, 200), "JPEG")}}, {{"format", "jpg"}}), "");
    ASSERT_EQ(runCli({"map", "tiles", jpg, "0", "0", "0", tmp.file("j.png")}).code, 0);
    EXPECT_TRUE(readAll(tmp.file("j.png")).startsWith("\x89PNG"));
    EXPECT_EQ(QColor(QImage(tmp.file("j.png")).pixel(5, 5)).blue() > 180, true);

    const QString text = tmp.write("x.pmtiles", "hello");
    const CliRun bad = runCli({"map", "tiles", text});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, (text + ": Not a tile archive (MBTiles or PMTiles)\n").toUtf8());
    EXPECT_EQ(runCli({"map", "tiles"}).code, 2);
    EXPECT_EQ(runCli({"map", "tiles", mb, "0", "0", "0", tmp.file("t.txt")}).code, 2);
}
