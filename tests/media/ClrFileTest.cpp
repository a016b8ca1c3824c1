// SPDX-License-Identifier: GPL-3.0-or-later
// Colour scheme files: reading, writing, the preview's colour table, the command line.
#include "media/ClrFile.h"
#include "media/ClrPreview.h"
#include "tests/support/TestSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QRandomGenerator>
#include <QSet>

#include <gtest/gtest.h>

namespace {
std::vector<quint32> colorsOf(const char *text)
{
    const Clr::ReadResult r = Clr::readText(QByteArray(text));
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    return r.colors;
}

// A scheme of `n` distinct colours, as the writer lays it out.
QByteArray schemeText(int n)
{
    QList<Clr::Row> rows;
    for (int k = 1; k <= n; ++k)
        rows.append({Clr::colorCell(quint32(k * 0x030507) & 0xFFFFFF), Clr::description(k)});
    return Clr::writeText(rows);
}
} // namespace

TEST(ClrRead, FieldsCommentsAndSkippedLines)
{
    // Red is the low byte; hexadecimal with "$"; quotes and blanks around fields.
    EXPECT_EQ(colorsOf("255,0,0"), std::vector<quint32>{0x0000FFu});
    EXPECT_EQ(colorsOf("$FF,$80,0 // x"), std::vector<quint32>{0x0080FFu});
    EXPECT_EQ(colorsOf("  \"1\" , \"2\",3,99,junk // 9,9,9\r\n"), std::vector<quint32>{0x030201u});
    // Comments, ";" lines and empty lines do not count as entries.
    EXPECT_EQ(colorsOf("; header\r\n\r\n1,0,0\r\n   \r\n;2,2,2\r\n0,1,0\r\n"),
              (std::vector<quint32>{0x000001u, 0x000100u}));
    // The last line needs no line end.
    EXPECT_EQ(colorsOf("1,1,1\r\n2,2,2"), (std::vector<quint32>{0x010101u, 0x020202u}));
    EXPECT_TRUE(colorsOf("").empty());
}

TEST(ClrRead, LineFeedOnlyFilesKeepEveryEntry)
{
    EXPECT_EQ(colorsOf("1,0,0 // a\n2,0,0 // b\n3,0,0 // c\n"),
              (std::vector<quint32>{1u, 2u, 3u}));
    // Mixed files split at CR LF as before: a lone LF inside a CR LF file stays in its line.
    EXPECT_EQ(colorsOf("1,0,0\r\n2,0,0\r\n").size(), 2u);
}

TEST(ClrRead, ComponentsOutOfRangeCombineAndWrapTo32Bits)
{
    EXPECT_EQ(colorsOf("256,0,0"), std::vector<quint32>{0x000100u});
    EXPECT_EQ(colorsOf("0,0,256"), std::vector<quint32>{0x01000000u});
    EXPECT_EQ(colorsOf("-1,0,0"), std::vector<quint32>{0xFFFFFFFFu});
    EXPECT_EQ(colorsOf("0,0,$10000"), std::vector<quint32>{0x00000000u}); // 65536 * 65536 wraps
    EXPECT_EQ(colorsOf("$FFFFFFFF,1,0"), std::vector<quint32>{0x000000FFu});
}

TEST(ClrRead, AFieldThatIsNoIntegerStopsAndKeepsTheEntriesBefore)
{
    for (const char *bad : {"1,2,3\r\n4,x5,6\r\n7,8,9\r\n", "1,2,3\r\n4,5\r\n", "1,2,3\r\n4,5,$\r\n",
                            "1,2,3\r\n4,5,1.5\r\n", "1,2,3\r\n4,5,99999999999\r\n"}) {
        const Clr::ReadResult r = Clr::readText(QByteArray(bad));
        EXPECT_FALSE(r.ok()) << bad;
        EXPECT_TRUE(r.error.contains("is not a valid integer value")) << r.error.toStdString();
        EXPECT_EQ(r.colors, std::vector<quint32>{0x030201u}) << bad;
    }
    EXPECT_TRUE(Clr::readText("4,x5,6").error.startsWith("'x5'"));
}

TEST(ClrRead, BadFilesGiveAMessage)
{
    TempFolder tmp;
    EXPECT_FALSE(Clr::readFile(tmp.file("missing.clr")).ok());
    // 50 MB of lines: refused by its size, before anything is read.
    QByteArray big;
    const QByteArray line = "001,002,003 // background\r\n";
    while (big.size() < 50 * 1024 * 1024)
        big += line;
    const Clr::ReadResult r = Clr::readFile(tmp.write("big.clr", big));
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains("too large")) << r.error.toStdString();
    EXPECT_TRUE(r.colors.empty());
    // Binary garbage: a message, never a crash.
    QByteArray garbage(200000, '\0');
    QRandomGenerator gen(16);
    for (char &c : garbage)
        c = char(gen.bounded(256));
    const Clr::ReadResult g = Clr::readFile(tmp.write("garbage.clr", garbage));
    EXPECT_FALSE(g.ok());
}

TEST(ClrWrite, TheWritersLinesAndTheEditorsDescriptions)
{
    const QList<Clr::Row> rows = {{"$000080FF", "background"}, {"16711680", "city"}, {"oops", ""}};
    EXPECT_EQ(Clr::writeText(rows),
              QByteArray("255,128,000 // background\r\n000,000,255 // city\r\n000,000,000 // \r\n"));
    // Hand-written comments are replaced by the editor's descriptions.
    const QList<Clr::Row> reread = Clr::rowsFor(colorsOf("1,2,3 // my own words\r\n"));
    ASSERT_EQ(reread.size(), 1);
    EXPECT_EQ(reread[0].cell, "$00030201");
    EXPECT_EQ(Clr::writeText(reread), QByteArray("001,002,003 // background\r\n"));
    // Rows beyond the 71 entries have no description.
    EXPECT_EQ(Clr::rowsFor(std::vector<quint32>(72, 0)).last().description, QString());
    EXPECT_EQ(Clr::newRows().size(), 71);
}

TEST(ClrWrite, ASavedSchemeReopensAndSavesToTheSameBytes)
{
    for (int n : {71, 60, 80}) {
        const QByteArray first = schemeText(n);
        const Clr::ReadResult r = Clr::readText(first);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(int(r.colors.size()), n);
        EXPECT_EQ(Clr::writeText(Clr::rowsFor(r.colors)), first) << n;
    }
    // An LF-only copy saves back to the CR LF original.
    QByteArray lf = schemeText(71);
    lf.replace("\r\n", "\n");
    EXPECT_EQ(Clr::writeText(Clr::rowsFor(Clr::readText(lf).colors)), schemeText(71));
}

TEST(ClrWrite, SystemColoursAreSavedAsTheirCurrentValue)
{
    const QPalette pal = QGuiApplication::palette();
    const QColor face = pal.color(QPalette::Active, QPalette::Button);
    const QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(Clr::systemColor(15), face.rgb());
    const QList<Clr::Row> rows = {{"$8000000F", "a"}, {"$8000000D", "b"}, {"$80000019", "c"}, {"$800000FF", "d"}};
    const QByteArray expected = QString::asprintf("%3.3d,%3.3d,%3.3d // a\r\n%3.3d,%3.3d,%3.3d // b\r\n",
                                                  face.red(), face.green(), face.blue(), highlight.red(),
                                                  highlight.green(), highlight.blue()).toLatin1() +
                                "000,000,000 // c\r\n000,000,000 // d\r\n";
    EXPECT_EQ(Clr::writeText(rows), expected);
}

TEST(ClrWrite, FilesGetTheClrExtension)
{
    TempFolder tmp;
    EXPECT_EQ(Clr::clrPath("/a/b/night.txt"), "/a/b/night.clr");
    EXPECT_EQ(Clr::clrPath("/a/b.c/night"), "/a/b.c/night.clr");
    EXPECT_EQ(Clr::clrPath("/a/b/NIGHT.CLR"), "/a/b/NIGHT.CLR"); // the device's own file, not a second one
    ASSERT_EQ(Clr::writeFile(tmp.file("day.bak"), Clr::newRows()), QString());
    EXPECT_EQ(readAll(tmp.file("day.clr")).count("000,000,000 // "), 71);
    EXPECT_FALSE(QFile::exists(tmp.file("day.bak")));
    EXPECT_NE(Clr::writeFile(tmp.file("no/such/folder/x.clr"), Clr::newRows()), QString());
}

TEST(ClrPreviewPicture, EveryEntryIsDrawnAndTakesTheSchemesColour)
{
    const QImage base = ClrPreview::builtIn();
    ASSERT_EQ(base.size(), QSize(300, 600));
    ASSERT_EQ(base.format(), QImage::Format_Indexed8);
    EXPECT_EQ(base.colorCount(), 72);
    QMap<int, int> count;
    for (int y = 0; y < base.height(); ++y)
        for (int x = 0; x < base.width(); ++x)
            ++count[base.pixelIndex(x, y)];
    for (int k = 0; k < Clr::EntryCount; ++k)
        EXPECT_GE(count.value(k), 8) << "entry " << k + 1 << " is hardly visible";
    EXPECT_EQ(count.lastKey(), Clr::EntryCount - 1);

    // Each entry's pixels show the scheme's colour for it.
    std::vector<quint32> colors;
    for (int k = 1; k <= Clr::EntryCount; ++k)
        colors.push_back(quint32(k) | (quint32(255 - k) << 8) | (quint32(k * 3) << 16));
    QImage picture = base;
    ASSERT_EQ(ClrPreview::apply(picture, colors), ClrPreview::Outcome::Applied);
    EXPECT_EQ(picture.pixel(0, 599 - 40), picture.color(ClrPreview::builtIn().pixelIndex(0, 559)));
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 300; x += 5) {
            const int k = base.pixelIndex(x, y) + 1;
            ASSERT_EQ(picture.pixel(x, y), qRgb(k, 255 - k, k * 3)) << x << "," << y;
        }
    EXPECT_EQ(picture.pixel(150, 590), qRgb(60, 195, 180)); // the status panel's background
}

TEST(ClrPreviewPicture, TooManyEntriesAndPicturesWithoutColourTable)
{
    QImage picture = ClrPreview::builtIn();
    const QImage before = picture;
    EXPECT_EQ(ClrPreview::apply(picture, std::vector<quint32>(300, 0xFF)), ClrPreview::Outcome::TooManyEntries);
    EXPECT_EQ(picture.colorTable(), before.colorTable());
    // Fewer entries change only the first ones.
    ASSERT_EQ(ClrPreview::apply(picture, {0x0000FF}), ClrPreview::Outcome::Applied);
    EXPECT_EQ(picture.color(0), qRgb(255, 0, 0));
    EXPECT_EQ(picture.color(1), before.color(1));
    QImage rgb = before.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(ClrPreview::apply(rgb, {0x0000FF}), ClrPreview::Outcome::NoColorTable);

    // A replacement picture in the data folder takes the built-in one's place.
    TempFolder tmp;
    EXPECT_EQ(ClrPreview::load(tmp.path()).size(), QSize(300, 600));
    QImage own(10, 20, QImage::Format_Indexed8);
    own.setColorTable({qRgb(1, 2, 3)});
    own.fill(0);
    ASSERT_TRUE(own.save(tmp.file("schem.bmp")));
    EXPECT_EQ(ClrPreview::load(tmp.path()).size(), QSize(10, 20));
}

TEST(ClrCli, DumpSaveAndPreview)
{
    TempFolder tmp;
    const QString in = tmp.write("in.clr", "; mine\n255,0,0 // red\n$FF,$80,0\n0,0,255\n");
    CliRun r = runCli({"clr", "dump", in});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1\t$000000FF\n2\t$000080FF\n3\t$00FF0000\n");

    r = runCli({"clr", "save", in, tmp.file("out.txt")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, (tmp.file("out.clr") + "\n").toUtf8());
    EXPECT_EQ(readAll(tmp.file("out.clr")),
              "255,000,000 // background\r\n255,128,000 // built-up area (city)\r\n000,000,255 // water solid\r\n");

    r = runCli({"clr", "preview", in, tmp.file("p.png")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QImage png(tmp.file("p.png"));
    ASSERT_EQ(png.size(), QSize(300, 600));
    const QImage base = ClrPreview::builtIn();
    for (const QPoint &p : {QPoint(5, 5), QPoint(150, 590), QPoint(250, 480), QPoint(290, 170)}) {
        const int entry = base.pixelIndex(p) + 1;
        const QRgb expected = entry == 1 ? qRgb(255, 0, 0) : entry == 2 ? qRgb(255, 128, 0)
                              : entry == 3 ? qRgb(0, 0, 255) : base.color(entry - 1);
        EXPECT_EQ(png.pixel(p), expected) << entry;
    }

    // A field that is no integer: a message, exit status 1, nothing on standard output.
    const QString bad = tmp.write("bad.clr", "1,2,3\r\n4,five,6\r\n");
    r = runCli({"clr", "dump", bad});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("'five' is not a valid integer value")) << r.err.toStdString();
    r = runCli({"clr", "dump", tmp.file("none.clr")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("none.clr")) << r.err.toStdString();

    QByteArray many;
    for (int k = 0; k < 300; ++k)
        many += "1,2,3\r\n";
    r = runCli({"clr", "preview", tmp.write("many.clr", many), tmp.file("m.png")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(QFile::exists(tmp.file("m.png")));
    EXPECT_EQ(runCli({"clr", "preview", in, tmp.file("p.bmp")}).code, 2);
}
