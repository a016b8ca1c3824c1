// SPDX-License-Identifier: GPL-3.0-or-later
// Converting a POI list of 1,000,000 points from OV2 to GPX: korvix-cli convert and
// gpsbabel, each as the program a user runs, on the same file in the same run.
// Medians of five runs; the ratio is gpsbabel's median over ours.
#include "bench/support/RandomPois.h"
#include "poi/Ov2Writer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/korvix-convert-bench-XXXXXX"));
    return dir;
}

// Random points all over the map with names of 10 to 40 characters, some Polish.
QString fixture(int n)
{
    const QString path = workDir().filePath(QStringLiteral("pois%1.ov2").arg(n));
    if (QFile::exists(path))
        return path;
    SaveOV2(path, randomPoints(n, true));
    return path;
}

void runProgram(benchmark::State &state, const QString &program, const QStringList &args, const QString &out)
{
    for (auto _ : state) {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            state.SkipWithError(qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
            return;
        }
    }
    state.counters["out_MB"] = double(QFile(out).size()) / 1e6;
}

void BM_Cli_ConvertOv2ToGpx(benchmark::State &state)
{
    const QString in = fixture(int(state.range(0)));
    const QString out = workDir().filePath(QStringLiteral("ours.gpx"));
    runProgram(state, QStringLiteral(KORVIX_CLI), {"convert", in, out}, out);
}

void BM_Gpsbabel_Ov2ToGpx(benchmark::State &state)
{
    const QString gpsbabel = QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));
    if (gpsbabel.isEmpty()) {
        state.SkipWithError("gpsbabel not installed");
        return;
    }
    const QString in = fixture(int(state.range(0)));
    const QString out = workDir().filePath(QStringLiteral("gpsbabel.gpx"));
    runProgram(state, gpsbabel, {"-i", "tomtom", "-f", in, "-o", "gpx", "-F", out}, out);
}

} // namespace

#define CONVERT_RUNS ->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)
BENCHMARK(BM_Cli_ConvertOv2ToGpx) CONVERT_RUNS;
BENCHMARK(BM_Gpsbabel_Ov2ToGpx) CONVERT_RUNS;

BENCHMARK_MAIN();
