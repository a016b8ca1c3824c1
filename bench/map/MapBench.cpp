// SPDX-License-Identifier: GPL-3.0-or-later
// ShowGoogleAPI's path for a big POI list, measured in the real browser: the calls
// joined into scripts, the page's typed arrays and the drawing per screen cell.
#include "core/RBParamsTable.h"
#include "map/GMaps.h"
#include "map/MapLists.h"
#include "tests/support/QuietShell.h"
#include "tests/map/PageScript.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
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
};

// Polls until the page has drawn every point the list holds.
QVariantMap waitDrawn(TGMaps &m, int n)
{
    for (;;) {
        const QVariantMap d = js(m, QStringLiteral("drawPending || KX.poiCount() < %1 ? null : KX.drawn()").arg(n)).toMap();
        if (!d.isEmpty())
            return d;
    }
}

void BM_ShowPoiList(benchmark::State &state)
{
    const int n = int(state.range(0));
    const TRBParamsTable &rows = pois(n);
    double heapMb = 0;
    int clusters = 0;
    for (auto _ : state) {
        MapWindow w;
        QElapsedTimer t;
        t.start();
        {
            TGMaps::Calls calls(*w.map);
            sendPoiList(rows, QString(), MapFraming{}, calls);
        }
        const QVariantMap drawn = waitDrawn(*w.map, n);
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
        clusters = drawn.value("clusters").toInt();
        heapMb = js(*w.map, "performance.memory ? performance.memory.usedJSHeapSize / 1048576 : -1").toDouble();
    }
    state.counters["clusters"] = clusters;
    state.counters["heap_MB"] = heapMb;
}

void BM_RedrawAfterPan(benchmark::State &state)
{
    const int n = int(state.range(0));
    MapWindow w;
    {
        TGMaps::Calls calls(*w.map);
        sendPoiList(pois(n), QString(), MapFraming{}, calls);
    }
    waitDrawn(*w.map, n);
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
