// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {
CliRun cli(const QStringList &args, const QByteArray &input = {})
{
    return runCli(args, input);
}
} // namespace

TEST(ItnCli, DumpAndWriteRoundTrip)
{
    TempFolder tmp;
    const QByteArray original = "1993730|5006170|Rynek G\xB3\xF3wny|4|\r\n1|2|\r\n\r\n-5|6|a\\b|0|\n7|8|tab\x01|1|\r";
    const QString in = tmp.write("a.itn", original);
    const CliRun dump = cli({"itn", "dump", in});
    ASSERT_EQ(dump.code, 0) << dump.err.toStdString();
    EXPECT_EQ(dump.out, QByteArray("1993730\t5006170\tRynek Główny\t4\n1\t2\t\t\n\t\t\t\n-5\t6\ta\\\\b\t0\n"
                                   "7\t8\ttab\\x01\t1\n"));
    const CliRun write = cli({"itn", "write", tmp.file("b.itn")}, dump.out);
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    // The empty line is not written back; every other line is byte for byte.
    EXPECT_EQ(readAll(tmp.file("b.itn")),
              QByteArray("1993730|5006170|Rynek G\xB3\xF3wny|4|\r\n1|2|\r\n-5|6|a\\b|0|\r\n7|8|tab\x01|1|\r\n"));
}

TEST(ItnCli, WriteSplitsAHundredPoints)
{
    TempFolder tmp;
    QByteArray rows;
    for (int i = 1; i <= 100; ++i)
        rows += QByteArray::number(1900000 + i) + "\t" + QByteArray::number(5000000 + i) + "\tp" + QByteArray::number(i)
                + "\t0\n";
    const CliRun r = cli({"itn", "write", tmp.file("route.itn"), "--split"}, rows);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(tmp.file("route.itn")).count("\r\n"), 48);
    EXPECT_EQ(readAll(tmp.file("route01.itn")).count("\r\n"), 48);
    EXPECT_EQ(readAll(tmp.file("route02.itn")).count("\r\n"), 4);
}

TEST(ItnCli, KmlImportForBothEditors)
{
    TempFolder tmp;
    const QString file = tmp.write("a.kml",
        "<kml><Document><Placemark><name>  Rynek </name><Point><coordinates>19.93,50.06,0</coordinates></Point>"
        "</Placemark><Placemark><address>Kraków</address><name>Wawel</name><Point><coordinates>19.9356,50.0543,0"
        "</coordinates></Point></Placemark></Document></kml>");
    CliRun r = cli({"kml", "import", file, "--itn"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray("1993000\t5006000\t:   Rynek\t0\n1993560\t5005430\tKraków : Wawel\t0\n"));
    r = cli({"kml", "import", file, "--poi"});
    EXPECT_EQ(r.out, QByteArray("1993000\t5006000\t:   Rynek\n1993560\t5005430\tKraków : Wawel\n"));
    r = cli({"kml", "import", tmp.write("bad.kml", "<html/>"), "--itn"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Invalid Kml file"));
}

TEST(ItnCli, WriteRefusesCoordinatesThatAreNotWholeNumbers)
{
    TempFolder tmp;
    const QString keep = tmp.write("keep.itn", "1|2|old|0|\r\n");
    const CliRun r = cli({"itn", "write", keep}, "1993730\t5006170\tRynek\t0\n\n1993560\t50.054\tWawel\t0\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, keep.toUtf8() + ": Row 3: latitude \"50.054\" is not a whole number of 1/100000 degrees\n");
    EXPECT_EQ(readAll(keep), QByteArray("1|2|old|0|\r\n"));
}

TEST(ItnCli, ReadersRefuseFilesBeyondTheCap)
{
    TempFolder tmp;
    // KML is parsed into a document tree about twenty times its size: its cap is lower.
    const QList<QPair<QString, qint64>> files = {{"huge.itn", qint64(256) << 20}, {"huge.atm", qint64(256) << 20},
                                                 {"huge.kml", qint64(64) << 20}};
    for (const auto &[name, cap] : files) {
        QFile f(tmp.file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(cap + 1)); // sparse: nothing is written
    }
    const QList<QStringList> runs = {{"itn", "dump", tmp.file("huge.itn")},
                                     {"itn", "targeo", tmp.file("huge.atm")},
                                     {"kml", "import", tmp.file("huge.kml"), "--poi"}};
    for (const QStringList &args : runs) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, "The file is too large: " + args[2].toUtf8() + "\n");
        EXPECT_TRUE(r.out.isEmpty());
    }
}
