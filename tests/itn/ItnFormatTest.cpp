// SPDX-License-Identifier: GPL-3.0-or-later
#include "itn/ItnFormat.h"
#include "itn/SampleItineraries.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Itn;

namespace {
TRBParamsTable tableOf(const std::vector<TRBParams> &rows)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({QStringLiteral("LP")});
    for (const TRBParams &r : rows)
        t.AppendRow(r);
    return t;
}

TRBParamsTable points(int n, int emptyRowsAtEnd = 0)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({QStringLiteral("LP")});
    for (int i = 1; i <= n; ++i)
        t.AppendFields({QString(), QString::number(1900000 + i), QString::number(5000000 + i),
                        QStringLiteral("p%1").arg(i), QStringLiteral("0")});
    for (int i = 0; i < emptyRowsAtEnd; ++i)
        t.AppendFields({QString()});
    return t;
}

int lineCount(const QString &path) { return int(readAll(path).count("\r\n")); }
} // namespace

TEST(ItnFormat, LinesEndAtCrLfLfOrLoneCr)
{
    EXPECT_EQ(splitLines(u"a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines(u"a\r\n"), QStringList{"a"});
    EXPECT_EQ(splitLines(u"a\r\n\r\nb"), (QStringList{"a", "", "b"}));
    EXPECT_TRUE(splitLines(u"").isEmpty());
    EXPECT_EQ(splitLines(u"\r\n"), QStringList{""});
}

TEST(ItnFormat, LineFieldsGoToColumnsOneToFourAsSetCellStoresThem)
{
    const TRBParams full = rowFromLine(u"1993000|5006000|Rynek|0|");
    EXPECT_EQ(full.ToStringList(), (QStringList{"", "1993000", "5006000", "Rynek", "0"}));
    // Trailing fields that were never set are not added, so the line comes back.
    const TRBParams shortRow = rowFromLine(u"1|2|");
    EXPECT_EQ(shortRow.Count(), 3);
    EXPECT_EQ(lineOf(shortRow), QStringLiteral("1|2|\r\n"));
    // Quotes protect a bar; blanks around fields are trimmed; fields past 4 dropped.
    EXPECT_EQ(lineFields(u" 1 | 2 |\"x|y\"|3|extra|"), (QStringList{"1", "2", "x|y", "3"}));
    EXPECT_FALSE(rowHasPoint(rowFromLine(u"")));
    EXPECT_FALSE(rowHasPoint(rowFromLine(u"   ")));
    // A bar inside a name is written unchanged, never quoted.
    TRBParams r{QString(), "1", "2", "a|b c", "0"};
    EXPECT_EQ(lineOf(r), QStringLiteral("1|2|a|b c|0|\r\n"));
}

TEST(ItnFormat, ReadAndSaveUnchangedIsByteIdentical)
{
    TempFolder tmp;
    const DeviceCodec codec(DeviceCodec::Kind::Cp1250);
    // Three lines, Polish names in the device code page, a short line, a negative point.
    QByteArray original = "1993730|5006170|Rynek G" + QByteArray("\xB3\xF3", 2) + "wny|4|\r\n"
                          "1993560|5005400|Wawel|1|\r\n"
                          "-7000|-123|\r\n";
    const QString path = tmp.write("route.itn", original);
    const std::vector<TRBParams> rows = readFile(path, codec);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].GetField(3), QString::fromUtf8("Rynek Główny"));
    const QStringList written = writeRows(tmp.file("copy.itn"), tableOf(rows), false, codec);
    EXPECT_EQ(written, QStringList{tmp.file("copy.itn")});
    EXPECT_EQ(readAll(tmp.file("copy.itn")), original);
    // Every byte of the code page survives (the table is bijective).
    QByteArray all;
    for (int b = 33; b < 256; ++b)
        if (b != '|' && b != '"')
            all.append(char(b));
    const QByteArray line = "1|2|" + all + "|0|\r\n";
    const QString p2 = tmp.write("bytes.itn", line);
    writeRows(tmp.file("bytes2.itn"), tableOf(readFile(p2, codec)), false, codec);
    EXPECT_EQ(readAll(tmp.file("bytes2.itn")), line);
}

TEST(ItnFormat, EmptyRowsAreNotWrittenAndUnreadableFilesThrow)
{
    TempFolder tmp;
    const DeviceCodec codec;
    TRBParamsTable t = tableOf({rowFromLine(u"1|2|a|0|"), rowFromLine(u""), rowFromLine(u"3|4|b|0|")});
    t.AppendFields({QString()});
    writeRows(tmp.file("r.itn"), t, false, codec);
    EXPECT_EQ(readAll(tmp.file("r.itn")), QByteArray("1|2|a|0|\r\n3|4|b|0|\r\n"));
    EXPECT_THROW(readFile(tmp.file("missing.itn"), codec), KorvixError);
    EXPECT_THROW(writeRows(tmp.file("no/such/folder/r.itn"), t, false, codec), KorvixError);
}

TEST(ItnFormat, FileNamesOfSingleAndSplitSaves)
{
    EXPECT_EQ(singleFileName("/d/itn/route.txt"), QStringLiteral("/d/itn/route.itn"));
    EXPECT_EQ(singleFileName("/d/itn/route"), QStringLiteral("/d/itn/route.itn"));
    EXPECT_EQ(singleFileName("/d/itn/temporary.iti"), QStringLiteral("/d/itn/temporary.iti"));
    EXPECT_EQ(singleFileName("/d/itn/Temporary.iti"), QStringLiteral("/d/itn/Temporary.itn"));
    EXPECT_EQ(singleFileName("/d/my.folder/route"), QStringLiteral("/d/my.folder/route.itn"));
    EXPECT_EQ(splitFileName("/d/route.txt", 0), QStringLiteral("/d/route.txt"));
    EXPECT_EQ(splitFileName("/d/route.txt", 1), QStringLiteral("/d/route01.itn"));
    EXPECT_EQ(splitFileName("/d/route.itn", 12), QStringLiteral("/d/route12.itn"));
    EXPECT_EQ(splitFileName("/d/route.itn", 100), QStringLiteral("/d/route100.itn"));
}

TEST(ItnFormat, TheQuestionComesFrom48Points)
{
    EXPECT_FALSE(needsSplitQuestion(1 + 47));
    EXPECT_TRUE(needsSplitQuestion(1 + 48));
}

TEST(ItnFormat, SplitPlanGivesFullFilesAndNoEmptyRemainder)
{
    auto sizes = [](const std::vector<SaveFile> &files) {
        std::vector<int> s;
        for (const SaveFile &f : files)
            s.push_back(f.count);
        return s;
    };
    EXPECT_EQ(sizes(planSave("/r.itn", 100, true)), (std::vector<int>{48, 48, 4}));
    EXPECT_EQ(sizes(planSave("/r.itn", 48, true)), (std::vector<int>{48}));
    EXPECT_EQ(sizes(planSave("/r.itn", 96, true)), (std::vector<int>{48, 48}));
    EXPECT_EQ(sizes(planSave("/r.itn", 0, true)), (std::vector<int>{0}));
    EXPECT_EQ(sizes(planSave("/r.itn", 100, false)), (std::vector<int>{100}));
    EXPECT_EQ(planSave("/r.itn", 100, true)[2].first, 96);
}

TEST(ItnFormat, HundredPointsInSplitMode)
{
    TempFolder tmp;
    const DeviceCodec codec;
    // Trailing empty rows (the grid's automatic last row) give no extra file.
    const QStringList files = writeRows(tmp.file("route.itn"), points(100, 2), true, codec);
    EXPECT_EQ(files, (QStringList{tmp.file("route.itn"), tmp.file("route01.itn"), tmp.file("route02.itn")}));
    EXPECT_EQ(lineCount(tmp.file("route.itn")), 48);
    EXPECT_EQ(lineCount(tmp.file("route01.itn")), 48);
    EXPECT_EQ(lineCount(tmp.file("route02.itn")), 4);
    EXPECT_TRUE(readAll(tmp.file("route01.itn")).startsWith("1900049|5000049|p49|0|\r\n"));
    EXPECT_FALSE(QFile::exists(tmp.file("route03.itn")));
    // 48 points and an empty last row: one file.
    writeRows(tmp.file("x.txt"), points(48, 1), true, codec);
    EXPECT_EQ(lineCount(tmp.file("x.txt")), 48);
    EXPECT_FALSE(QFile::exists(tmp.file("x01.itn")));
}

TEST(ItnFormat, DegreesToUnitsExactlyAndTruncated)
{
    EXPECT_EQ(degreesToUnits(u"19.123456"), 1912345);
    EXPECT_EQ(degreesToUnits(u"50.5"), 5050000);
    EXPECT_EQ(degreesToUnits(u"-19.123456"), -1912345);
    EXPECT_EQ(degreesToUnits(u"0.29"), 29000); // no binary rounding below the digit
    EXPECT_EQ(degreesToUnits(u" 19.93\n"), 1993000);
    EXPECT_EQ(degreesToUnits(u"1.5E1"), 1500000);
    EXPECT_EQ(degreesToUnits(u".5"), 50000);
    EXPECT_EQ(degreesToUnits(u"-0.000019"), -1);
    for (const char16_t *bad : {u"", u"abc", u"19,5", u"1e", u"--1", u"99999999999999999999"})
        EXPECT_EQ(degreesToUnits(bad), 0) << QString::fromUtf16(bad).toStdString();
    const PointCells c = pointCells(u"19.123456", u"50.5", u"  Rynek \t");
    EXPECT_EQ(c.lon, "1912345");
    EXPECT_EQ(c.lat, "5050000");
    EXPECT_EQ(c.name, "Rynek");
    EXPECT_EQ(c.flag, "0");
    EXPECT_EQ(cellInteger(u" 42 "), 42);
    EXPECT_EQ(cellInteger(u"4x"), 0);
}

TEST(ItnFormat, SampleItinerariesReadBack)
{
    TempFolder tmp;
    const QStringList files = writeSampleItineraries(tmp.file("itn"));
    EXPECT_EQ(files.size(), 4);
    const DeviceCodec codec = DeviceCodec::fromSettings();
    const std::vector<TRBParams> big = readFile(tmp.file("itn/Wisla_100.itn"), codec);
    ASSERT_EQ(big.size(), 100u);
    EXPECT_TRUE(needsSplitQuestion(int(big.size()) + 1));
    for (const TRBParams &r : big) {
        EXPECT_TRUE(rowHasPoint(r));
        EXPECT_NE(cellInteger(r.FieldView(1)), 0);
    }
    EXPECT_EQ(big.front().GetField(3), QString::fromUtf8("Barania Góra"));
    EXPECT_TRUE(QFile::exists(tmp.file("itn/temporary.iti")));
}

// The other side: gpsbabel's TomTom itinerary format reads what we write and we
// read what it writes.
TEST(ItnFormat, InteroperatesWithGpsbabel)
{
    TempFolder tmp;
    const DeviceCodec codec;
    const QString ours = tmp.file("ours.itn");
    writeRows(ours, tableOf({rowFromLine(u"1993730|5006170|Rynek|0|"), rowFromLine(u"-358000|4050000|Madrid centre|0|")}),
              false, codec);
    QProcess babel;
    babel.start("gpsbabel", {"-r", "-i", "tomtom_itn", "-f", ours, "-o", "unicsv", "-F", "-"});
    ASSERT_TRUE(babel.waitForFinished(30000));
    const QString csv = QString::fromUtf8(babel.readAllStandardOutput());
    EXPECT_TRUE(csv.contains("1,50.061700,19.937300,\"Rynek\"")) << csv.toStdString();
    EXPECT_TRUE(csv.contains("2,40.500000,-3.580000,\"Madrid centre\"")) << csv.toStdString();

    const QString gpx = tmp.write("in.gpx",
        "<gpx version=\"1.1\" creator=\"t\"><rte><rtept lat=\"50.0617\" lon=\"19.9373\"><name>Rynek</name></rtept>"
        "<rtept lat=\"-33.8568\" lon=\"151.2153\"><name>Opera House</name></rtept></rte></gpx>");
    const QString theirs = tmp.file("theirs.itn");
    babel.start("gpsbabel", {"-r", "-i", "gpx", "-f", gpx, "-o", "tomtom_itn", "-F", theirs});
    ASSERT_TRUE(babel.waitForFinished(30000));
    ASSERT_EQ(babel.exitCode(), 0) << babel.readAllStandardError().toStdString();
    const std::vector<TRBParams> rows = readFile(theirs, codec);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].ToStringList().mid(1, 3), (QStringList{"1993730", "5006170", "Rynek"}));
    EXPECT_EQ(rows[1].ToStringList().mid(1, 3), (QStringList{"15121530", "-3385680", "Opera House"}));
}

TEST(ItnFormat, SavesRefuseCoordinatesThatAreNotWholeNumbers)
{
    TempFolder tmp;
    const DeviceCodec codec;
    const QString path = tmp.write("route.itn", "old");
    TRBParamsTable t = points(60, 1);
    t.Row(55).SetField(1, QStringLiteral("19.95"));
    // In split mode too nothing is written, not even the files before the fault.
    try {
        writeRows(path, t, true, codec);
        ADD_FAILURE() << "saved";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), "Row 55: longitude \"19.95\" is not a whole number of 1/100000 degrees");
    }
    EXPECT_EQ(readAll(path), "old");
    EXPECT_FALSE(QFile::exists(tmp.file("route01.itn")));

    // A name without a point is refused; a short line of two numbers is a point.
    const TRBParamsTable named = tableOf({rowFromLine(u"1|2|"), rowFromLine(u""), rowFromLine(u"|  |Rynek|0|")});
    try {
        writeRows(path, named, false, codec);
        ADD_FAILURE() << "saved";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), "Row 3: longitude \"\" is not a whole number of 1/100000 degrees");
    }
    EXPECT_EQ(readAll(path), "old");
    writeRows(path, tableOf({rowFromLine(u"1|2|"), rowFromLine(u""), rowFromLine(u"-7|+8|x|0|")}), false, codec);
    EXPECT_EQ(readAll(path), QByteArray("1|2|\r\n-7|+8|x|0|\r\n"));
}

TEST(ItnFormat, InputFilesBeyondTheCapAreRefused)
{
    TempFolder tmp;
    const QString huge = tmp.file("huge.itn");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(MaxInputBytes + 1)); // sparse: nothing is written
    }
    try {
        readFile(huge, DeviceCodec());
        ADD_FAILURE() << "read";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), "The file is too large: " + huge);
    }
    EXPECT_THROW(readInputFile(tmp.file("missing.kml")), KorvixError);
    EXPECT_EQ(readInputFile(tmp.write("small.atm", "Start::ptGeo=50&19\r\n")), "Start::ptGeo=50&19\r\n");
    // A device without a size is read no further than the cap.
    if (QFile::exists("/dev/zero"))
        EXPECT_THROW(readInputFile("/dev/zero"), KorvixError);
}
