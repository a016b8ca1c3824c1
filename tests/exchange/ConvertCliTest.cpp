// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli convert, run as the real program.
#include "ExchangeTestUtil.h"

#include "platform/DeviceCodec.h"
#include "exchange/Gpx.h"
#include "poi/Ov2Writer.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Names the device code page and every format carry (CSV turns commas and quotes
// into "_").
std::vector<GeoPoint> devicePoints(int n, quint32 seed)
{
    std::vector<GeoPoint> points = ExchangeTest::randomPoints(n, seed, true);
    for (size_t i = 0; i < points.size(); i += 2)
        points[i].name += QStringLiteral(" Łódź <&> ąę");
    return points;
}

QByteArray itnOf(const std::vector<GeoPoint> &points, size_t from, size_t count)
{
    const DeviceCodec codec;
    QByteArray out;
    for (size_t i = from; i < from + count && i < points.size(); ++i)
        out += QByteArray::number(points[i].lon) + '|' + QByteArray::number(points[i].lat) + '|'
               + codec.fromUnicode(points[i].name) + "|0|\r\n";
    return out;
}

} // namespace

TEST(ConvertCli, AListGoesThroughEveryFormatAndComesBackToTheSameOv2Bytes)
{
    TempFolder tmp;
    const DeviceCodec codec;
    Ov2PointList list;
    for (const GeoPoint &p : devicePoints(500, 31))
        list.add(p.lon, p.lat, codec.fromUnicode(p.name));
    const QString start = tmp.file("start.ov2");
    SaveOV2(start, list);
    const QStringList chain{start, tmp.file("a.gpx"), tmp.file("b.kml"), tmp.file("c.csv"), tmp.file("e.gpx"), tmp.file("end.ov2")};
    for (qsizetype i = 1; i < chain.size(); ++i) {
        const CliRun r = runCli({"convert", chain[i - 1], chain[i]});
        ASSERT_EQ(r.code, 0) << chain[i].toStdString() << ": " << r.err.constData();
    }
    EXPECT_EQ(readAll(chain.last()), readAll(start));
}

TEST(ConvertCli, AnItineraryStaysARouteAndIsSplitForTheDevice)
{
    TempFolder tmp;
    const std::vector<GeoPoint> points = devicePoints(60, 32);
    const QString itn = tmp.write("trip.itn", itnOf(points, 0, 60));
    const QString gpx = tmp.file("trip.gpx");
    CliRun r = runCli({"convert", itn, gpx});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    GpxContent got;
    ASSERT_EQ(Gpx::readFile(gpx, got), QString());
    EXPECT_TRUE(got.waypoints.empty());
    EXPECT_EQ(got.routePoints, points);

    const QString back = tmp.file("back.itn");
    r = runCli({"convert", gpx, back});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    EXPECT_EQ(r.out, (back + u'\n' + tmp.file("back01.itn") + u'\n').toUtf8());
    EXPECT_EQ(readAll(back), itnOf(points, 0, 48));
    EXPECT_EQ(readAll(tmp.file("back01.itn")), itnOf(points, 48, 12));

    const QString kml = tmp.file("trip.kml");
    ASSERT_EQ(runCli({"convert", itn, kml}).code, 0);
    EXPECT_TRUE(readAll(kml).contains("<LineString>"));
    const QString fromKml = tmp.file("fromkml.gpx");
    ASSERT_EQ(runCli({"convert", kml, fromKml}).code, 0);
    ASSERT_EQ(Gpx::readFile(fromKml, got), QString());
    EXPECT_EQ(got.routePoints, points) << "a KML line stays a route, names without the import's separator";
}

TEST(ConvertCli, WrongKindsAndBadFilesEndWithTheirMessageAndNoOutput)
{
    TempFolder tmp;
    const QString gpx = tmp.write("x.gpx", "<gpx><wpt lat=\"1\" lon=\"2\"><name>a</name></wpt></gpx>");
    const QString out = tmp.file("out.ov2");
    CliRun r = runCli({"convert", gpx, tmp.file("out.txt")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("the output must end in .ov2, .itn, .gpx, .kml or .csv")) << r.err.constData();
    r = runCli({"convert", tmp.write("x.doc", "x"), out});
    EXPECT_EQ(r.code, 2);
    r = runCli({"convert", tmp.file("missing.gpx"), out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(tmp.file("missing.gpx").toUtf8() + ": ")) << r.err.constData();
    const QString entities = tmp.write(
        "e.gpx", "<!DOCTYPE gpx [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><gpx><wpt lat=\"1\" lon=\"1\"><name>&x;</name></wpt></gpx>");
    r = runCli({"convert", entities, out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("entity declarations are not accepted")) << r.err.constData();
    r = runCli({"convert", tmp.write("empty.gpx", "<gpx version=\"1.1\"/>"), out});
    EXPECT_EQ(r.code, 1);
    r = runCli({"convert", tmp.write("bad.csv", "12,abc,x\r\n"), out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("line 1")) << r.err.constData();
    EXPECT_FALSE(QFileInfo::exists(out));

    // A good conversion still works after all that.
    r = runCli({"convert", gpx, out});
    EXPECT_EQ(r.code, 0) << r.err.constData();
    EXPECT_TRUE(QFileInfo::exists(out));
}

TEST(ConvertCli, AFifoAnEndlessDeviceAndHostileXmlAreRefusedAtOnceWithTheirReason)
{
    TempFolder tmp;
    const QString out = tmp.file("out.ov2");
    for (const char *ending : {"gpx", "kml", "csv"}) {
        const QString fifo = tmp.file(QStringLiteral("in.%1").arg(QLatin1String(ending)));
        ASSERT_TRUE(makeFifo(fifo));
        const QString zero = tmp.file(QStringLiteral("zero.%1").arg(QLatin1String(ending)));
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
        for (const QString &path : {fifo, zero}) {
            FifoGuard guard({fifo});
            const CliRun r = runCli({"convert", path, out});
            guard.stop();
            EXPECT_FALSE(guard.hadToRelease()) << ending << " waited on the FIFO";
            EXPECT_EQ(r.code, 1) << ending;
            EXPECT_EQ(r.err, ("Not a regular file: " + path + "\n").toUtf8()) << ending;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(out));

    // An element of 200,000 attributes: a minute of the parser's time, refused by the guard.
    QByteArray crowded = "<gpx><wpt lat=\"1\" lon=\"2\"";
    for (int i = 0; i < 200000; ++i)
        crowded += " a" + QByteArray::number(i) + "=\"\"";
    crowded += "/></gpx>";
    const QString gpx = tmp.write("crowded.gpx", crowded);
    CliRun r = runCli({"convert", gpx, out});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, (gpx + ": Invalid GPX file, line 1: an element has more than 1000 attributes\n").toUtf8());
    const QString deep = tmp.write("deep.kml", "<kml><Document>" + QByteArray("<a>").repeated(150000)
                                                    + QByteArray("</a>").repeated(150000) + "</Document></kml>");
    r = runCli({"convert", deep, out});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, (deep + ": Invalid Kml file: the elements nest deeper than 256 levels\n").toUtf8());
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(ConvertCli, CsvIsUtf8WithLineFeedsUnlessTheDevicesCodePageIsNamed)
{
    TempFolder tmp;
    const DeviceCodec device;
    Ov2PointList list;
    list.add(1993500, 5006200, device.fromUnicode(QStringLiteral("Łódź, \"Plac\"")));
    list.add(-100, -200, device.fromUnicode(QStringLiteral("Zażółć")));
    const QString ov2 = tmp.file("pl.ov2");
    SaveOV2(ov2, list);

    const QString utf8 = tmp.file("utf8.csv");
    CliRun r = runCli({"convert", ov2, utf8});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    EXPECT_EQ(readAll(utf8), QStringLiteral("1993500,5006200,Łódź_ _Plac_\n-100,-200,Zażółć\n").toUtf8());

    // Options stand before or after the files; the device's form is code page 1250, CR LF.
    const QString cp = tmp.file("cp.csv");
    r = runCli({"convert", "--codepage", "1250", ov2, cp});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    EXPECT_EQ(readAll(cp), "1993500,5006200," + device.fromUnicode(QStringLiteral("Łódź_ _Plac_")) + "\r\n-100,-200,"
                               + device.fromUnicode(QStringLiteral("Zażółć")) + "\r\n");

    // Each reads back in its own form.
    ASSERT_EQ(runCli({"convert", utf8, tmp.file("a.ov2")}).code, 0);
    ASSERT_EQ(runCli({"convert", cp, tmp.file("b.ov2"), "--codepage", "1250"}).code, 0);
    EXPECT_EQ(readAll(tmp.file("a.ov2")), readAll(tmp.file("b.ov2")));
    EXPECT_EQ(runCli({"convert", ov2, utf8, "--codepage"}).code, 2);
}
