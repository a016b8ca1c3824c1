// SPDX-License-Identifier: GPL-3.0-or-later
// Packing with MSZIP (ours on one and on two threads, as a set of cabinets, gcab) and unpacking (ours,
// cabextract) of the same tree in one run; peak memory of the command-line runs at a
// quarter of the tree and at the whole tree. KORVIX_CAB_BENCH_MB sets the tree's size
// (default 1024).
#include "bench/support/ChildRun.h"
#include "bench/support/DeviceTree.h"
#include "services/CabFile.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>


namespace {
QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

qint64 treeMegabytes()
{
    const int mb = qEnvironmentVariableIntValue("KORVIX_CAB_BENCH_MB");
    return mb > 0 ? mb : 1024;
}

// The benchmarks' device-like tree, made once per name.
QString makeTree(const QString &name, qint64 megabytes)
{
    const QString root = workDir().filePath(name);
    if (QDir(root).exists())
        return root;
    writeDeviceTree(root, megabytes);
    return root;
}

// Our programs and the peers, their standard output discarded.
ChildRun timed(const QStringList &command, const QString &workDirectory = {})
{
    return runChild(command, QDir(workDir().path()), {workDirectory});
}

QString tree()
{
    return makeTree(QStringLiteral("tree"), treeMegabytes());
}

void report(benchmark::State &state, double seconds)
{
    state.SetIterationTime(seconds);
}

void BM_PackMszipOurs(benchmark::State &state)
{
    const QString src = tree();
    for (auto _ : state) {
        TCABFile cab;
        cab.Threads = int(state.range(0));
        cab.CABFile = workDir().filePath(QStringLiteral("ours.cab"));
        cab.CABFileContents.AddFiles(src + QStringLiteral("/*"), QString(), true);
        QElapsedTimer clock;
        clock.start();
        cab.Compress();
        report(state, clock.nsecsElapsed() / 1e9);
    }
    state.counters["MB"] = double(treeMegabytes());
    state.counters["archive_MB"] = double(QFileInfo(workDir().filePath(QStringLiteral("ours.cab"))).size()) / (1 << 20);
}
BENCHMARK(BM_PackMszipOurs)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

// The same tree as a set of cabinets of a quarter of it each, on two threads: what the
// set costs beside one cabinet (each cabinet's data is copied once behind its header).
void BM_PackMszipSet(benchmark::State &state)
{
    const QString src = tree();
    int cabinets = 0;
    for (auto _ : state) {
        TCABFile cab;
        cab.Threads = 2;
        cab.CABFile = workDir().filePath(QStringLiteral("set.cab"));
        cab.AllowSet = true;
        cab.MaxCabinetSize = (treeMegabytes() << 20) / 4;
        cab.CABFileContents.AddFiles(src + QStringLiteral("/*"), QString(), true);
        QElapsedTimer clock;
        clock.start();
        cab.Compress();
        report(state, clock.nsecsElapsed() / 1e9);
        cabinets = int(cab.CabinetsWritten().size());
        for (const QString &path : cab.CabinetsWritten())
            QFile::remove(path);
    }
    state.counters["MB"] = double(treeMegabytes());
    state.counters["cabinets"] = cabinets;
}
BENCHMARK(BM_PackMszipSet)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

void BM_PackMszipGcab(benchmark::State &state)
{
    const QString src = tree();
    const QStringList files = relativeFiles(src);
    for (auto _ : state) {
        QFile::remove(workDir().filePath(QStringLiteral("gcab.cab")));
        const ChildRun r = timed(QStringList{QStringLiteral("gcab"), QStringLiteral("-c"), QStringLiteral("-z"),
                                                workDir().filePath(QStringLiteral("gcab.cab"))} + files, src);
        if (r.code != 0)
            state.SkipWithError("gcab failed");
        report(state, r.seconds);
        state.counters["maxrss_MB"] = r.maxRssKb / 1024.0;
    }
    state.counters["archive_MB"] = double(QFileInfo(workDir().filePath(QStringLiteral("gcab.cab"))).size()) / (1 << 20);
}
BENCHMARK(BM_PackMszipGcab)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

void BM_UnpackOurs(benchmark::State &state)
{
    for (auto _ : state) {
        const QString out = workDir().filePath(QStringLiteral("ours-out"));
        QDir(out).removeRecursively();
        TCABFile cab;
        cab.CABFile = workDir().filePath(QStringLiteral("ours.cab"));
        cab.TargetPath = out;
        QElapsedTimer clock;
        clock.start();
        if (!cab.Extract())
            state.SkipWithError("unpacking failed");
        report(state, clock.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(BM_UnpackOurs)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

void BM_UnpackCabextract(benchmark::State &state)
{
    for (auto _ : state) {
        const QString out = workDir().filePath(QStringLiteral("cabextract-out"));
        QDir(out).removeRecursively();
        const ChildRun r = timed({QStringLiteral("cabextract"), QStringLiteral("-q"), QStringLiteral("-d"), out,
                                     workDir().filePath(QStringLiteral("ours.cab"))});
        if (r.code != 0)
            state.SkipWithError("cabextract failed");
        report(state, r.seconds);
        state.counters["maxrss_MB"] = r.maxRssKb / 1024.0;
    }
}
BENCHMARK(BM_UnpackCabextract)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

// korvix-cli cab unpack (atomic per file, one file-system sync at the end) and cabextract
// on the same archive, by turns: medians of five runs each and their ratio.
void BM_UnpackCliVsCabextract(benchmark::State &state)
{
    const QString cli = QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli");
    const QString archive = workDir().filePath(QStringLiteral("paired.cab"));
    if (!QFileInfo::exists(archive))
        timed({cli, QStringLiteral("cab"), QStringLiteral("pack"), archive, tree()});
    const QString out = workDir().filePath(QStringLiteral("paired-out"));
    for (auto _ : state) {
        const PairedRuns p = runPaired({cli, QStringLiteral("cab"), QStringLiteral("unpack"), archive, out},
                                       {QStringLiteral("cabextract"), QStringLiteral("-q"), QStringLiteral("-d"), out, archive},
                                       QDir(workDir().path()), 5, [&] { QDir(out).removeRecursively(); });
        if (p.failed)
            state.SkipWithError("an unpack failed");
        report(state, p.oursSeconds);
        state.counters["ours_s"] = p.oursSeconds;
        state.counters["cabextract_s"] = p.peerSeconds;
        state.counters["ratio"] = p.ratio();
        state.counters["ours_maxrss_MB"] = p.oursMaxRssKb / 1024.0;
        state.counters["cabextract_maxrss_MB"] = p.peerMaxRssKb / 1024.0;
    }
}
BENCHMARK(BM_UnpackCliVsCabextract)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

// Peak memory of korvix-cli packing and unpacking a quarter of the tree and the whole.
void BM_CliMemory(benchmark::State &state)
{
    const qint64 mb = treeMegabytes() * state.range(0) / 4;
    const QString src = state.range(0) == 4 ? tree() : makeTree(QStringLiteral("part"), mb);
    const QString cli = QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli");
    const QString archive = workDir().filePath(QStringLiteral("cli.cab"));
    for (auto _ : state) {
        const ChildRun pack = timed({cli, QStringLiteral("cab"), QStringLiteral("pack"), archive, src});
        QDir(workDir().filePath(QStringLiteral("cli-out"))).removeRecursively();
        const ChildRun unpack = timed({cli, QStringLiteral("cab"), QStringLiteral("unpack"), archive,
                                          workDir().filePath(QStringLiteral("cli-out"))});
        if (pack.code != 0 || unpack.code != 0)
            state.SkipWithError("korvix-cli failed");
        report(state, pack.seconds);
        state.counters["pack_maxrss_MB"] = pack.maxRssKb / 1024.0;
        state.counters["unpack_maxrss_MB"] = unpack.maxRssKb / 1024.0;
        state.counters["tree_MB"] = double(mb);
    }
}
BENCHMARK(BM_CliMemory)->Arg(1)->Arg(4)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
} // namespace

BENCHMARK_MAIN();
