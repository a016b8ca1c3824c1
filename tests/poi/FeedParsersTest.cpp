// SPDX-License-Identifier: GPL-3.0-or-later
// The feed parsers and the MapSettings.cfg scan on bodies built by each test.
#include "platform/DeviceCodec.h"
#include "poi/Feeds.h"
#include "poi/MapSettings.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

using Feeds::Point;

QByteArray feed(const QByteArray &root, const QByteArray &entries)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + ">" + entries + "</" + root + ">";
}

QByteArray el(const char *name, const QByteArray &text)
{
    return QByteArray("<") + name + ">" + text + "</" + name + ">";
}

QByteArray place(const QByteArray &lon, const QByteArray &lat)
{
    return el("geo_long", lon) + el("geo_lat", lat);
}

QByteArray roadWorks()
{
    return el("utr", el("typ", "Utrudnienie") + el("rodzaj", el("poz", "U33"))
                         + el("czasy_oczekiwania", el("czas_oczekiwania", el("pn_pt", "15 min")))
                         + el("ruch_wahadlowy", "True") + el("dl", "2.5")
                         + el("data_likwidacji", "2009-05-31T00:00:00") + el("nr_drogi", "7")
                         + place("19.94", "50.06"));
}

QStringList names(const Feeds::Result &r)
{
    QStringList out;
    for (const Point &p : r.points)
        out << p.name;
    return out;
}

TEST(FeedRoadAuthority, BuildsTheNameOfEveryPartAndMarksExpiredEntries)
{
    const QByteArray xml = feed("utrudnienia", roadWorks() + el("utr", el("typ", "Objazd") + place("19.5", "50.1")));
    const Feeds::Result after = Feeds::GDDKiA(xml, QDate(2009, 6, 1));
    ASSERT_TRUE(after.error.isEmpty());
    ASSERT_EQ(after.points.size(), 2u);
    EXPECT_EQ(after.points[0], (Point{"19.94", "50.06",
                                      "----Utrudnienie Roboty drogowe 15 min ruch_wahadlowy na odcinku 2.5km do 2009-05-31 7"}));
    // Without data_likwidacji never expired, also after an expired entry.
    EXPECT_EQ(after.points[1].name, "Objazd ");
    // On the last day itself the entry still holds.
    EXPECT_EQ(Feeds::GDDKiA(xml, QDate(2009, 5, 31)).points[0].name,
              "Utrudnienie Roboty drogowe 15 min ruch_wahadlowy na odcinku 2.5km do 2009-05-31 7");
}

TEST(FeedRoadAuthority, AppendsSwitchesLimitsDetourAndPlacesInTheirOrder)
{
    const QByteArray entry = el("utr", el("nr_drogi", "S7") + el("woj", "małopolskie") + el("nazwa_odcinka", "Kraków - Myślenice")
                                           + el("objazd", "nie") + el("ogr_predkosc", "40") + el("droga_zamknieta", "True")
                                           + el("ruch_2_kierunkowy", "True") + el("awaria_mostu", "true")
                                           + el("sygnalizacja_swietlna", "True") + el("typ", "Wypadek")
                                           + el("rodzaj", el("poz", "R09")) + place("19.9", "49.9"));
    EXPECT_EQ(names(Feeds::GDDKiA(feed("u", entry), QDate(2020, 1, 1))),
              QStringList{"Wypadek Wywrócenie pojazdu  sygnalizacja_swietlna ruch_2_kierunkowy droga_zamknieta ogr. do 40km/h"
                          " objazd Kraków - Myślenice małopolskie S7"});
}

TEST(FeedRoadAuthority, EventCodesCompareExactly)
{
    EXPECT_EQ(Feeds::eventText("K02"), " Pożar");
    EXPECT_EQ(Feeds::eventText("R05"), " Najechanie pojazdu na drzewo, słup");
    EXPECT_EQ(Feeds::eventText("I09"), " Uroczysto");
    EXPECT_EQ(Feeds::eventText("u33"), "");
    EXPECT_EQ(Feeds::eventText("U33 "), "");
    EXPECT_EQ(Feeds::eventText("K03"), "");
}

TEST(FeedRoadAuthority, SkipsEntriesWithoutAPlace)
{
    const QByteArray xml = feed("u", el("a", el("typ", "zero lon") + place("0", "50"))
                                         + el("a", el("typ", "zero lat") + place("19", "0.000"))
                                         + el("a", el("typ", "no lon") + el("geo_lat", "50"))
                                         + el("a", el("typ", "no lat") + el("geo_long", "19"))
                                         + el("a", el("typ", "text lon") + place("abc", "50"))
                                         + el("a", el("typ", "comma") + place("19,5", "50"))
                                         + el("a", el("typ", "near zero") + place("0.000001", "50"))
                                         + el("a", el("typ", "kept") + place(" 19.5 ", "-50")));
    EXPECT_EQ(names(Feeds::GDDKiA(xml, QDate(2020, 1, 1))), (QStringList{"near zero ", "kept "}));
}

TEST(FeedRoadAuthority, ReadsEndDatesAsYearMonthDay)
{
    EXPECT_EQ(Feeds::endDate("2009-05-31T00:00:00"), QDate(2009, 5, 31));
    EXPECT_EQ(Feeds::endDate("2009-05-31"), QDate(2009, 5, 31));
    EXPECT_FALSE(Feeds::endDate("31.05.2009").isValid());
    EXPECT_FALSE(Feeds::endDate("2009-13-01T00:00").isValid());
    EXPECT_FALSE(Feeds::endDate("jutro").isValid());
    // An unreadable end date is shown but never expires the entry.
    const QByteArray xml = feed("u", el("a", el("typ", "X") + el("data_likwidacji", "31.05.2009") + place("19", "50")));
    EXPECT_EQ(names(Feeds::GDDKiA(xml, QDate(2030, 1, 1))), QStringList{"X  do 31.05.2009"});
}

QByteArray obstruction(const QByteArray &kind, const QByteArray &delay, const QByteArray &comment,
                       const QByteArray &start, const QByteArray &end)
{
    return el("utrudnienie", el("rodzaj_zdarzenia", kind) + el("opoznienie", delay) + el("komentarz", comment) + start + end);
}

QByteArray section(const char *name, const QByteArray &lon, const QByteArray &lat)
{
    return el(name, place(lon, lat));
}

TEST(FeedRoadAuthorityMobile, GivesTwoPointsPerObstruction)
{
    const QByteArray xml = feed("dane", el("info", "x")
                                            + obstruction("Wypadek", "30 min", "Uwaga", section("początek_odcinka", "19.1", "50.1"),
                                                          section("koniec_odcinka", "19.2", "50.2"))
                                            + el("inne", "y")
                                            + obstruction("Remont", "", "Bez opóźnień", section("początek_odcinka", "18", "49"),
                                                          section("koniec_odcinka", "18.5", "49.5")));
    const Feeds::Result r = Feeds::GDDKiAMobi(xml);
    ASSERT_TRUE(r.error.isEmpty());
    ASSERT_EQ(r.points.size(), 4u);
    EXPECT_EQ(r.points[0], (Point{"19.1", "50.1", "Początek Wypadek 30 min Uwaga"}));
    EXPECT_EQ(r.points[1], (Point{"19.2", "50.2", "Koniec Wypadek 30 min Uwaga"}));
    // Without a delay the event text is empty.
    EXPECT_EQ(r.points[2].name, "Początek  Bez opóźnień");
    EXPECT_EQ(r.points[3].name, "Koniec  Bez opóźnień");
}

TEST(FeedRoadAuthorityMobile, ABrokenObstructionEndsTheWalkSilently)
{
    const QByteArray good = obstruction("A", "1", "", section("początek_odcinka", "19", "50"), section("koniec_odcinka", "20", "51"));
    const QByteArray noEnd = obstruction("B", "2", "", section("początek_odcinka", "18", "49"), QByteArray());
    const QByteArray noLat = obstruction("C", "3", "", el("początek_odcinka", el("geo_long", "18")), section("koniec_odcinka", "1", "2"));
    const Feeds::Result r = Feeds::GDDKiAMobi(feed("d", good + noEnd + good));
    EXPECT_TRUE(r.error.isEmpty());
    // The start of the broken one was added before its end was missed.
    EXPECT_EQ(names(r), (QStringList{"Początek A 1 ", "Koniec A 1 ", "Początek B 2 "}));
    EXPECT_EQ(names(Feeds::GDDKiAMobi(feed("d", noLat + good))), QStringList{});
    // A point that is not a number is left out, the walk goes on.
    const QByteArray textLon = obstruction("D", "4", "", section("początek_odcinka", "x", "50"), section("koniec_odcinka", "20", "51"));
    EXPECT_EQ(names(Feeds::GDDKiAMobi(feed("d", textLon + good))), (QStringList{"Koniec D 4 ", "Początek A 1 ", "Koniec A 1 "}));
}

QByteArray marker(const QByteArray &lonAttr, const QByteArray &lon, const QByteArray &lat, const QByteArray &nameAttr,
                  const QByteArray &name)
{
    return "<marker " + lonAttr + "=\"" + lon + "\" lat=\"" + lat + "\" " + nameAttr + "=\"" + name + "\"/>";
}

TEST(FeedKrakow, KeepsMarkersInsideTheCityBounds)
{
    const QByteArray body = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><data><x/>"
                            + marker("long", "19.94", "50.06", "desc", "Rondo Mogilskie") + "<other/>"
                            + marker("long", "20.4", "50.06", "desc", "east") + marker("long", "19.522705", "50", "desc", "edge")
                            + marker("long", "20", "50.204154", "desc", "north edge")
                            + marker("long", "20.398", "49.908", "desc", "inside corner") + "</data>";
    const Feeds::Result r = Feeds::krakow(body);
    EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    ASSERT_EQ(r.points.size(), 2u);
    EXPECT_EQ(r.points[0], (Point{"19.94", "50.06", "Rondo Mogilskie"}));
    EXPECT_EQ(r.points[1].name, "inside corner");
}

TEST(FeedKrakow, RemovesOnlyAByteOrderMark)
{
    const QByteArray xml = "<data>" + marker("long", "19.94", "50.06", "desc", "a") + "</data>";
    EXPECT_EQ(Feeds::krakow(xml).points.size(), 1u);
    EXPECT_EQ(Feeds::krakow("\xEF\xBB\xBF" + xml).points.size(), 1u);
}

TEST(FeedKrakow, ANonNumberEndsTheImportKeepingEarlierRows)
{
    const QByteArray xml = "<data>" + marker("long", "19.94", "50.06", "desc", "a") + marker("long", "19,95", "50.06", "desc", "b")
                           + marker("long", "19.96", "50.06", "desc", "c") + "</data>";
    const Feeds::Result r = Feeds::krakow(xml);
    EXPECT_EQ(names(r), QStringList{"a"});
    EXPECT_EQ(r.error, Feeds::notNumberMessage("19,95"));
    // A missing attribute is an empty text, not a number either.
    EXPECT_FALSE(Feeds::krakow("<data><marker lat=\"50\"/></data>").error.isEmpty());
}

TEST(FeedZakopane, AddsEveryMarkerWithNumbers)
{
    const QByteArray xml = feed("dane", "<cos/>" + marker("lon", "19.95", "49.29", "nazwa", "Willa Giewont") + "<x/>"
                                            + marker("lon", "", "49.3", "nazwa", "no lon")
                                            + marker("lon", "19.9", "n/a", "nazwa", "no lat")
                                            + marker("lon", "-19.96", "49.30", "nazwa", " Pod Gubałówką "));
    const Feeds::Result r = Feeds::zakopane(xml);
    EXPECT_TRUE(r.error.isEmpty());
    ASSERT_EQ(r.points.size(), 2u);
    EXPECT_EQ(r.points[0], (Point{"19.95", "49.29", "Willa Giewont"}));
    EXPECT_EQ(r.points[1], (Point{"-19.96", "49.30", " Pod Gubałówką "}));
    // Markers of other top-level elements do not count.
    EXPECT_TRUE(Feeds::zakopane(feed("inne", marker("lon", "19", "49", "nazwa", "x"))).points.empty());
}

TEST(FeedWebPage, ReadsGLatLngCallsWithinFiftyCharacters)
{
    const QString url = "http://example.test/mapa.html";
    const QByteArray page = "<script>var a = new GLatLng(50.06,19.94); var b = new GLatLng( 49.3 , 19.9 );\n"
                            "var c = new glatlng(1,2); var d = GLatLng(52.1,"
                            + QByteArray(60, ' ') + "21.0); var e = new GLatLng(x,y);</script>";
    const Feeds::Result r = Feeds::webPage(page, url);
    ASSERT_EQ(r.points.size(), 2u);
    EXPECT_EQ(r.points[0], (Point{"19.94", "50.06", url}));
    EXPECT_EQ(r.points[1], (Point{" 19.9 ", " 49.3 ", url}));
    // The closing parenthesis must come within 50 characters of the name's start.
    const QByteArray edge = "GLatLng(50.06,19.94" + QByteArray(30, ' ');
    EXPECT_EQ(Feeds::webPage(edge + ")", url).points.size(), 1u);     // ")" at 49
    EXPECT_EQ(Feeds::webPage(edge + " )", url).points.size(), 0u);    // ")" at 50
    // A comma after the parenthesis: no call.
    EXPECT_TRUE(Feeds::webPage("GLatLng)(1,2)", url).points.empty());
}

QByteArray record(qint32 lon, qint32 lat, const QByteArray &name, int after = 0x01)
{
    return Ov2Bytes().u8(8).u8(0).le32(0x11111111).le32(0x22222222).le16(8).le32(lon).le32(lat).u8(after).raw(name);
}

std::vector<MapSettings::Record> scanBytes(const QByteArray &bytes)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    std::vector<MapSettings::Record> out;
    EXPECT_TRUE(MapSettings::scan(buf, DeviceCodec(), [&](const MapSettings::Record &r) { out.push_back(r); }));
    return out;
}

TEST(FeedMapSettings, FindsTheHomeRecord)
{
    const auto found = scanBytes(Ov2Bytes().u8(8).u8(0).raw("\x01\x02\x03\x04\x05\x06\x07\x08").le16(8).le32(1993500)
                                     .le32(5006200).u8(0x42).raw("Home").u8(0));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].lon, 1993500);
    EXPECT_EQ(found[0].lat, 5006200);
    EXPECT_EQ(found[0].name, "Home");
    EXPECT_EQ(MapSettings::degreesText(found[0].lon), "19.935");
    EXPECT_EQ(MapSettings::degreesText(found[0].lat), "50.062");
}

TEST(FeedMapSettings, ScansOnAfterFailedChecksWithoutLookingBack)
{
    QByteArray bytes;
    bytes += QByteArray("\x08\x01", 2);                             // not 08 00
    bytes += record(100, 200, "First") + '\x1f';                     // name ends below 32
    bytes += record(-1, -2, "Escaped", 0x1B).insert(21, 'Z') + '\0'; // 0x1B skips one more byte
    bytes += Ov2Bytes().u8(8).u8(0).le32(0).le32(0).le16(9).raw("junk"); // kind 9: scan goes on
    // A record inside the skipped fields of another is never seen: the bytes were read.
    bytes += Ov2Bytes().u8(8).u8(0).raw(record(5, 6, "Hidden").left(8)).le16(7);
    bytes += record(2147483647, -2147483647 - 1, "Last"); // ends with the file
    const auto found = scanBytes(bytes);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].name, "First");
    EXPECT_EQ(found[1].name, "Escaped");
    EXPECT_EQ(found[1].lon, -1);
    EXPECT_EQ(found[2].name, "Last");
    EXPECT_EQ(MapSettings::degreesText(found[2].lon), "21474.83647");
    EXPECT_EQ(MapSettings::degreesText(found[2].lat), "-21474.83648");
    EXPECT_EQ(MapSettings::degreesText(-1), "-0.00001");
    EXPECT_EQ(MapSettings::degreesText(0), "0");
    // A record cut by the end of the file adds nothing.
    EXPECT_TRUE(scanBytes(record(1, 2, "").left(15)).empty());
    EXPECT_TRUE(scanBytes(record(1, 2, "", 0x1B)).empty());
}

TEST(FeedTexts, DescriptionsLoseBlanksAndControlsAtBothEnds)
{
    EXPECT_EQ(Feeds::poiDescription(u"\t\r\n  Koniec  x \x01"), "Koniec  x");
    EXPECT_EQ(Feeds::poiDescription(u" \x7f "), "\x7f");
    EXPECT_EQ(Feeds::poiDescription(u"   "), "");
}

} // namespace
