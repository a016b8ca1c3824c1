// SPDX-License-Identifier: GPL-3.0-or-later
// A POI list of 1,000,000 rows in the grid, as the POI editor shows it (numbers,
// AutoSize, an undo stack): sorting by the name and by a coordinate, and the undo of
// a cut of 100,000 rows. The resident size before and after the cut's undo record
// shows what a step keeps. Offscreen platform; medians of five runs.
#include "bench/support/WidgetBenchMain.h"
#include "grid/RBGrids.h"

#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QUndoStack>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 1000000;

double residentMB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

struct Editor {
    TRBGrid grid;
    QUndoStack stack;
    Editor()
    {
        grid.resize(900, 700);
        grid.SetNumbers(true);
        grid.SetHeader(TRBParams{"LP", "Longitude", "Latitude", "Description", "Type/Level"});
        grid.SetEnableRowEdit(true);
        TRBParamsTable &t = grid.Table();
        t.SetRowCount(1);
        t.SetColCount(5);
        t.Reserve(kRows + 1);
        QRandomGenerator rng(7);
        const char *const words[] = {"Stacja", "Parking", "Źródło", "apteka", "Łąka", "bank", "Ósemka", "cafe"};
        for (int i = 0; i < kRows; ++i)
            t.AppendFields({QString(), QString::number(rng.bounded(-18000000, 18000000)),
                            QString::number(rng.bounded(-9000000, 9000000)),
                            QString::fromUtf8(words[rng.bounded(8)]) + QStringLiteral(" %1").arg(rng.bounded(100000)),
                            QStringLiteral("2/0")});
        grid.TableChanged();
        grid.SetAutoSize(true);
        grid.SetUndoStack(&stack);
        grid.show();
        QApplication::processEvents();
    }
};

Editor &editor()
{
    static Editor *e = new Editor;
    return *e;
}

void BM_SortByName(benchmark::State &state)
{
    Editor &e = editor();
    bool descending = false;
    for (auto _ : state) {
        e.grid.SortByColumn(3, descending);
        descending = !descending;
    }
    e.stack.clear();
}

void BM_SortByLongitude(benchmark::State &state)
{
    Editor &e = editor();
    bool descending = false;
    for (auto _ : state) {
        e.grid.SortByColumn(1, descending);
        descending = !descending;
    }
    e.stack.clear();
}

void BM_UndoOfACutOf100kRows(benchmark::State &state)
{
    Editor &e = editor();
    double keptMB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int r = 1; r < e.grid.RowCount(); r += 10)
            e.grid.MarkRow(r, RBFlags::RowMark);
        const double before = residentMB();
        e.grid.CutMarkedRows();
        keptMB = residentMB() - before;
        state.ResumeTiming();
        e.stack.undo();
        state.PauseTiming();
        e.grid.UnmarkAllRows(0xFF);
        e.stack.clear();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(e.grid.RowCount() - 1);
    state.counters["cut_step_MB"] = keptMB;
}

} // namespace

#define RUNS ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)
BENCHMARK(BM_SortByName) RUNS;
BENCHMARK(BM_SortByLongitude) RUNS;
BENCHMARK(BM_UndoOfACutOf100kRows) RUNS;

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
