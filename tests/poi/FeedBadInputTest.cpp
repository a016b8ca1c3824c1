// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile feeds and files: refused with a message or read to rows, never a crash, an
// entity expanded or fetched, or memory beyond the body's own bound.
#include "platform/DeviceCodec.h"
#include "platform/FileReader.h"
#include "poi/Feeds.h"
#include "poi/MapSettings.h"
#include "tests/poi/FeedHttp.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Lets the event loop run, so a request that left would reach the server.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
}

// Every parser of an XML feed on the same body.
std::vector<Feeds::Result> allFeeds(const QByteArray &xml)
{
    return {Feeds::GDDKiA(xml, QDate(2020, 1, 1)), Feeds::GDDKiAMobi(xml), Feeds::krakow(xml), Feeds::zakopane(xml)};
}

TEST(FeedBadInput, EntityDeclarationsAreRefusedAndNeverFetched)
{
    FeedHttp server;
    const QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE data [<!ENTITY a \"hahahahahahaha\">"
                              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                              "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
                              "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\"><!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">"
                              "<!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\"><!ENTITY i \"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">]>"
                              "<data><marker long=\"19.94\" lat=\"50.06\" desc=\"&i;\"/><u><typ>&i;</typ>"
                              "<geo_long>19</geo_long><geo_lat>50</geo_lat></u></data>";
    const QByteArray external = "<?xml version=\"1.0\"?><!DOCTYPE data [<!ENTITY x SYSTEM \"" + server.server().toUtf8()
                                + "/secret\">]><data><marker long=\"19.94\" lat=\"50.06\" desc=\"&x;\"/></data>";
    for (const QByteArray &xml : {laughs, external}) {
        for (const Feeds::Result &r : allFeeds(xml)) {
            EXPECT_EQ(r.error, Feeds::refusedMessage("entity declarations are not accepted"));
            EXPECT_TRUE(r.points.empty());
        }
    }
    // An outside DTD without entities is read, but not fetched either.
    const QByteArray dtd = "<?xml version=\"1.0\"?><!DOCTYPE data SYSTEM \"" + server.server().toUtf8()
                           + "/data.dtd\"><data><marker long=\"19.94\" lat=\"50.06\" desc=\"a\"/></data>";
    EXPECT_EQ(Feeds::krakow(dtd).points.size(), 1u);
    settle();
    EXPECT_TRUE(server.paths.isEmpty()) << server.paths.join(' ').toStdString();
}

TEST(FeedBadInput, AMillionEntriesAreReadAndLargerBodiesRefused)
{
    const QByteArray one = "<marker long=\"20\" lat=\"50\"/>";
    QByteArray xml = "<data>" + one.repeated(1000000) + "</data>";
    ASSERT_LT(xml.size(), Feeds::MaxBytes);
    const Feeds::Result r = Feeds::krakow(xml);
    EXPECT_TRUE(r.error.isEmpty());
    EXPECT_EQ(r.points.size(), 1000000u);
    EXPECT_EQ(r.points.back(), (Feeds::Point{"20", "50", ""}));
    // Past the limit nothing is parsed.
    xml.insert(6, QByteArray(Feeds::MaxBytes - xml.size() + 1, ' '));
    for (const Feeds::Result &big : allFeeds(xml)) {
        EXPECT_EQ(big.error, Feeds::tooLargeMessage());
        EXPECT_TRUE(big.points.empty());
    }
    EXPECT_EQ(Feeds::webPage(xml, "http://x/").error, Feeds::tooLargeMessage());
}

TEST(FeedBadInput, InvalidUtf8GivesAMessageOrRows)
{
    const QByteArray broken = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><dane><marker lon=\"19.9\" lat=\"49.3\" nazwa=\"\xC5\xFF\x80\"/></dane>";
    EXPECT_EQ(Feeds::zakopane(broken).error, Feeds::notXmlMessage());
    EXPECT_EQ(Feeds::GDDKiA("\xFF\xFE<\x00u\x00", QDate(2020, 1, 1)).error, Feeds::notXmlMessage());
    // A page is only text: the call is found among broken bytes.
    const Feeds::Result page = Feeds::webPage("\xFF\xC5 GLatLng(50.06,19.94) \x80", "http://x/");
    ASSERT_EQ(page.points.size(), 1u);
    EXPECT_EQ(page.points[0].lon, "19.94");
}

TEST(FeedBadInput, AHundredMegabytesOfRecordStartsScanToNothing)
{
    TempFolder dir;
    const QString path = dir.file("MapSettings.cfg");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, '\x08');
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(f.write(block), block.size());
    }
    QFile in(path);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    int found = 0;
    EXPECT_TRUE(MapSettings::scan(in, DeviceCodec(), [&](const MapSettings::Record &) { ++found; }));
    EXPECT_EQ(found, 0);
    EXPECT_TRUE(in.atEnd());

    // A record whose name runs over megabytes keeps a bounded part of it, and the
    // record after it is found.
    QByteArray bytes = QByteArray::fromHex("0800" "0000000000000000" "0800" "01000000" "02000000" "00");
    const QByteArray next = QByteArray::fromHex("0800" "0000000000000000" "0800" "03000000" "04000000" "00") + "Next";
    bytes += QByteArray(3 << 20, 'N') + '\0' + next;
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    std::vector<MapSettings::Record> records;
    EXPECT_TRUE(MapSettings::scan(buf, DeviceCodec(), [&](const MapSettings::Record &r) { records.push_back(r); }));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, QString(64 * 1024, 'N'));
    EXPECT_EQ(records[1].lon, 3);
    EXPECT_EQ(records[1].name, "Next");
}

TEST(FeedBadInput, NestingAndAttributesThatWouldTakeTheParserMinutesAreRefusedAtOnce)
{
    QByteArray crowded = "<marker long=\"20\" lat=\"50\"";
    for (int i = 0; i < 200000; ++i)
        crowded += " a" + QByteArray::number(i) + "=\"\"";
    crowded += "/>";
    const QByteArray deep = QByteArray("<data>") + QByteArray("<u>").repeated(150000) + QByteArray("</u>").repeated(150000) + "</data>";
    for (const auto &[xml, reason] : {std::pair{"<data>" + crowded + "</data>", "an element has more than 1000 attributes"},
                                      std::pair{deep, "the elements nest deeper than 256 levels"}}) {
        for (const Feeds::Result &r : allFeeds(xml)) {
            EXPECT_EQ(r.error, Feeds::refusedMessage(QLatin1String(reason)));
            EXPECT_TRUE(r.points.empty());
        }
    }
}

TEST(FeedBadInput, EveryFeedCommandRefusesAFifoAndAnEndlessDevice)
{
    TempFolder dir;
    const QString fifo = dir.file("feed.fifo");
    ASSERT_TRUE(makeFifo(fifo));
    const QString zero = dir.file("MapSettings.cfg");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QList<QStringList> commands = {{"gddkia"}, {"gddkia-mobi"}, {"krakow"}, {"zakopane"}, {"web", "", "http://x/"},
                                         {"mapsettings"}};
    for (QStringList command : commands) {
        for (const QString &path : {fifo, zero}) {
            QStringList args = QStringList{"feed", command[0], path} + command.mid(2);
            FifoGuard guard({fifo});
            const CliRun run = runCli(args);
            guard.stop();
            EXPECT_FALSE(guard.hadToRelease()) << command[0].toStdString() << " waited on the FIFO";
            EXPECT_EQ(run.code, 1) << command[0].toStdString();
            EXPECT_EQ(run.err, ("Not a regular file: " + path + "\n").toUtf8()) << command[0].toStdString();
        }
    }
    // The import menu's reader of the same file.
    QFile in;
    EXPECT_EQ(FileReader::open(in, zero, FileReader::MaxListBytes), FileReader::notRegular(zero));
}

TEST(FeedBadInput, HostileXmlThroughTheCommandNamesTheFileAndTheReason)
{
    TempFolder dir;
    QByteArray crowded = "<dane><marker lon=\"19.9\" lat=\"49.3\"";
    for (int i = 0; i < 200000; ++i)
        crowded += " n" + QByteArray::number(i) + "=\"x\"";
    crowded += "/></dane>";
    const QString path = dir.write("z.xml", crowded);
    const CliRun run = runCli({"feed", "zakopane", path});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, (path + ": " + Feeds::refusedMessage("an element has more than 1000 attributes") + '\n').toUtf8());
}

} // namespace

namespace {
TEST(FeedBadInput, NestedTextIsJoinedOnceWhenAskedNotCopiedAtEveryLevel)
{
    // The text of all inside an element, in document order, as before.
    const Feeds::Result mixed = Feeds::GDDKiA("<x><u><typ>a<b>b<i>c</i></b>d</typ><geo_long>19<z/>.5</geo_long>"
                                              "<geo_lat>50</geo_lat></u></x>",
                                              QDate(2020, 1, 1));
    ASSERT_EQ(mixed.points.size(), 1u);
    EXPECT_EQ(mixed.points[0].lon, "19.5");
    EXPECT_TRUE(mixed.points[0].name.startsWith("abcd")) << mixed.points[0].name.toStdString();

    // 20 MB of text under 250 levels, each adding a letter after its child: copies per
    // level took gigabytes. Run under a memory limit, so a regression ends the program.
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a memory limit leaves no room for the address sanitizer's shadow memory";
#endif
    TempFolder dir;
    const QString path = dir.write("deep.xml", "<data><e>" + QByteArray("<a>").repeated(250) + QByteArray(20 << 20, 'x')
                                                   + QByteArray("</a>y").repeated(250) + "</e></data>");
    QProcess p;
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("ulimit -v 2000000; exec \"$0\" feed gddkia \"$1\""),
                                        QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), path});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << p.readAllStandardError().toStdString();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}
} // namespace
