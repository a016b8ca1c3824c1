// SPDX-License-Identifier: GPL-3.0-or-later
// A grid of 1,000,000 rows x 5 columns: fill, AutoSize, scroll, mark, copy, paste.
// Run on the offscreen platform; memory figures are the process's resident size.

#include "bench/support/WidgetBenchMain.h"
#include "grid/RBGrids.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>

namespace {

constexpr int kRows = 1000000;

double residentMB(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Bytes the heap hands out now: what the structures hold, apart from the pages
// the resident size adds or keeps.
double heapInUseMB()
{
    const struct mallinfo2 mi = mallinfo2();
    return double(mi.uordblks + mi.hblkhd) / 1048576.0;
}

// What a format reader does: header row, then one row of fields per record; with
// `numbered` the reader writes the row numbers as the OV2 reader does, otherwise the
// grid numbers the rows.
void fillTable(TRBParamsTable &t, int rows, bool numbered = false)
{
    t.SetRowCount(1);
    t.SetColCount(5);
    t.Reserve(rows + 1);
    for (int i = 0; i < rows; ++i) {
        const int lon = 1400000 + (i * 37) % 900000, lat = 4900000 + (i * 53) % 500000;
        t.AppendFields({numbered ? QString::number(i + 1) : QString(), QString::number(lon / 100000.0, 'f', 5),
                        QString::number(lat / 100000.0, 'f', 5),
                        QStringLiteral("Fuel station %1 Main St").arg(i), QStringLiteral("7")});
    }
}

TRBGrid *makeGrid()
{
    auto *g = new TRBGrid;
    g->resize(900, 700);
    g->SetNumbers(true);
    g->SetHeader(TRBParams{"LP", "Longitude", "Latitude", "Description", "Type/Level"});
    g->SetEnableRowEdit(true);
    g->show();
    QApplication::processEvents();
    return g;
}

// The shared million-row grid for the cases after filling.
TRBGrid *bigGrid()
{
    static TRBGrid *g = [] {
        TRBGrid *grid = makeGrid();
        fillTable(grid->Table(), kRows);
        grid->TableChanged();
        return grid;
    }();
    return g;
}

void BM_FillFromReader(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TRBGrid> g(makeGrid());
        const double before = residentMB("VmRSS:");
        const double heapBefore = heapInUseMB();
        state.ResumeTiming();
        fillTable(g->Table(), kRows, state.range(0) != 0);
        state.PauseTiming();
        state.counters["table_mb"] = residentMB("VmRSS:") - before;
        state.counters["table_heap_mb"] = heapInUseMB() - heapBefore;
        state.ResumeTiming();
        g->TableChanged();
        benchmark::DoNotOptimize(g->RowCount());
        state.PauseTiming();
        state.counters["rss_mb"] = residentMB("VmRSS:");
        state.counters["grid_mb"] = residentMB("VmRSS:") - before;
        state.counters["grid_heap_mb"] = heapInUseMB() - heapBefore;
        g.reset();
        malloc_trim(0); // the next case starts without this grid's freed heap
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FillFromReader)->Arg(0)->Arg(1)->ArgName("numbered")->Unit(benchmark::kMillisecond)->Iterations(3);

// The grid's share of filling: numbering and taking the filled table in.
void BM_TableChangedAfterFill(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TRBGrid> g(makeGrid());
        fillTable(g->Table(), kRows);
        state.ResumeTiming();
        g->TableChanged();
        state.PauseTiming();
        g.reset();
        malloc_trim(0);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TableChangedAfterFill)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AutoSize(benchmark::State &state)
{
    TRBGrid *g = bigGrid();
    for (auto _ : state) {
        g->SetAutoSize(true);
        state.PauseTiming();
        g->SetAutoSize(false);
        state.ResumeTiming();
    }
    g->SetAutoSize(true);
    state.counters["rss_mb"] = residentMB("VmRSS:");
    state.counters["peak_rss_mb"] = residentMB("VmHWM:");
}
BENCHMARK(BM_AutoSize)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ScrollToEnd(benchmark::State &state)
{
    TRBGrid *g = bigGrid();
    for (auto _ : state) {
        g->scrollToBottom();
        g->SetCurrentCell(1, g->RowCount() - 1);
        g->viewport()->repaint();
        state.PauseTiming();
        g->scrollToTop();
        g->viewport()->repaint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ScrollToEnd)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MarkAllRows(benchmark::State &state)
{
    TRBGrid *g = bigGrid();
    for (auto _ : state) {
        g->SelectAllRows();
        g->viewport()->repaint();
        state.PauseTiming();
        g->UnmarkAllRows(RBFlags::RowMark);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MarkAllRows)->Unit(benchmark::kMillisecond)->Iterations(5);

// F3 among a million rows with eleven marks: from the top to the first mark (a third
// of the way down) and on to the next one, each step with its scroll and repaint.
void BM_StepToMarked(benchmark::State &state)
{
    TRBGrid *g = bigGrid();
    g->UnmarkAllRows(RBFlags::RowMark);
    for (int i = 0; i < 11; ++i)
        g->MarkRow(kRows / 3 + i * (kRows / 20), RBFlags::RowMark);
    const bool first = state.range(0) == 0;
    for (auto _ : state) {
        state.PauseTiming();
        g->SetCurrentCell(1, first ? 1 : kRows / 3);
        state.ResumeTiming();
        benchmark::DoNotOptimize(g->StepToMarked(true));
        g->viewport()->repaint();
    }
    g->UnmarkAllRows(RBFlags::RowMark);
}
BENCHMARK(BM_StepToMarked)->Arg(0)->Arg(1)->ArgName("next")->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CopyMarkedRows(benchmark::State &state)
{
    TRBGrid *g = bigGrid();
    g->SelectAllRows();
    qint64 bytes = 0;
    for (auto _ : state) {
        g->CopyMarkedRows();
        state.PauseTiming();
        bytes = QGuiApplication::clipboard()->text().size();
        QGuiApplication::clipboard()->clear();
        malloc_trim(0);
        state.ResumeTiming();
    }
    g->UnmarkAllRows(RBFlags::RowMark);
    state.counters["chars"] = double(bytes);
    state.counters["rss_mb"] = residentMB("VmRSS:");
    state.counters["peak_rss_mb"] = residentMB("VmHWM:");
}
BENCHMARK(BM_CopyMarkedRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Paste100kRows(benchmark::State &state)
{
    TRBGrid *g = bigGrid();
    QString text;
    for (int i = 0; i < 100000; ++i)
        text += QStringLiteral("14.%1\t50.%1\t\"Pasted %1 St\"\t7\r\n").arg(10000 + i % 90000);
    text.chop(2);
    QGuiApplication::clipboard()->setText(text);
    for (auto _ : state) {
        state.PauseTiming();
        g->SetCurrentCell(1, 500000);
        state.ResumeTiming();
        g->PasteRows();
        state.PauseTiming();
        // Back to a million rows for the next round.
        for (int r = 500000; r < 600000; ++r)
            g->MarkRow(r, RBFlags::RowMark);
        g->CutMarkedRows();
        state.counters["rss_after_paste_mb"] = std::max(state.counters["rss_after_paste_mb"].value, residentMB("VmRSS:"));
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.counters["rss_mb"] = residentMB("VmRSS:");
    state.counters["peak_rss_mb"] = residentMB("VmHWM:");
}
BENCHMARK(BM_Paste100kRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CutMarkedRows100k(benchmark::State &state)
{
    TRBGrid *g = bigGrid();
    const QString text = [&] {
        QString t;
        for (int i = 0; i < 100000; ++i)
            t += QStringLiteral("a%1\tb\r\n").arg(i);
        t.chop(2);
        return t;
    }();
    for (auto _ : state) {
        state.PauseTiming();
        for (int r = 1; r < g->RowCount(); r += 10)
            g->MarkRow(r, RBFlags::RowMark);
        state.ResumeTiming();
        g->CutMarkedRows();
        state.PauseTiming();
        g->SetCurrentCell(1, 1);
        g->PasteText(text);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CutMarkedRows100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// The Down key on the last row appends a row; a deletion near the top renumbers all.
void BM_AppendAndDeleteRow(benchmark::State &state)
{
    TRBGrid *g = bigGrid();
    g->SetAutoSize(true);
    for (auto _ : state) {
        g->InsertEmptyRow(g->RowCount());
        g->DeleteRow(5);
    }
}
BENCHMARK(BM_AppendAndDeleteRow)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_SetCellWithAutoSize(benchmark::State &state)
{
    TRBGrid *g = bigGrid();
    g->SetAutoSize(true);
    int i = 0;
    for (auto _ : state) {
        // Widest text then narrower: the column maximum is searched again.
        g->SetCell(3, 1000 + (i % 1000), QStringLiteral("A rather longer description %1").arg(i));
        g->SetCell(3, 1000 + (i % 1000), QStringLiteral("short"));
        ++i;
    }
}
BENCHMARK(BM_SetCellWithAutoSize)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
