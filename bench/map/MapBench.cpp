// SPDX-License-Identifier: GPL-3.0-or-later
// ShowGoogleAPI's path for a big POI list, measured in the real browser: the list in
// blocks, the page's typed arrays and grid index, the drawing per screen cell; a
// redraw after a pan and after a zoom; the host's share alone.
#include "core/RBParamsTable.h"
#include "map/GMaps.h"
#include "map/MapLists.h"
#include "tests/support/QuietShell.h"
#include "tests/map/PageScript.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// POIs spread over a country-sized box, as a national POI set lies.
const TRBParamsTable &pois(int n)
{
    static std::map<int, TRBParamsTable> made;
    auto it = made.find(n);
    if (it != made.end())
        return it->second;
    TRBParamsTable &t = made[n];
    t.SetColCount(5);
    t.Reserve(n + 1);
    t.AppendRow();
    quint32 seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int i = 0; i < n; ++i) {
        const int lon = 1400000 + int(next() % 1000000);
        const int lat = 4900000 + int(next() % 580000);
        t.AppendFields(QStringList{QString(), QString::number(lon), QString::number(lat),
                                   QStringLiteral("Stacja paliw %1").arg(i)});
    }
    return t;
}

struct MapWindow {
    QuietShell shell;
    std::unique_ptr<TGMaps> map;
    MapWindow()
    {
        // No tiles: the browser's work is ours alone.
        shell.settings().WriteString("GoogleAPI", "TileMap", "http://127.0.0.1:9/{z}/{x}/{y}.png");
        map = std::make_unique<TGMaps>(shell);
        map->setAttribute(Qt::WA_DeleteOnClose, false);
        map->isOnline = [] { return true; };
        map->resize(1280, 800);
        map->QWidget::show();
        map->GoogleAPI();
        map->WBWait();
    }
    // Sends n POIs and waits until the page has drawn them.
    void showDrawn(int n);
};

// The renderer's resident memory in MB, from /proc.
double rendererMb(TGMaps &m)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(m.page()->renderProcessPid()));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

// Polls until the page has drawn every point the list holds.
QVariantMap waitDrawn(TGMaps &m, int n)
{
    for (;;) {
        const QVariantMap d = js(m, QStringLiteral("drawPending || KX.poiCount() < %1 ? null : KX.drawn()").arg(n)).toMap();
        if (!d.isEmpty())
            return d;
    }
}

void MapWindow::showDrawn(int n)
{
    {
        TGMaps::Calls calls(*map);
        sendPoiList(pois(n), QString(), MapFraming{}, calls);
    }
    waitDrawn(*map, n);
}

void BM_ShowPoiList(benchmark::State &state)
{
    const int n = int(state.range(0));
    const TRBParamsTable &rows = pois(n);
    double heapMb = 0, rssMb = 0, hostMs = 0, blocksMs = 0, decodeMs = 0, indexMs = 0;
    int clusters = 0;
    for (auto _ : state) {
        MapWindow w;
        QElapsedTimer t;
        t.start();
        {
            TGMaps::Calls calls(*w.map);
            sendPoiList(rows, QString(), MapFraming{}, calls);
        }
        hostMs = t.nsecsElapsed() / 1e6;
        const QVariantMap drawn = waitDrawn(*w.map, n);
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
        const QVariantMap timing = js(*w.map, "KX.timing()").toMap();
        blocksMs = timing.value("blocks").toDouble();
        decodeMs = timing.value("decode").toDouble();
        indexMs = timing.value("index").toDouble();
        rssMb = rendererMb(*w.map);
        clusters = drawn.value("clusters").toInt();
        heapMb = js(*w.map, "performance.memory ? performance.memory.usedJSHeapSize / 1048576 : -1").toDouble();
    }
    state.counters["clusters"] = clusters;
    state.counters["heap_MB"] = heapMb;
    state.counters["renderer_MB"] = rssMb;
    state.counters["host_ms"] = hostMs;
    state.counters["page_blocks_ms"] = blocksMs;
    state.counters["page_index_ms"] = indexMs;
    state.counters["page_decode_ms"] = decodeMs;
}

void BM_RedrawAfterPan(benchmark::State &state)
{
    const int n = int(state.range(0));
    MapWindow w;
    w.showDrawn(n);
    double drawMs = 0, panMs = 0;
    int step = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const QVariantMap d = js(*w.map, QStringLiteral("var t0 = performance.now(); map.panBy([%1, 0], {animate: false}); var t1 = performance.now(); var d = KX.redraw(); d.pan = t1 - t0; d")
                                             .arg(++step % 2 ? 200 : -200))
                                  .toMap();
        panMs = d.value("pan").toDouble();
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
        drawMs = d.value("ms").toDouble();
    }
    state.counters["page_draw_ms"] = drawMs;
    state.counters["page_pan_ms"] = panMs;
}

// Zooms in and out by one step around the list's framing.
void BM_RedrawAfterZoom(benchmark::State &state)
{
    const int n = int(state.range(0));
    MapWindow w;
    w.showDrawn(n);
    double drawMs = 0, zoomMs = 0;
    int step = 0, clusters = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const QVariantMap d = js(*w.map, QStringLiteral("var t0 = performance.now(); map.setZoom(map.getZoom() + %1, {animate: false});"
                                                        " var t1 = performance.now(); var d = KX.redraw(); d.zoom = t1 - t0; d")
                                             .arg(++step % 2 ? 1 : -1))
                                  .toMap();
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
        drawMs = d.value("ms").toDouble();
        zoomMs = d.value("zoom").toDouble();
        clusters = std::max(clusters, d.value("clusters").toInt());
    }
    state.counters["page_draw_ms"] = drawMs;
    state.counters["page_zoom_ms"] = zoomMs;
    state.counters["clusters"] = clusters;
}

// The host's share: the scripts of the list built, as blocks or as calls, sent nowhere.
void BM_HostScripts(benchmark::State &state)
{
    struct Sink : IMapCalls {
        bool blocks = false;
        qsizetype chars = 0;
        void send(const QString &call) override { chars += call.size(); }
        bool takesBlocks() const override { return blocks; }
    } sink;
    sink.blocks = state.range(1) != 0;
    const TRBParamsTable &rows = pois(int(state.range(0)));
    for (auto _ : state)
        sendPoiList(rows, QString(), MapFraming{}, sink);
    state.counters["MB_of_script"] = double(sink.chars) * 2 / state.iterations() / 1048576;
}

// What any call costs: one empty script there and back.
void BM_ScriptRoundTrip(benchmark::State &state)
{
    MapWindow w;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        js(*w.map, QStringLiteral("1"));
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
    }
}

} // namespace

BENCHMARK(BM_ShowPoiList)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawAfterPan)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawAfterZoom)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_HostScripts)->Args({1000000, 1})->Args({1000000, 0})->Unit(benchmark::kMillisecond)
    ->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ScriptRoundTrip)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The heap figure needs the browser's precise memory info.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--enable-precise-memory-info");
    const QString home = workDir().path();
    qputenv("XDG_CONFIG_HOME", QDir(home).filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", QDir(home).filePath("data").toUtf8());
    qputenv("XDG_CACHE_HOME", QDir(home).filePath("cache").toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
