// SPDX-License-Identifier: GPL-3.0-or-later
// The layers' readers on what is not a layer file: a FIFO nobody writes, an endless
// device, and XML made to exhaust the parser. Each is refused at once with the file
// and the reason, through the real korvix-cli and through the readers the windows use.
#include "map/LayerFeeds.h"
#include "map/LayerRoads.h"
#include "map/RasterLayer.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class Collected : public IMapCalls {
public:
    void send(const QString &call) override { calls << call; }
    QStringList calls;
};

QByteArray manyAttributes(const QByteArray &element, int count)
{
    QByteArray e = "<" + element;
    for (int i = 0; i < count; ++i)
        e += " a" + QByteArray::number(i) + "=\"1\"";
    return e + "/>";
}

QByteArray deep(const QByteArray &root, int depth)
{
    return "<" + root + ">" + QByteArray("<g>").repeated(depth) + QByteArray("</g>").repeated(depth) + "</" + root + ">";
}

QString thrown(const std::function<void()> &act)
{
    try {
        act();
    } catch (const KorvixError &e) {
        return e.message();
    }
    return QString();
}

const char *const kinds[] = {"svg", "tripmaster", "krakow", "zakopane", "raster"};

} // namespace

TEST(LayerHostile, AFifoAndAnEndlessDeviceAreRefusedByEveryLayerCommand)
{
    TempFolder tmp;
    const QString fifo = tmp.file("layer.fifo");
    ASSERT_TRUE(makeFifo(fifo));
    const QString zero = tmp.file("zero.svg");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    for (const char *kind : kinds) {
        for (const QString &path : {fifo, zero, QStringLiteral("/dev/zero")}) {
            FifoGuard guard({fifo});
            const CliRun run = runCli({"map", "layer", kind, path});
            guard.stop();
            EXPECT_FALSE(guard.hadToRelease()) << kind << " waited on the FIFO";
            EXPECT_EQ(run.code, 1) << kind << ' ' << path.toStdString();
            EXPECT_EQ(run.out, "") << kind;
            EXPECT_EQ(run.err, ("Not a regular file: " + path + "\n").toUtf8()) << kind;
        }
    }
}

TEST(LayerHostile, TheWindowsReadersRefuseAFifoAndADevice)
{
    TempFolder tmp;
    const QString fifo = tmp.file("o.sat");
    ASSERT_TRUE(makeFifo(fifo));
    FifoGuard guard({fifo});
    EXPECT_EQ(thrown([&] { RasterLayer::readSat(fifo, DeviceCodec()); }), "Not a regular file: " + fifo);
    EXPECT_EQ(thrown([&] { RasterLayer::readSat(QStringLiteral("/dev/zero"), DeviceCodec()); }),
              QStringLiteral("Not a regular file: /dev/zero"));
    // The overlay's picture is a FIFO: the copy fails instead of waiting.
    const QString sat = tmp.write("p.sat", "pic.jpg\r\n19\r\n50\r\n20\r\n49\r\n");
    ASSERT_TRUE(makeFifo(tmp.file("pic.jpg")));
    FifoGuard pictureGuard({tmp.file("pic.jpg")});
    const SatFile read = RasterLayer::readSat(sat, DeviceCodec());
    EXPECT_FALSE(RasterLayer::copyPicture(read, tmp.file("copy")));
    pictureGuard.stop();
    guard.stop();
    EXPECT_FALSE(guard.hadToRelease());
    EXPECT_FALSE(pictureGuard.hadToRelease());
}

TEST(LayerHostile, HostileXmlIsRefusedWithTheFileAndTheReason)
{
    TempFolder tmp;
    const struct {
        const char *kind, *root, *prefix;
    } layers[] = {
        {"svg", "svg", "The SVG map can't be read: "},
        {"krakow", "data", "The answer is not XML: "},
        {"zakopane", "dane", "The answer is not XML: "},
    };
    for (const auto &l : layers) {
        const QByteArray root = l.root;
        const struct {
            QByteArray body;
            const char *reason;
        } cases[] = {
            // Minutes for the parser (the square of the count), refused by the scan.
            {"<" + root + ">" + manyAttributes("marker", 200000) + "</" + root + ">",
             "an element has more than 1000 attributes"},
            {deep(root, 150000), "the elements nest deeper than 256 levels"},
            {"<!DOCTYPE " + root + " [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><" + root + ">&x;</" + root + ">",
             "entity declarations are not accepted"},
        };
        for (const auto &c : cases) {
            const QString path = tmp.write(QStringLiteral("hostile.%1").arg(l.kind), c.body);
            const CliRun run = runCli({"map", "layer", l.kind, path});
            EXPECT_EQ(run.code, 1) << l.kind << ' ' << c.reason;
            EXPECT_EQ(run.out, "") << l.kind << ' ' << c.reason;
            EXPECT_EQ(run.err, (path + ": " + l.prefix + c.reason + '\n').toUtf8()) << l.kind;
        }
    }
}

TEST(LayerHostile, TheLayerReadersStreamAndRefuseBeforeSendingAnything)
{
    Collected out;
    // The road network keeps its groups' meaning when read as a stream: only direct
    // children count, and a "text" label takes all the text inside it.
    const QByteArray svg = "<doc><svg>"
                           "<g id=\"autostrady\"><polyline points=\"0,0\n7,11\"/><g><polyline points=\"1,1 2,2\"/></g></g>"
                           "<g id=\"pik\"><g transform=\"translate(7, 11)\"><text>km <tspan>30</tspan></text><text>x</text></g></g>"
                           "<g id=\"Polska\"><polygon points=\"0,0\"/></g>"
                           "</svg><svg><g id=\"Polska\"><polygon points=\"0,0\"/></g></svg></doc>";
    LayerRoads::send(svg, out);
    EXPECT_EQ(out.calls, (QStringList{"WB_Poliline_clr();", "WB_Poliline_add(55.7,13.343);", "WB_Poliline_add(54.7,14.343);",
                                      "WB_Poliline(\"#ff0000\",2);", "WB_POI(54.7,14.343,\"km 30\",false);",
                                      "WB_Poliline_clr();", "WB_Poliline_add(55.7,13.343);", "WB_Poliline(\"#00ff00\",6);"}));

    // A broken end sends nothing of the start.
    out.calls.clear();
    EXPECT_TRUE(thrown([&] { LayerRoads::send("<svg><g id=\"Polska\"><polygon points=\"0,0\"/></g><g>", out); })
                    .startsWith("The SVG map can't be read: "));
    EXPECT_TRUE(thrown([&] { LayerFeeds::sendZakopane("<dane><marker lat=\"49.3\" lon=\"19.9\"/><x>", out); })
                    .startsWith("The answer is not XML: "));
    EXPECT_EQ(thrown([&] { LayerFeeds::sendKrakow("<data>" + manyAttributes("marker", 5000) + "</data>", "h", out); }),
              "The answer is not XML: an element has more than 1000 attributes");
    EXPECT_TRUE(out.calls.isEmpty()) << out.calls.join('\n').toStdString();
}
