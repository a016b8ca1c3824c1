// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli feed: the rows AddPoi would add, from saved bodies, run as the real program.
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(FeedCli, PrintsRowsAsTheEditorStoresThemEscapedLikeTheDump)
{
    TempFolder dir;
    const QString xml = dir.write(
        "utrdane.xml",
        "<utrudnienia><u><typ>Utrudnienie\tnocne</typ><rodzaj><poz>U33</poz></rodzaj>"
        "<data_likwidacji>2009-05-31T00:00:00</data_likwidacji><geo_long>19.94</geo_long><geo_lat>50.06</geo_lat></u>"
        "<u><typ>Zero</typ><geo_long>0</geo_long><geo_lat>50</geo_lat></u></utrudnienia>");
    CliRun run = runCli({"feed", "gddkia", xml, "--today", "2009-06-01"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "1994000\t5006000\t----Utrudnienie\\tnocne Roboty drogowe  do 2009-05-31\n");
    run = runCli({"feed", "gddkia", xml, "--today", "2009-05-31"});
    EXPECT_EQ(run.out, "1994000\t5006000\tUtrudnienie\\tnocne Roboty drogowe  do 2009-05-31\n");
    EXPECT_EQ(runCli({"feed", "gddkia", xml, "--today", "31.05.2009"}).code, 2);
    // The option may stand before the file too.
    EXPECT_EQ(runCli({"feed", "gddkia", "--today", "2009-06-01", xml}).out, runCli({"feed", "gddkia", xml, "--today", "2009-06-01"}).out);
    EXPECT_EQ(runCli({"feed", "gddkia", xml, "--today"}).code, 2);

    const QString cfg = dir.write("MapSettings.cfg", Ov2Bytes().u8(8).u8(0).raw(QByteArray(8, '\x08')).le16(8)
                                                         .le32(1993500).le32(5006200).u8(0x1B).u8(0).raw("Dom Zo\x9c").u8(0)); // "ś" in the device code page
    run = runCli({"feed", "mapsettings", cfg});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "1993500\t5006200\tDom Zoś\n");
}

TEST(FeedCli, AnErrorComesAfterTheRowsAddedBeforeIt)
{
    TempFolder dir;
    const QString krakow = dir.write("mapa.xml", "\xEF\xBB\xBF<data><marker long=\"19.94\" lat=\"50.06\" desc=\" Rondo \"/>"
                                                 "<marker long=\"abc\" lat=\"50.06\" desc=\"x\"/>"
                                                 "<marker long=\"19.95\" lat=\"50.06\" desc=\"y\"/></data>");
    CliRun run = runCli({"feed", "krakow", krakow});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "1994000\t5006000\tRondo\n");
    EXPECT_EQ(run.err, (krakow + ": 'abc' is not a valid floating point value\n").toUtf8());

    const QString broken = dir.write("gddkia-mobi.xml", "<dane><utrudnienie>");
    run = runCli({"feed", "gddkia-mobi", broken});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_FALSE(run.err.isEmpty());

    const QString page = dir.write("page.html", "x GLatLng(50.06,19.94) GLatLng(1,2");
    run = runCli({"feed", "web", page, "http://example.test/a b"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "1994000\t5006000\thttp://example.test/a b\n");
    EXPECT_NE(runCli({"feed", "zakopane", dir.file("missing.xml")}).code, 0);
}

} // namespace
