// SPDX-License-Identifier: GPL-3.0-or-later
// A POI list sent to the page in blocks: the scripts themselves, then the page they
// leave, against the page the one-call-per-point path leaves, and the page's grid
// index against a visit of every point.
#include "core/Ov2Units.h"
#include "core/RBParamsTable.h"
#include "map/GMaps.h"
#include "map/MapLists.h"
#include "map/MapScript.h"
#include "tests/map/EditorShell.h"
#include "tests/map/PageScript.h"
#include "tests/support/TestSupport.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// The calls as they come; blocks only when asked for.
class Collected : public IMapCalls {
public:
    explicit Collected(bool blocks) : m_blocks(blocks) {}
    void send(const QString &call) override { calls << call; }
    bool takesBlocks() const override { return m_blocks; }
    QStringList calls;

private:
    bool m_blocks;
};

TRBParamsTable rowsOf(const QList<QStringList> &rows)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendRow();
    for (const QStringList &r : rows)
        t.AppendFields(QStringList{QString()} + r);
    return t;
}

void mark(TRBParamsTable &t, int row)
{
    for (int c = 1; c < t.ColCount(); ++c)
        t.SetFlags(c, row, t.Flags(c, row) | RBFlags::RowMark);
}

// Names a page must show as they are and never run.
const QStringList hostileNames = {
    QStringLiteral("O'Neil \"q\" </script><img src=x onerror=\"window.pwned=1\">"),
    QStringLiteral("back\\slash\nnew line\ttab\x01"),
    QString::fromUtf8("Zażółć gęślą jaźń \xf0\x9f\x9a\x97 \xe2\x80\xa8 sep"),
    QStringLiteral("a|b"),
    QString(),
    QStringLiteral("\");window.pwned=2;//"),
};

TRBParamsTable hostileList()
{
    QList<QStringList> rows;
    for (int i = 0; i < hostileNames.size(); ++i)
        rows << QStringList{QString::number(1993500 + 37 * i), QString::number(5006200 - 53 * i), hostileNames[i]};
    rows << QStringList{QStringLiteral("abc"), QStringLiteral("5010000"), QStringLiteral("no longitude")};
    rows << QStringList{QStringLiteral("-7412345"), QStringLiteral("-3398765"), QStringLiteral("south west")};
    return rowsOf(rows);
}

// The arguments of one WB_POIBlock call, read back as JSON.
QJsonArray blockArguments(const QString &call)
{
    EXPECT_TRUE(call.startsWith(QLatin1String("WB_POIBlock(")) && call.endsWith(QLatin1String(");"))) << call.left(40).toStdString();
    const QString inner = call.mid(12, call.size() - 14);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(('[' + inner + ']').toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return doc.array();
}

std::vector<qint32> int32s(const QJsonValue &base64)
{
    const QByteArray bytes = QByteArray::fromBase64(base64.toString().toLatin1());
    std::vector<qint32> out(size_t(bytes.size()) / sizeof(qint32));
    std::memcpy(out.data(), bytes.constData(), out.size() * sizeof(qint32));
    return out;
}

} // namespace

TEST(MapBlocks, BlocksCarryWhatTheCallsCarry)
{
    TRBParamsTable t = hostileList();
    Collected calls(false), blocks(true);
    sendPoiList(t, QStringLiteral("image001.bmp"), MapFraming{}, calls);
    sendPoiList(t, QStringLiteral("image001.bmp"), MapFraming{}, blocks, nullptr, 3);
    const int n = t.RowCount() - 1;
    // Icon, blocks of 3, 3 and 2 points, then the same refresh and bounds.
    ASSERT_EQ(blocks.calls.size(), calls.calls.size() - n + 3);
    EXPECT_EQ(blocks.calls.first(), calls.calls.first());
    EXPECT_EQ(blocks.calls.mid(4), calls.calls.mid(1 + n));

    int row = 0;
    for (int b = 1; b <= 3; ++b) {
        const QJsonArray args = blockArguments(blocks.calls[b]);
        ASSERT_EQ(args.size(), 3);
        const std::vector<qint32> coords = int32s(args[0]), ends = int32s(args[2]);
        const QString names = args[1].toString();
        ASSERT_EQ(coords.size(), 2 * ends.size());
        ASSERT_EQ(ends.size(), b < 3 ? 3u : 2u);
        EXPECT_EQ(ends.back(), names.size());
        for (size_t k = 0; k < ends.size(); ++k, ++row) {
            // What the call of the same row says, built from the block's values.
            const QString name = names.mid(k ? ends[k - 1] : 0, ends[k] - (k ? ends[k - 1] : 0));
            EXPECT_EQ(MapScript::poi(formatOv2Degrees(coords[2 * k]), formatOv2Degrees(coords[2 * k + 1]), name),
                      calls.calls[1 + row]);
        }
    }
    EXPECT_EQ(row, n);

    // Marked rows only, as the calls do.
    mark(t, 2);
    mark(t, 5);
    Collected marked(true);
    sendPoiList(t, QString(), MapFraming{}, marked);
    ASSERT_EQ(marked.calls.size(), 3);
    const QJsonArray args = blockArguments(marked.calls[0]);
    EXPECT_EQ(args[1].toString(), hostileNames[1] + hostileNames[4]);
    EXPECT_EQ(marked.calls[1], MapScript::refresh());
}

namespace {

struct Window {
    EditorShell shell;
    std::unique_ptr<TGMaps> map;
    Window()
    {
        // No tiles: nothing here needs them.
        shell.settings().WriteString("GoogleAPI", "TileMap", "http://127.0.0.1:9/{z}/{x}/{y}.png");
        map = std::make_unique<TGMaps>(shell);
        map->setAttribute(Qt::WA_DeleteOnClose, false);
        map->isOnline = [] { return true; };
        map->resize(800, 600);
        map->QWidget::show();
        map->GoogleAPI();
        EXPECT_TRUE(map->WBWait());
    }
    QVariant js(const QString &s) { return ::js(*map, s); }
    // What the page holds and shows.
    QVariantMap state()
    {
        js("KX.redraw()");
        QVariantMap s;
        s["pois"] = js("KX.pois()");
        s["drawn"] = js("var d = KX.drawn(); [d.markers, d.clusters, d.points]");
        QStringList titles = js("KX.titles()").toStringList();
        titles.sort();
        s["titles"] = titles;
        s["view"] = js("KX.view()");
        return s;
    }
};

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TEST(MapBlocks, ThePageEndsAsTheCallsLeaveIt)
{
    TRBParamsTable t = hostileList();
    Window byCalls, byBlocks;
    {
        // The calls one by one, as korvix-cli prints them.
        Collected calls(false);
        sendPoiList(t, QStringLiteral("image001.bmp"), MapFraming{}, calls);
        byCalls.map->runScript(calls.calls.join(u'\n'));
        TGMaps::Calls blocks(*byBlocks.map);
        sendPoiList(t, QStringLiteral("image001.bmp"), MapFraming{}, blocks, nullptr, 3);
    }
    const QVariantMap a = byCalls.state(), b = byBlocks.state();
    EXPECT_EQ(a, b);
    const QVariantList pois = b.value("pois").toList();
    ASSERT_EQ(pois.size(), t.RowCount() - 1);
    for (int i = 0; i < hostileNames.size(); ++i) {
        const QVariantList p = pois[i].toList();
        EXPECT_EQ(p.value(3).toString(), QString(hostileNames[i]).replace(u'|', u' '));
        // The list's own icon, the one WB_Icon added.
        EXPECT_EQ(p.value(2).toInt(), 1);
    }
    EXPECT_EQ(pois[hostileNames.size()].toList().value(1).toDouble(), 0.0);
    EXPECT_EQ(pois.last().toList().value(0).toDouble(), -33.98765);
    EXPECT_EQ(pois.last().toList().value(1).toDouble(), -74.12345);

    // Marked rows only: the same again.
    mark(t, 1);
    mark(t, 3);
    Window markedCalls, markedBlocks;
    {
        Collected calls(false);
        sendPoiList(t, QString(), MapFraming{}, calls);
        markedCalls.map->runScript(calls.calls.join(u'\n'));
        TGMaps::Calls blocks(*markedBlocks.map);
        sendPoiList(t, QString(), MapFraming{}, blocks);
    }
    const QVariantMap c = markedCalls.state(), d = markedBlocks.state();
    EXPECT_EQ(c, d);
    EXPECT_EQ(d.value("pois").toList().size(), 2);

    // A block point's window shows its name as text; nothing ran.
    byBlocks.js("map.setView([50.062, 19.935], 19, {animate: false}); KX.redraw()");
    EXPECT_TRUE(byBlocks.js("KX.openPoi(0)").toBool());
    EXPECT_TRUE(byBlocks.js("KX.popupText()").toString().contains(hostileNames[0]));
    settle(500);
    EXPECT_EQ(byBlocks.js("typeof window.pwned").toString(), "undefined");
    EXPECT_EQ(byBlocks.js("document.querySelectorAll('img[src=x]').length").toInt(), 0);
}

TEST(MapBlocks, TheIndexClustersAsAVisitOfEveryPoint)
{
    // Points in a dense town, a sparse country and a few far away, some on one spot.
    QList<QStringList> rows;
    quint32 seed = 7;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int i = 0; i < 20000; ++i) {
        const bool town = i % 4 != 0;
        const int lon = town ? 1993000 + int(next() % 2000) : 1400000 + int(next() % 1000000);
        const int lat = town ? 5006000 + int(next() % 1500) : 4900000 + int(next() % 580000);
        rows << QStringList{QString::number(lon), QString::number(lat), QStringLiteral("p%1").arg(i)};
    }
    for (int i = 0; i < 5; ++i)
        rows << QStringList{QStringLiteral("-12345678"), QStringLiteral("-3456789"), QStringLiteral("same spot")};
    Window w;
    {
        TGMaps::Calls blocks(*w.map);
        sendPoiList(rowsOf(rows), QString(), MapFraming{}, blocks, nullptr, 4096);
    }
    ASSERT_EQ(w.js("KX.poiCount()").toInt(), rows.size());
    // From the whole world down past the index's finest cells, on the town and afar.
    const struct {
        double lat, lng;
        int zoom;
    } views[] = {{20, 0, 1}, {52, 17, 5}, {50.07, 19.94, 9}, {50.07, 19.94, 13}, {50.07, 19.94, 15},
                 {50.0675, 19.9385, 17}, {50.0675, 19.9385, 19}, {-34.56789, -123.45678, 16}};
    int clustered = 0;
    for (const auto &v : views) {
        const QVariantMap d = w.js(QStringLiteral("map.setView([%1, %2], %3, {animate: false}); KX.redraw()")
                                       .arg(v.lat).arg(v.lng).arg(v.zoom))
                                  .toMap();
        const QVariantMap cells = w.js("KX.cells()").toMap(), visited = w.js("KX.cellsByVisit()").toMap();
        EXPECT_EQ(cells, visited) << "zoom " << v.zoom;
        int points = 0;
        for (const QVariant &n : cells)
            points += n.toInt();
        EXPECT_EQ(d.value("points").toInt(), points);
        EXPECT_EQ(d.value("clusters").toInt() + d.value("markers").toInt(), cells.size());
        clustered += d.value("clusters").toInt();
    }
    EXPECT_GT(clustered, 0);
    // The five on one spot stay one cluster at the deepest zoom.
    EXPECT_EQ(w.js("KX.clusters().map(function (c) { return c[2]; }).join()").toString(), "5");

    // A removed point leaves the index too.
    w.js("map.setView([50.0675, 19.9385], 12, {animate: false}); KX.redraw()");
    const int before = w.js("KX.drawn().points").toInt();
    w.js("removePoi(1)");
    EXPECT_EQ(w.js("KX.redraw().points").toInt(), before - 1);
    EXPECT_EQ(w.js("KX.cells()").toMap(), w.js("KX.cellsByVisit()").toMap());
}

TEST(MapBlocks, AClickOnAClusterZoomsInOnIt)
{
    Window w;
    w.js("for (var i = 0; i < 50; i++) WB_POI(50 + i * 1e-5, 19 + i * 1e-5, 'p' + i, false);"
         "WB_POIRefresh(); map.setView([50, 19], 10, {animate: false}); KX.redraw();");
    const QVariantList c = w.js("KX.clusters()").toList();
    ASSERT_EQ(c.size(), 1);
    const QVariantList at = c[0].toList();
    EXPECT_EQ(at.value(2).toInt(), 50);
    // A click as the browser delivers it, where the cluster is drawn.
    w.js(QStringLiteral("var r = map.getContainer().getBoundingClientRect();"
                        "map.getContainer().dispatchEvent(new MouseEvent('click', {bubbles: true, clientX: r.left + %1,"
                        " clientY: r.top + %2}));")
             .arg(at.value(0).toDouble() + 5)
             .arg(at.value(1).toDouble() - 5));
    EXPECT_TRUE(waitFor([&] { return w.js("map.getZoom()").toInt() == 12; }));
    EXPECT_FALSE(w.js("KX.clickedShown()").toBool()) << "a click on a cluster sets no position";
    // Elsewhere a click sets the clicked position as before.
    w.js("var r = map.getContainer().getBoundingClientRect();"
         "map.getContainer().dispatchEvent(new MouseEvent('click', {bubbles: true, clientX: r.left + 20, clientY: r.top + 20}));");
    EXPECT_TRUE(w.js("KX.clickedShown()").toBool());
}
