// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli map show, run as the real program; outputs compared whole.
#include "map/MapIcon.h"
#include "platform/Settings.h"
#include "poi/Ov2Editor.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QByteArray le32(qint32 v)
{
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = char((quint32(v) >> (8 * i)) & 0xFF);
    return b;
}

QByteArray ov2Poi(qint32 lon, qint32 lat, const QByteArray &text)
{
    return QByteArray(1, 2) + le32(text.size() + 14) + le32(lon) + le32(lat) + text + QByteArray(1, 0);
}

QString iconFile(const QString &name)
{
    return MapFiles::folder() + name;
}

// Settings as the map stored them; empty removes nothing, it writes empty texts.
void frame(const QString &view, const QString &home)
{
    KorvixSettings s;
    s.WriteString(QStringLiteral("GoogleAPI"), QStringLiteral("InitialView"), view);
    s.WriteString(QStringLiteral("GoogleAPI"), QStringLiteral("Home"), home);
}

} // namespace

TEST(MapCli, Ov2ListWithItsIconHomeAndMarkedRows)
{
    TempFolder tmp;
    frame(QStringLiteral("50.0,19.8,50.1,20.0"), QStringLiteral("50.061000,19.937000,\"Dom, Pod Różą\""));
    // Device bytes: 0xF3 is ó in the device code page.
    const QString path = tmp.write("Rynek.ov2", ov2Poi(1993500, 5006200, "Rynek \"G\xB3\xF3wny\"") +
                                                    ov2Poi(1993600, 5006300, "O'Neil </script>\n") +
                                                    ov2Poi(1993700, 5006400, "back\\slash"));
    QImage red(22, 22, QImage::Format_RGB888);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(tmp.file("RYNEK.BMP"), "BMP"));
    QFile::remove(iconFile("image000.bmp"));

    const CliRun all = runCli({"map", "show", path});
    ASSERT_EQ(all.code, 0) << all.err.constData();
    EXPECT_EQ(all.err, "");
    EXPECT_EQ(QString::fromUtf8(all.out),
              QString::fromUtf16(u"WB_Icon(\"image000.bmp\");\n"
              u"WB_POI(50.06200,19.93500,\"Rynek \\\"Główny\\\"\",false);\n"
              u"WB_POI(50.06300,19.93600,\"O'Neil </script>\\n\",false);\n"
              u"WB_POI(50.06400,19.93700,\"back\\\\slash\",false);\n"
              u"WB_POIRefresh();\n"
              u"WB_Bounds(50.06200000,19.93700000,50.06400000,19.93500000);\n"
              u"WB_Home(50.061000,19.937000,\"Dom, Pod Różą\");\n"));

    // The icon: the list's own, stretched inside a navy frame.
    const QImage written(iconFile("image000.bmp"));
    ASSERT_EQ(written.size(), QSize(22, 22));
    EXPECT_EQ(written.pixelColor(0, 0), QColor(0, 0, 128));
    EXPECT_EQ(written.pixelColor(21, 11), QColor(0, 0, 128));
    EXPECT_EQ(written.pixelColor(11, 21), QColor(0, 0, 128));
    EXPECT_EQ(written.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(written.pixelColor(20, 20), QColor(Qt::red));

    const CliRun marked = runCli({"map", "show", "--marked", "3,1", path});
    ASSERT_EQ(marked.code, 0) << marked.err.constData();
    EXPECT_EQ(QString::fromUtf8(marked.out),
              QString::fromUtf16(u"WB_Icon(\"image000.bmp\");\n"
              u"WB_POI(50.06200,19.93500,\"Rynek \\\"Główny\\\"\",false);\n"
              u"WB_POI(50.06400,19.93700,\"back\\\\slash\",false);\n"
              u"WB_POIRefresh();\n"
              u"WB_Bounds(50.06200000,19.93700000,50.06400000,19.93500000);\n"
              u"WB_Home(50.061000,19.937000,\"Dom, Pod Różą\");\n"));
    // The option may follow the file, as people type it.
    const CliRun after = runCli({"map", "show", path, "--marked", "3,1"});
    EXPECT_EQ(after.code, 0) << after.err.constData();
    EXPECT_EQ(after.out, marked.out);
    EXPECT_EQ(runCli({"map", "show", path, "--marked"}).code, 2);
}

TEST(MapCli, Ov2WithoutIconGetsTheEditorsPin)
{
    TempFolder tmp;
    frame(QString(), QString());
    const QString path = tmp.write("plain.ov2", ov2Poi(-1, -2, "x"));
    QFile::remove(iconFile("image000.bmp"));
    const CliRun r = runCli({"map", "show", path});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    EXPECT_EQ(r.out, "WB_Icon(\"image000.bmp\");\n"
                     "WB_POI(-0.00002,-0.00001,\"x\",false);\n"
                     "WB_POIRefresh();\n"
                     "WB_Bounds(-0.00002000,-0.00001000,-0.00002000,-0.00001000);\n");
    const QImage expected = MapFiles::framedIcon(TOV2::defaultIcon());
    EXPECT_EQ(QImage(iconFile("image000.bmp")).convertToFormat(QImage::Format_RGB888), expected);
}

TEST(MapCli, AnIconThatIsAFifoOrADeviceGivesTheEditorsPinAtOnce)
{
    TempFolder tmp;
    frame(QString(), QString());
    const QImage expected = MapFiles::framedIcon(TOV2::defaultIcon());
    for (const char *name : {"fifo", "zero"}) {
        const QString path = tmp.write(QStringLiteral("%1.ov2").arg(QLatin1String(name)), ov2Poi(-1, -2, "x"));
        const QString bmp = tmp.file(QStringLiteral("%1.bmp").arg(QLatin1String(name)));
        if (QByteArray(name) == "fifo")
            ASSERT_TRUE(makeFifo(bmp));
        else
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), bmp));
        QFile::remove(iconFile("image000.bmp"));
        FifoGuard guard({bmp});
        const CliRun r = runCli({"map", "show", path});
        guard.stop();
        EXPECT_FALSE(guard.hadToRelease()) << name;
        ASSERT_EQ(r.code, 0) << r.err.constData();
        EXPECT_EQ(QImage(iconFile("image000.bmp")).convertToFormat(QImage::Format_RGB888), expected) << name;
    }
}

TEST(MapCli, ItineraryAndTheSavedView)
{
    TempFolder tmp;
    frame(QStringLiteral("50.0,19.8,50.1,20.0"), QString());
    const QString path = tmp.write("trip.itn", "1993500|5006200|Start|4|\r\n"
                                               "x|y|O'Neil \\ back|0|\r\n"
                                               "2000000|5010000|Meta|2|\r\n");
    const CliRun r = runCli({"map", "show", path});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    EXPECT_EQ(r.out, "WB_WP(50.06200,19.93500,\"Start\");\n"
                     "WB_WP(0.00000,0.00000,\"O'Neil \\\\ back\");\n"
                     "WB_WP(50.10000,20.00000,\"Meta\");\n"
                     "WB_Bounds(50.06200000,20.00000000,50.10000000,19.93500000);\n");

    const CliRun middle = runCli({"map", "show", "--marked", "2", path});
    EXPECT_EQ(middle.out, "WB_WP(0.00000,0.00000,\"O'Neil \\\\ back\");\n"
                          "WB_Bounds(50.0,19.8,50.1,20.0);\n");

    // An empty itinerary shows as the editor shows it: one empty row, the saved view.
    const CliRun empty = runCli({"map", "show", tmp.write("empty.itn")});
    EXPECT_EQ(empty.out, "WB_WP(0.00000,0.00000,\"\");\n"
                         "WB_Bounds(50.0,19.8,50.1,20.0);\n");
}

TEST(MapCli, FilesThatDoNotOpenAndWrongArguments)
{
    TempFolder tmp;
    const QString missing = tmp.file("none.ov2");
    const CliRun m = runCli({"map", "show", missing});
    EXPECT_EQ(m.code, 1);
    EXPECT_EQ(m.out, "");
    EXPECT_EQ(m.err, missing.toUtf8() + ": Can't open OV2 file: No such file or directory\n");

    const QString broken = tmp.write("bad.ov2", ov2Poi(1, 2, "a") + QByteArray("\x0B" "zz"));
    const CliRun b = runCli({"map", "show", broken});
    EXPECT_EQ(b.code, 1);
    EXPECT_EQ(b.out, "");
    EXPECT_TRUE(b.err.startsWith(broken.toUtf8() + ": ")) << b.err.constData();

    const QString noItn = tmp.file("none.itn");
    const CliRun i = runCli({"map", "show", noItn});
    EXPECT_EQ(i.code, 1);
    EXPECT_EQ(i.out, "");
    EXPECT_TRUE(i.err.startsWith(noItn.toUtf8() + ": ")) << i.err.constData();

    const QString one = tmp.write("one.itn", "1|2|a|0|\r\n");
    const CliRun beyond = runCli({"map", "show", "--marked", "2", one});
    EXPECT_EQ(beyond.code, 1);
    EXPECT_EQ(beyond.out, "");
    EXPECT_EQ(beyond.err, one.toUtf8() + ": There is no row 2\n");

    EXPECT_EQ(runCli({"map", "show", "--marked", "0", one}).code, 2);
    EXPECT_EQ(runCli({"map", "show", "--marked", "a,2", one}).code, 2);
    EXPECT_EQ(runCli({"map", "show", tmp.write("x.txt", "1|2|a|0|")}).code, 2);
    EXPECT_EQ(runCli({"map", "show"}).code, 2);
    EXPECT_EQ(runCli({"map"}).code, 2);
}

TEST(MapCli, AFifoOrAnEndlessDeviceIsNoListNotEvenAnEmptyOne)
{
    TempFolder tmp;
    for (const char *ending : {"ov2", "itn"}) {
        const QString fifo = tmp.file(QStringLiteral("list.%1").arg(QLatin1String(ending)));
        ASSERT_TRUE(makeFifo(fifo));
        const QString zero = tmp.file(QStringLiteral("zero.%1").arg(QLatin1String(ending)));
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
        for (const QString &path : {fifo, zero}) {
            FifoGuard guard({fifo});
            const CliRun run = runCli({"map", "show", path});
            guard.stop();
            EXPECT_FALSE(guard.hadToRelease()) << ending;
            EXPECT_EQ(run.code, 1) << ending;
            EXPECT_EQ(run.out, "") << ending;
            EXPECT_EQ(run.err, ("Not a regular file: " + path + "\n").toUtf8()) << ending;
        }
    }
}
