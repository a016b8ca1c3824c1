// SPDX-License-Identifier: GPL-3.0-or-later
// The POI editor at a million POIs. Points lie over Poland with one in twelve placed
// a few metres from an earlier one, so the duplicate search has work to mark.
//
//   BM_EditorOpen/N       a new window reads an N-POI file and is ready
//   BM_EditorSave/N       Save of that document (list and icon)
//   BM_Duplicates/N       the cell index, headless, MaxDistance 50
//   BM_DuplicatesGrid/N   the same on a square grid of N points 1 m apart: nearly
//                         every row is a duplicate of thousands of rows; row by row
//                         and (BM_DuplicatesGridShuffled) in random order
//   BM_EditorDuplicates/N the window's command: search and marking
//   BM_Pairwise/N         the pairwise loop (20,000 only: it is quadratic)
//   BM_GpsbabelPosition/N gpsbabel -x position,distance=50m on the same file (its own
//                         reading and writing included)
#include "grid/RBGrids.h"
#include "core/Duplicates.h"
#include "poi/Ov2Editor.h"
#include "poi/Ov2Writer.h"
#include "tests/support/QuietShell.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <memory>

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/korvix-poieditor-bench-XXXXXX"));
    return dir;
}

Ov2PointList makePoints(int n)
{
    QRandomGenerator rng{quint32(n) ^ 0x5eed};
    Ov2PointList list;
    list.reserve(size_t(n), qsizetype(n) * 20);
    std::vector<std::pair<qint32, qint32>> placed;
    placed.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        qint32 lon, lat;
        if (i > 100 && rng.bounded(12) == 0) {
            const auto &p = placed[rng.bounded(quint32(placed.size()))];
            lon = p.first + qint32(rng.bounded(41)) - 20; // within about 20 m
            lat = p.second + qint32(rng.bounded(41)) - 20;
        } else {
            lon = 1400000 + qint32(rng.bounded(1000000));
            lat = 4900000 + qint32(rng.bounded(600000));
        }
        placed.emplace_back(lon, lat);
        list.add(lon, lat, "POI " + QByteArray::number(i) + " ul. Testowa " + QByteArray::number(rng.bounded(200)));
    }
    return list;
}

const QString &fixture(int n)
{
    static std::map<int, QString> files;
    auto it = files.find(n);
    if (it == files.end()) {
        const QString path = workDir().filePath(QStringLiteral("p%1.ov2").arg(n));
        SaveOV2(path, makePoints(n));
        it = files.emplace(n, path).first;
    }
    return it->second;
}

std::vector<GeoDegrees> fixturePoints(int n)
{
    const Ov2PointList list = makePoints(n);
    std::vector<GeoDegrees> pts(1);
    pts.reserve(list.size() + 1);
    for (size_t i = 0; i < list.size(); ++i)
        pts.push_back({list[i].lon / 100000.0, list[i].lat / 100000.0});
    return pts;
}

void BM_EditorOpen(benchmark::State &state)
{
    const QString file = fixture(int(state.range(0)));
    QuietShell shell;
    for (auto _ : state) {
        auto w = std::make_unique<TOV2>(shell);
        if (!w->OpenOV2(file))
            state.SkipWithError("open failed");
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(w->gridRowCount());
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}

void BM_EditorSave(benchmark::State &state)
{
    const QString file = fixture(int(state.range(0)));
    const QString copy = workDir().filePath(QStringLiteral("save%1.ov2").arg(state.range(0)));
    QFile::remove(copy);
    QFile::copy(file, copy);
    QuietShell shell;
    TOV2 w(shell);
    w.OpenOV2(copy);
    for (auto _ : state) {
        w.NeedSave(TOV2::ListBit | TOV2::IconsBit);
        if (!w.SavePOI(copy))
            state.SkipWithError("save failed");
    }
}

// The headless search on the fixture's points, by the cell index or the pairwise loop.
template <auto Search>
void runSearch(benchmark::State &state)
{
    const auto pts = fixturePoints(int(state.range(0)));
    int found = 0;
    for (auto _ : state)
        found = Search(pts, 50, nullptr).duplicateCount;
    state.counters["duplicates"] = found;
}

void BM_Duplicates(benchmark::State &state)
{
    runSearch<findDuplicates>(state);
}

void runGrid(benchmark::State &state, bool shuffled)
{
    const int side = int(std::lround(std::sqrt(double(state.range(0)))));
    const double degLat = 1.0 / (6372795.0 * std::numbers::pi / 180);
    const double degLon = degLat / std::cos(50.0 * std::numbers::pi / 180);
    std::vector<GeoDegrees> pts(1);
    pts.reserve(size_t(side) * size_t(side) + 1);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pts.push_back({19.9 + x * degLon, 50.0 + y * degLat});
    if (shuffled)
        std::shuffle(pts.begin() + 1, pts.end(), std::mt19937(7));
    int found = 0;
    for (auto _ : state)
        found = findDuplicates(pts, 50, nullptr).duplicateCount;
    state.counters["duplicates"] = found;
}

void BM_DuplicatesGrid(benchmark::State &state)
{
    runGrid(state, false);
}

void BM_DuplicatesGridShuffled(benchmark::State &state)
{
    runGrid(state, true);
}

void BM_EditorDuplicates(benchmark::State &state)
{
    QuietShell shell;
    TOV2 w(shell);
    w.OpenOV2(fixture(int(state.range(0))));
    for (auto _ : state)
        w.findDuplicates(50);
}

void BM_Pairwise(benchmark::State &state)
{
    runSearch<findDuplicatesPairwise>(state);
}

void BM_GpsbabelPosition(benchmark::State &state)
{
    const QString file = fixture(int(state.range(0)));
    const QString out = workDir().filePath(QStringLiteral("gb%1.ov2").arg(state.range(0)));
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral("gpsbabel"), {"-i", "tomtom", "-f", file, "-x", "position,distance=50m", "-o",
                                             "tomtom", "-F", out});
        if (!p.waitForFinished(600000) || p.exitCode() != 0) {
            state.SkipWithError("gpsbabel failed");
            break;
        }
    }
}

} // namespace

BENCHMARK(BM_EditorOpen)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EditorSave)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Duplicates)->Arg(20000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DuplicatesGrid)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_DuplicatesGridShuffled)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_EditorDuplicates)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Pairwise)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);
// Its filter compares every pair: 100,000 points take minutes, a million would take hours.
BENCHMARK(BM_GpsbabelPosition)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and work files of the run stay out of the user's folders.
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
