// SPDX-License-Identifier: GPL-3.0-or-later
// The map page's files, written without a browser.
#include "map/MapPage.h"
#include "platform/Settings.h"
#include "tests/support/TestSupport.h"

#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

TEST(MapPage, SettingsCannotCloseTheConfigurationScript)
{
    MapPage::Config c;
    c.tiles.push_back({QStringLiteral("Map"), QStringLiteral("http://x/</script><script>alert(1)</script>{z}"),
                       QStringLiteral("<!-- \"quoted\" </SCRIPT>")});
    const QString html = MapPage::pageHtml(c);
    const qsizetype start = html.indexOf(QLatin1String("window.KX_CONFIG = "));
    ASSERT_GE(start, 0);
    const qsizetype end = html.indexOf(QLatin1String("</script>"), start);
    const QString literal = html.mid(start, end - start);
    // The whole configuration stays inside its own script element.
    EXPECT_TRUE(literal.contains(QLatin1String("{z}")));
    EXPECT_TRUE(literal.contains(QLatin1String("<\\/script><script>alert(1)<\\/script>")));
    EXPECT_FALSE(literal.contains(QLatin1String("<!--")));
    EXPECT_TRUE(literal.endsWith(QLatin1String(";")));
}

TEST(MapPage, TileSourcesDefaultToOpenStreetMap)
{
    TempFolder tmp;
    KorvixSettings s(tmp.file("k.ini"));
    MapPage::Config c = MapPage::readConfig(s);
    ASSERT_EQ(c.tiles.size(), 4u);
    QStringList kinds;
    for (const MapPage::TileSource &t : c.tiles)
        kinds << t.kind;
    EXPECT_EQ(kinds, QStringList({"map", "terrain", "satellite", "labels"}));
    EXPECT_EQ(c.tiles[0].url, "https://tile.openstreetmap.org/{z}/{x}/{y}.png");
    EXPECT_EQ(c.tiles[0].attribution, QString::fromUtf8("\u00a9 OpenStreetMap contributors"));
    EXPECT_EQ(c.texts.size(), 33);
    EXPECT_EQ(c.texts[12], "Traffic ");
    EXPECT_EQ(c.texts[32], "WebCam");
    s.WriteString("googleapi", "tilemap", "http://127.0.0.1:1/{z}/{x}/{y}.png");
    EXPECT_EQ(MapPage::readConfig(s).tiles[0].url, "http://127.0.0.1:1/{z}/{x}/{y}.png");
}

TEST(MapPage, FilesOfThePage)
{
    TempFolder tmp;
    const QString dir = tmp.file("GMap/");
    ASSERT_EQ(MapPage::writeFiles(dir, MapPage::Config{}), "");
    for (const char *f : {"TmpPOI.htm", "korvixmap.js", "mapcontrols.js", "leaflet.js", "leaflet.css", "images/layers.png"})
        EXPECT_GT(QFileInfo(dir + f).size(), 0) << f;
    ASSERT_EQ(MapPage::pictures().size(), 9u);
    for (const MapPage::Picture &p : MapPage::pictures()) {
        const QImage img(dir + p.name);
        EXPECT_EQ(img.size(), QSize(p.width, p.height)) << p.name;
        EXPECT_TRUE(img.hasAlphaChannel()) << p.name;
    }
    // Leaflet is written only when missing; the page every time.
    tmp.write("GMap/leaflet.js", "// kept");
    tmp.write("GMap/TmpPOI.htm", "old");
    ASSERT_EQ(MapPage::writeFiles(dir, MapPage::Config{}), "");
    EXPECT_EQ(readAll(dir + "leaflet.js"), "// kept");
    EXPECT_TRUE(readAll(dir + "TmpPOI.htm").contains("korvixmap.js"));
}
