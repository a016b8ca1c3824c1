// SPDX-License-Identifier: GPL-3.0-or-later
// Crash recovery of a POI list of 1,000,000 rows: the pause on the window's thread
// (the snapshot of the rows and the hand-over to the worker) and the worker's write.
#include "app/Recovery.h"
#include "core/RBParamsTable.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtConcurrent>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

constexpr int Rows = 1000000;

const TRBParamsTable &bigList()
{
    static TRBParamsTable t = [] {
        TRBParamsTable t;
        t.SetColCount(5);
        t.AppendFields({QString("LP"), QString("Longitude"), QString("Latitude"), QString("Description"), QString("Type")});
        t.Reserve(Rows + 1);
        for (int i = 1; i <= Rows; ++i) {
            const QString n = QString::number(i);
            t.AppendFields({n, QString::number(1900000 + i % 90000), QString::number(5000000 + i % 70000),
                            QStringLiteral("Fotoradar Kraków ul. Długa ") + n, QStringLiteral("2")});
        }
        // A user's marks: every 1000th row.
        for (int i = 1; i <= Rows; i += 1000)
            for (int c = 1; c < 5; ++c)
                t.SetFlags(c, i, 0x80);
        return t;
    }();
    return t;
}

Recovery::Header header()
{
    Recovery::Header h;
    h.fileName = QStringLiteral("/media/ann/DEV/Map/Fotoradary.ov2");
    h.time = QDateTime::currentDateTimeUtc();
    h.instance = QStringLiteral("1-1");
    return h;
}

// What the window's thread does when a recovery file is due: the snapshot, and the
// start of the write on a worker. The write itself is waited for outside the timing.
void BM_RecoveryPauseOnWindowThread(benchmark::State &state)
{
    const TRBParamsTable &t = bigList();
    QTemporaryDir dir;
    const QString path = dir.filePath("list.krec");
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto snap = std::make_shared<TRecovery::Snapshot>(TRecovery::snapshot(t, header()));
        QFuture<QString> f = QtConcurrent::run([path, snap]() mutable {
            QString error = TRecovery::write(path, *snap);
            snap.reset();
            return error;
        });
        snap.reset();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (!f.result().isEmpty())
            state.SkipWithError("write failed");
    }
    state.counters["rows"] = Rows;
}
BENCHMARK(BM_RecoveryPauseOnWindowThread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);

// The worker's whole write of the same list, for comparison: off the window's thread.
void BM_RecoveryWriteOnWorker(benchmark::State &state)
{
    const TRBParamsTable &t = bigList();
    const TRecovery::Snapshot snap = TRecovery::snapshot(t, header());
    QTemporaryDir dir;
    const QString path = dir.filePath("list.krec");
    for (auto _ : state)
        if (!TRecovery::write(path, snap).isEmpty())
            state.SkipWithError("write failed");
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}
BENCHMARK(BM_RecoveryWriteOnWorker)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
