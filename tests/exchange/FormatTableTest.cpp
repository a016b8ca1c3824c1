// SPDX-License-Identifier: GPL-3.0-or-later
// The format table: lookup by file kind, a table grown by another program's formats,
// and each exchange format's reader and writer through the one interface.
#include "exchange/FormatTable.h"
#include "itn/ItnPointFormat.h"
#include "platform/DeviceCodec.h"
#include "poi/Ov2PointFormat.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// A format of another program, as the command line adds the device's own.
class NoteFormat final : public PointFormat {
public:
    QStringList suffixes() const override { return {"note", "gpx"}; }
    bool canRead() const override { return false; }
    bool canWrite() const override { return true; }
};

const DeviceCodec cp1250;
const DeviceCodec utf8(DeviceCodec::Kind::Utf8);

std::vector<GeoPoint> samplePoints()
{
    return {{1995000, 5006000, QString::fromUtf8("Kraków, \"Rynek\"")},
            {-12345, -1, QString::fromUtf8("Łódź")},
            {17999999, -8999999, QString()}};
}

} // namespace

TEST(FormatTable, FindsAFormatByItsSuffixInAnyCaseAndNamesTheKindsItKnows)
{
    const FormatTable &table = FormatTable::exchange();
    ASSERT_NE(table.forPath("/d/Route.gpx"), nullptr);
    EXPECT_EQ(table.forPath("/d/ROUTE.GPX"), table.forPath("x.gpx"));
    EXPECT_EQ(table.forPath("/d.kml/list.Kml"), table.forSuffix(u"kml"));
    EXPECT_NE(table.forPath("a.csv"), table.forPath("a.kml"));
    for (const char *unknown : {"a.txt", "/d.gpx/noext", "gpx", "a.gpx.bak"})
        EXPECT_EQ(table.forPath(unknown), nullptr) << unknown;
    EXPECT_EQ(table.endings(), ".gpx, .kml or .csv");

    // Formats put in front come first; an earlier one keeps a suffix a later one repeats.
    const NoteFormat note;
    const FormatTable grown = FormatTable{&note} + table;
    EXPECT_EQ(grown.endings(), ".note, .gpx, .gpx, .kml or .csv");
    EXPECT_EQ(grown.forPath("a.NOTE"), &note);
    EXPECT_EQ(grown.forPath("a.gpx"), &note);
    EXPECT_EQ(grown.forPath("a.csv"), table.forPath("a.csv"));
    EXPECT_EQ(FormatTable::exchange().formats().size(), 3u);

    // A format without a reader says so instead of pretending to have read.
    PointSet set;
    EXPECT_FALSE(note.read("a.note", {cp1250, cp1250}, set).isEmpty());
    EXPECT_TRUE(set.points.empty());
}

TEST(FormatTable, EachFormatGivesBackWhatItWroteAndKeepsARouteARoute)
{
    TempFolder tmp;
    const PointCodecs codecs{cp1250, utf8};
    for (const PointFormat *format : FormatTable::exchange().formats()) {
        const QString suffix = format->suffixes().first();
        ASSERT_TRUE(format->canRead() && format->canWrite()) << suffix.toStdString();
        for (const bool route : {false, true}) {
            SCOPED_TRACE(suffix.toStdString() + (route ? " route" : " list"));
            PointSet out;
            out.points = samplePoints();
            out.route = route;
            out.title = "Trip";
            const QString path = tmp.file(QStringLiteral("points%1.%2").arg(int(route)).arg(suffix));
            QStringList written;
            ASSERT_EQ(format->write(path, out, codecs, written), QString());
            EXPECT_EQ(written, QStringList{path});

            PointSet in;
            ASSERT_EQ(format->read(path, codecs, in), QString());
            // CSV has no quoting: its commas and double quotes become "_".
            std::vector<GeoPoint> expected = out.points;
            if (suffix == "csv")
                for (GeoPoint &p : expected)
                    p.name.replace(',', '_').replace('"', '_');
            EXPECT_EQ(in.points, expected);
            // CSV has no routes; GPX names its route, KML carries no name back.
            EXPECT_EQ(in.route, suffix != "csv" && route);
            EXPECT_EQ(in.title, suffix == "gpx" && route ? QString("Trip") : QString());
        }
    }
}

TEST(FormatTable, CsvTextsGoThroughTheCodePageItIsGiven)
{
    TempFolder tmp;
    const PointFormat *csv = FormatTable::exchange().forSuffix(u"csv");
    PointSet out;
    out.points = {{1, 2, QString::fromUtf8("Łódź")}};
    QStringList written;
    ASSERT_EQ(csv->write(tmp.file("u.csv"), out, {cp1250, utf8}, written), QString());
    EXPECT_EQ(readAll(tmp.file("u.csv")), QByteArray("1,2,\xC5\x81\xC3\xB3\x64\xC5\xBA\n"));
    ASSERT_EQ(csv->write(tmp.file("c.csv"), out, {utf8, cp1250}, written), QString());
    EXPECT_EQ(readAll(tmp.file("c.csv")), QByteArray("1,2,\xA3\xF3\x64\x9F\r\n"));

    PointSet in;
    ASSERT_EQ(csv->read(tmp.file("c.csv"), {utf8, cp1250}, in), QString());
    EXPECT_EQ(in.points, out.points);
}

TEST(FormatTable, FailuresComeBackAsTheirReasonAndLeaveNothingBehind)
{
    TempFolder tmp;
    const PointCodecs codecs{cp1250, utf8};
    const FormatTable &table = FormatTable::exchange();
    PointSet in;

    const QString missing = tmp.file("missing.gpx");
    EXPECT_TRUE(table.forPath(missing)->read(missing, codecs, in).startsWith(missing + ": ")) << missing.toStdString();

    tmp.write("bad.csv", "1,2,a\r\nnorth,3,b\r\n");
    EXPECT_EQ(table.forSuffix(u"csv")->read(tmp.file("bad.csv"), codecs, in),
              "line 2: not a longitude and latitude in 1/100000 degree");

    tmp.write("bad.kml", "<kml><Document><Placemark><name>x</name><Point><coordinates>1e999999999999,2,0"
                         "</coordinates></Point></Placemark></Document></kml>");
    EXPECT_TRUE(table.forSuffix(u"kml")->read(tmp.file("bad.kml"), codecs, in).startsWith("not a coordinate: "));

    tmp.write("broken.gpx", "<gpx><wpt lat=\"x\"");
    EXPECT_FALSE(table.forSuffix(u"gpx")->read(tmp.file("broken.gpx"), codecs, in).isEmpty());

    // A FIFO is refused at once for every kind, never waited on.
    for (const PointFormat *format : table.formats()) {
        const QString fifo = tmp.file("pipe." + format->suffixes().first());
        ASSERT_TRUE(makeFifo(fifo));
        FifoGuard guard({fifo});
        EXPECT_FALSE(format->read(fifo, codecs, in).isEmpty()) << fifo.toStdString();
        EXPECT_FALSE(guard.hadToRelease());
    }

    // A write into a folder that is not there fails with the reason and writes nothing.
    PointSet out;
    out.points = samplePoints();
    for (const PointFormat *format : table.formats()) {
        const QString path = tmp.file("none/out." + format->suffixes().first());
        QStringList written;
        EXPECT_FALSE(format->write(path, out, codecs, written).isEmpty()) << path.toStdString();
        EXPECT_TRUE(written.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(tmp.file("none")));
}

TEST(FormatTable, TheDevicesFormatsTakeTheirPlaceInFrontAndSplitALongItinerary)
{
    TempFolder tmp;
    const FormatTable table = FormatTable{&ov2PointFormat(), &itnPointFormat()} + FormatTable::exchange();
    EXPECT_EQ(table.endings(), ".ov2, .itn, .gpx, .kml or .csv");
    EXPECT_EQ(table.forPath("a.OV2"), &ov2PointFormat());
    const PointCodecs codecs{cp1250, utf8};

    // OV2: a list, names in the device's code page.
    PointSet out;
    out.points = samplePoints();
    out.points[2].name = "Pole"; // a record holds no empty description
    out.route = true;
    QStringList written;
    ASSERT_EQ(ov2PointFormat().write(tmp.file("a.ov2"), out, codecs, written), QString());
    EXPECT_TRUE(readAll(tmp.file("a.ov2")).contains("\xA3\xF3\x64\x9F"));
    PointSet in;
    ASSERT_EQ(ov2PointFormat().read(tmp.file("a.ov2"), codecs, in), QString());
    EXPECT_EQ(in.points, out.points);
    EXPECT_FALSE(in.route);

    // ITN: a route of at most 48 points a file; the first file holds the first 48.
    out.points.clear();
    for (int i = 0; i < 50; ++i)
        out.points.push_back({i * 1000, -i * 1000, QStringLiteral("P%1").arg(i)});
    written.clear();
    ASSERT_EQ(itnPointFormat().write(tmp.file("r.itn"), out, codecs, written), QString());
    EXPECT_EQ(written, QStringList({tmp.file("r.itn"), tmp.file("r01.itn")}));
    in = {};
    ASSERT_EQ(itnPointFormat().read(tmp.file("r.itn"), codecs, in), QString());
    EXPECT_TRUE(in.route);
    EXPECT_EQ(in.points, std::vector<GeoPoint>(out.points.begin(), out.points.begin() + 48));
    in = {};
    ASSERT_EQ(itnPointFormat().read(tmp.file("r01.itn"), codecs, in), QString());
    EXPECT_EQ(in.points, std::vector<GeoPoint>(out.points.begin() + 48, out.points.end()));

    // Their failures are reasons too.
    EXPECT_FALSE(ov2PointFormat().read(tmp.file("none.ov2"), codecs, in).isEmpty());
    tmp.write("bad.itn", "1.5|2|x|0|\r\n");
    EXPECT_FALSE(itnPointFormat().read(tmp.file("bad.itn"), codecs, in).isEmpty());
}
