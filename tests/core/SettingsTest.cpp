// SPDX-License-Identifier: GPL-3.0-or-later
// The typed settings: defaults, round trips through the store, the servers' form, and
// the rule that no section or key is spelled anywhere else in the program.
#include "core/Settings.h"
#include "platform/Settings.h"
#include "tests/support/TestSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(Prefs, DefaultsAndRoundTripsThroughTheStore)
{
    TempFolder tmp;
    KorvixSettings s(tmp.file("cfg/Korvix.ini"));
    EXPECT_TRUE(Prefs::switches(s).updateCheck());
    EXPECT_FALSE(Prefs::switches(s).superUser());
    EXPECT_EQ(Prefs::lists(s).maxDistance(), 0);
    EXPECT_EQ(Prefs::device(s).codePage(), "1250");
    EXPECT_EQ(Prefs::gpsFix(s).host("fallback.example"), "fallback.example");
    EXPECT_FALSE(Prefs::windows(s).editorSize("POI").isValid());
    EXPECT_EQ(Prefs::tiles(s).cacheMegabytes(), 500);
    EXPECT_EQ(Prefs::tiles(s).archiveList(), "");
    Prefs::storeProgramFolder(s, "/opt/korvix/");
    EXPECT_FALSE(s.exists()) << "\"Path\" never creates the store";

    Prefs::switches(s).setSuperUser();
    Prefs::storeProgramFolder(s, "/opt/korvix/");
    EXPECT_EQ(s.ReadString("", "Path"), "/opt/korvix/");
    Prefs::lists(s).setMaxDistance(75);
    Prefs::map(s).setHome("50.06,19.94,\"Dom\"");
    Prefs::map(s).setInitialView("49,14,55,24");
    Prefs::windows(s).setEditorSize("POI", QSize(720, 460));
    Prefs::windows(s).setEditorColumns("POI", {120, 0, 80});
    Prefs::gpsFix(s).setHost("gps.example");
    Prefs::tiles(s).setCacheMegabytes(64);
    Prefs::tiles(s).setArchiveList("[\"/maps/a.mbtiles\"]");

    // A second store on the same file sees it all: nothing is cached.
    const KorvixSettings again(s.fileName());
    EXPECT_TRUE(Prefs::switches(again).superUser());
    EXPECT_EQ(Prefs::lists(again).maxDistance(), 75);
    EXPECT_EQ(Prefs::map(again).home(), "50.06,19.94,\"Dom\"");
    EXPECT_EQ(Prefs::map(again).initialView(), "49,14,55,24");
    EXPECT_EQ(Prefs::windows(again).editorSize("POI"), QSize(720, 460));
    EXPECT_EQ(Prefs::windows(again).editorColumns("POI"), QList<int>({120, 0, 80}));
    EXPECT_EQ(Prefs::gpsFix(again).host("fallback.example"), "gps.example");
    EXPECT_EQ(Prefs::tiles(again).cacheMegabytes(), 64);
    EXPECT_EQ(Prefs::tiles(again).archiveList(), "[\"/maps/a.mbtiles\"]");
    // Files written by earlier versions keep working: the same sections and keys.
    EXPECT_EQ(again.ReadString("googleapi", "home"), "50.06,19.94,\"Dom\"");
    EXPECT_EQ(again.ReadInteger("Settings", "MaxDistance", 0), 75);
    EXPECT_EQ(again.ReadString("Windows", "POISize"), "720,460");
}

TEST(Prefs, MapServicesFallBackToOurDefaultsAndExtrasHaveNone)
{
    TempFolder tmp;
    KorvixSettings s(tmp.file("k.ini"));
    const Prefs::Map map = Prefs::map(s);
    EXPECT_TRUE(map.service(Prefs::MapService::TileMap).startsWith("https://tile.openstreetmap.org/"));
    EXPECT_TRUE(map.service(Prefs::MapService::Wikipedia).contains("list=geosearch"));
    for (auto extra : {Prefs::MapService::Panoramio, Prefs::MapService::Traffic, Prefs::MapService::YouTube,
                       Prefs::MapService::WebCam})
        EXPECT_EQ(map.service(extra), "") << Prefs::Map::serviceKey(extra).toStdString();
    EXPECT_EQ(Prefs::Map::serviceSetting(Prefs::MapService::Traffic), "GoogleAPI, Traffic");

    Prefs::map(s).setService(Prefs::MapService::TileMap, "http://127.0.0.1:1/{z}/{x}/{y}.png");
    EXPECT_EQ(map.service(Prefs::MapService::TileMap), "http://127.0.0.1:1/{z}/{x}/{y}.png");
    EXPECT_EQ(map.storedService(Prefs::MapService::Search), "");
    Prefs::map(s).setService(Prefs::MapService::TileMap, ""); // empty is "use the default"
    EXPECT_TRUE(map.service(Prefs::MapService::TileMap).startsWith("https://tile.openstreetmap.org/"));
}

TEST(Prefs, ServersHaveDefaultsAndGetASchemeWhenTheSettingHasNone)
{
    TempFolder tmp;
    KorvixSettings s(tmp.file("k.ini"));
    for (auto source : {Prefs::Source::Gddkia, Prefs::Source::Krakow, Prefs::Source::Zakopane})
        EXPECT_EQ(Prefs::sources(s).server(source), Prefs::Sources::defaultServer(source));
    EXPECT_EQ(Prefs::Sources::defaultServer(Prefs::Source::Krakow), "http://zikit.krakow.pl");

    s.WriteString("Settings", "KrakowServer", " mapa.example.test/ ");
    s.WriteString("settings", "zakopaneserver", "https://127.0.0.1:8080//");
    Prefs::sources(s).setServer(Prefs::Source::Gddkia, "");
    EXPECT_EQ(Prefs::sources(s).server(Prefs::Source::Krakow), "http://mapa.example.test");
    EXPECT_EQ(Prefs::sources(s).server(Prefs::Source::Zakopane), "https://127.0.0.1:8080");
    EXPECT_EQ(Prefs::sources(s).server(Prefs::Source::Gddkia), "http://www.gddkia.gov.pl");
    EXPECT_EQ(Prefs::Sources::serverSetting(Prefs::Source::Zakopane), "Settings, ZakopaneServer");
}

// Every section and key is spelled in core/Settings only: a literal handed to the
// store's Read/Write calls anywhere else in the program is a second spelling.
TEST(Prefs, NoSettingIsSpelledOutsideTheTypedSettings)
{
    const QString root = QStringLiteral(KORVIX_SOURCE_DIR);
    static const QRegularExpression call(
        // The section, or after a first argument without a literal, the key.
        QStringLiteral(R"re((?:Read|Write)(?:String|Integer|Bool)\s*\(\s*(?:[^,;()"]*(?:\([^()"]*\))?[^,;()"]*,)?[^,;()"]*?)re"
                       R"re((?:QStringLiteral\s*\(|QLatin1String\s*\(|QString\s*\(\s*"|u8?"))re"));
    ASSERT_TRUE(call.isValid()) << call.errorString().toStdString();
    const QStringList folders = {"app", "cli", "core", "exchange", "grid", "itn", "map", "media", "platform", "poi", "services"};
    QStringList offenders;
    int scanned = 0;
    for (const QString &folder : folders) {
        QDirIterator it(root + u'/' + folder, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = path.mid(root.size() + 1);
            if (relative.startsWith(QLatin1String("core/Settings.")))
                continue;
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
            ++scanned;
            const QString text = QString::fromUtf8(f.readAll());
            auto m = call.globalMatch(text);
            while (m.hasNext()) {
                const auto hit = m.next();
                const int line = int(text.left(hit.capturedStart()).count(u'\n')) + 1;
                offenders << QStringLiteral("%1:%2").arg(relative).arg(line);
            }
        }
    }
    EXPECT_GT(scanned, 100) << "the source folder was not found: " << root.toStdString();
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(u'\n').toStdString();
}
