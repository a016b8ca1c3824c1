// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli ov2 / poidat, run as the real program.
#include "platform/DeviceCodec.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/TestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <limits>

namespace {

CliRun cli(const QStringList &args, const QByteArray &input = {})
{
    return runCli(args, input);
}

} // namespace

TEST(PoiCli, DumpEscapesAndCodePage)
{
    TempFolder tmp;
    const QString path = tmp.write("d.ov2", Ov2Bytes()
                                                .skipper(21 + 32)
                                                .poi(-1993500, 5006200, "a\\b\tc\rd\ne\x01\x7F\x81\x83\x88\x90\x98\xB3\x80")
                                                .poi(7, 8, ""));
    const CliRun r = cli({"ov2", "dump", path});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    EXPECT_EQ(r.out, "-1993500\t5006200\ta\\\\b\\tc\\rd\\ne\\x01\\x7F\\x81\\x83\\x88\\x90\\x98\xC5\x82\xE2\x82\xAC\t*2/1\n"
                     "7\t8\t\t2/0\n");
}

// Lines are written through room reserved per POI: the extreme numbers, every byte
// of the code page and a text that grows fourfold by escaping all come out whole.
TEST(PoiCli, DumpWritesExtremeNumbersEveryByteAndLongEscapes)
{
    QByteArray every, everyLine;
    const DeviceCodec codec; // the code page of a program without settings
    for (int b = 1; b < 256; ++b) {
        every.append(char(b));
        const QString u = codec.toUnicode(QByteArray(1, char(b)));
        const char16_t c = u.at(0).unicode();
        if (b == '\\' || b == '\t' || b == '\r' || b == '\n')
            everyLine += QByteArray("\\") + (b == '\\' ? '\\' : b == '\t' ? 't' : b == '\r' ? 'r' : 'n');
        else if (c < 32 || c == 127 || (c >= 0x80 && c < 0xA0))
            everyLine += "\\x" + QByteArray::number(b, 16).toUpper().rightJustified(2, '0');
        else
            everyLine += u.toUtf8();
    }
    const QByteArray controls(20000, '\x1F');
    Ov2Bytes file;
    file.poi(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), every)
        .poi(-1, 0, controls)
        .skipper(21 + 14)
        .poi(-10, -2000000000, "");
    QByteArray expected = "-2147483648\t2147483647\t" + everyLine + "\t2/0\n-1\t0\t";
    for (int i = 0; i < controls.size(); ++i)
        expected += "\\x1F";
    expected += "\t2/0\n-10\t-2000000000\t\t*2/1\n";
    for (int i = 0; i < 3000; ++i) {
        file.poi(i * 7919, -i, "POI " + QByteArray::number(i));
        expected += QByteArray::number(i * 7919) + '\t' + QByteArray::number(-i) + "\tPOI " + QByteArray::number(i)
                    + "\t2/0\n";
    }
    TempFolder tmp;
    const CliRun r = cli({"ov2", "dump", tmp.write("x.ov2", file)});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    EXPECT_EQ(r.out, expected);
}

TEST(PoiCli, EmptyListsAndErrors)
{
    TempFolder tmp;
    EXPECT_EQ(cli({"ov2", "dump", tmp.write("e.ov2")}).out, "\t\t\t\n");
    EXPECT_EQ(cli({"ov2", "dump", tmp.write("del.ov2", Ov2Bytes().deleted(100, 9).skipper(21))}).out, "\t\t\t\n");
    const QString badFile = tmp.write("bad.ov2", Ov2Bytes().poi(1, 1, "a").u8(11).raw("zz"));
    const CliRun bad = cli({"ov2", "dump", badFile});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.err.startsWith(badFile.toUtf8() + ": Unknown Field: 0000000F : 0B(11) : ")) << bad.err.constData();
    const CliRun missing = cli({"ov2", "dump", tmp.file("none.ov2")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, tmp.file("none.ov2").toUtf8() + ": Can't open OV2 file: No such file or directory\n");
    EXPECT_EQ(cli({"ov2", "frobnicate"}).code, 2);
}

TEST(PoiCli, WriteThenDumpRoundTrips)
{
    TempFolder tmp;
    const QString rynek = tmp.file("r.ov2");
    ASSERT_EQ(cli({"ov2", "write", rynek}, "1993500\t5006200\tRynek\n").code, 0);
    EXPECT_EQ(readAll(rynek).toHex(), "01280000001c6b1e0078634c001c6b1e0078634c0002130000001c6b1e0078634c0052796e656b00");

    // A dump fed back gives the same texts, escapes and undefined bytes included.
    const QByteArray rows = "10\t20\tPod R\xC3\xB3\xC5\xBC\xC4\x85 \\x81\\t\\\\x\\n\t2/0\r\n"
                            "-5\t-6\t\t*2/1\n"
                            "\n";
    const QString out = tmp.file("w.ov2");
    const CliRun w = cli({"ov2", "write", out}, rows);
    ASSERT_EQ(w.code, 0) << w.err.constData();
    const CliRun d = cli({"ov2", "dump", out});
    ASSERT_EQ(d.code, 0);
    QList<QByteArray> lines = d.out.split('\n');
    lines.removeLast();
    for (QByteArray &l : lines)
        l = l.left(l.lastIndexOf('\t')); // the type/level column depends on the tree
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, QList<QByteArray>({"-5\t-6\t?",
                                        "10\t20\tPod R\xC3\xB3\xC5\xBC\xC4\x85 \\x81\\t\\\\x\\n"}));
    // The description bytes themselves.
    EXPECT_TRUE(readAll(out).contains("Pod R\xF3\xBF\xB9 \x81\t\\x\n"));

    const QString keep = tmp.write("keep.ov2", "old");
    const CliRun fail = cli({"ov2", "write", keep}, "\tno coordinates\tx\n");
    EXPECT_EQ(fail.code, 1);
    EXPECT_EQ(readAll(keep), "old");
}

TEST(PoiCli, ExportCheckAndPoiDat)
{
    TempFolder tmp;
    const QString in = tmp.write("in.ov2", Ov2Bytes().skipper(21 + 18 + 16, 9, 9, 0, 0).poi(1, 2, "a,\"b").poi(3, 4, "c\xB3"));
    const QString csv = tmp.file("out.txt");
    ASSERT_EQ(cli({"ov2", "export", "qcsv", in, csv}).code, 0);
    EXPECT_EQ(readAll(csv), "1,2,\"a__b\"\r\n3,4,\"c\xB3\"\r\n");
    ASSERT_EQ(cli({"ov2", "export", "asc", in, csv}).code, 0);
    EXPECT_EQ(readAll(csv), "1,2,a__b\r\n3,4,c\xB3\r\n");

    const CliRun check = cli({"ov2", "check", in});
    EXPECT_EQ(check.code, 0);
    EXPECT_TRUE(check.out.contains("type 1\t1\n"));
    EXPECT_TRUE(check.out.contains("type 2\t2\n"));
    EXPECT_TRUE(check.out.contains("depth\t1\n"));
    EXPECT_TRUE(check.out.contains("leaf pois\tmin 2\tmax 2"));
    const QString badFile = tmp.write("b.ov2", Ov2Bytes().poi(1, 1, "a").u8(0).le32(2));
    const CliRun checkBad = cli({"ov2", "check", badFile});
    EXPECT_EQ(checkBad.code, 1);
    EXPECT_TRUE(checkBad.out.contains("type 2\t1\n"));
    EXPECT_TRUE(checkBad.err.startsWith(badFile.toUtf8() + ": Unknown Field: 0000000F : 00(0)"));

    Ov2Bytes dat;
    const QByteArray blk = Ov2Bytes().poi(5, 6, "Orlen");
    dat.le32(2).le32(7311).le32(1234).le32(24).le32(24 + blk.size()).le32(24 + blk.size()).raw(blk);
    const QString poidat = tmp.write("poi.dat", dat);
    const CliRun list = cli({"poidat", "list", poidat});
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(list.out, "7311:Petrol Station\n1234:?\n");
    EXPECT_EQ(cli({"poidat", "dump", poidat, "7311:Petrol Station"}).out, "5\t6\tOrlen\t2/0\n");
    EXPECT_EQ(cli({"poidat", "dump", poidat, "1234:?"}).out, "\t\t\t\n");
}

TEST(PoiCli, WriteRefusesCoordinatesThatAreNotWholeNumbers)
{
    TempFolder tmp;
    const QString keep = tmp.write("keep.ov2", "old");
    QByteArray rows;
    for (int i = 1; i <= 24; ++i)
        rows += QByteArray::number(1990000 + i) + "\t5000000\tp" + QByteArray::number(i) + "\n";
    const CliRun fail = cli({"ov2", "write", keep}, rows + "19.95\t5006000\tRynek\n");
    EXPECT_EQ(fail.code, 1);
    EXPECT_EQ(fail.err, keep.toUtf8() + ": Row 25: longitude \"19.95\" is not a whole number of 1/100000 degrees\n");
    EXPECT_EQ(readAll(keep), "old");

    // Blank lines are no POIs: not "?" at 0, 0.
    const CliRun ok = cli({"ov2", "write", keep}, "\n7\t8\tx\n\t\t\n");
    ASSERT_EQ(ok.code, 0) << ok.err.constData();
    EXPECT_EQ(cli({"ov2", "dump", keep}).out, "7\t8\tx\t*2/1\n");
}
