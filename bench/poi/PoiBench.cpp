// SPDX-License-Identifier: GPL-3.0-or-later
// OV2 speed and peak memory against gpsbabel on the same files in the same run.
//
// Fixtures of 100,000 and 1,000,000 POIs (random points all over the map, names of
// 10 to 40 characters) are written once into a temporary folder by our writer.
// Peak memory is measured once per benchmark in a separate process (wait4's
// ru_maxrss): gpsbabel as the program it is, ours by this binary's "--op" mode.
#include "bench/support/RandomPois.h"
#include "core/RBParamsTable.h"
#include "platform/AtomicFile.h"
#include "platform/DeviceCodec.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Table.h"
#include "poi/Ov2Writer.h"
#include "poi/Ov2TextExport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/korvix-poi-bench-XXXXXX"));
    return dir;
}

// The fixture file of n POIs, made once.
QString fixture(int n)
{
    static std::map<int, QString> files;
    auto it = files.find(n);
    if (it != files.end())
        return it->second;
    const QString path = workDir().filePath(QStringLiteral("pois%1.ov2").arg(n));
    SaveOV2(path, randomPoints(n));
    files[n] = path;
    return path;
}

QByteArray readAllOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TRBParamsTable &tableOf(int n)
{
    static std::map<int, TRBParamsTable> tables;
    auto it = tables.find(n);
    if (it == tables.end()) {
        it = tables.emplace(n, TRBParamsTable()).first;
        readOv2IntoTable(fixture(n), it->second, DeviceCodec());
    }
    return it->second;
}

QString outFile(const char *name)
{
    return workDir().filePath(QString::fromLatin1(name));
}

// Peak resident size of a program, in MB, measured by a fresh copy of this binary
// that forks and runs it (a child of this large process would inherit its high-water
// mark). -1 when the measurement failed.
double peakMb(const QStringList &program)
{
    QString cmd = QStringLiteral("'%1' --peak-of").arg(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
    for (const QString &a : program)
        cmd += QStringLiteral(" '") + a + u'\'';
    FILE *p = popen(cmd.toLocal8Bit().constData(), "r");
    if (!p)
        return -1;
    long kb = -1;
    if (fscanf(p, "%ld", &kb) != 1)
        kb = -1;
    const int status = pclose(p);
    return status == 0 && kb > 0 ? double(kb) / 1024.0 : -1;
}

QStringList selfOp(const char *op, const QString &in, const QString &out = QString())
{
    return {QFile::symLinkTarget(QStringLiteral("/proc/self/exe")), QStringLiteral("--op"), QString::fromLatin1(op), in,
            out.isEmpty() ? QStringLiteral("-") : out};
}

bool runProgram(const QStringList &args)
{
    std::vector<QByteArray> store;
    for (const QString &a : args)
        store.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : store)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    bool ok = false;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return ok;
}

QString gpsbabel()
{
    static const QString path = QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));
    return path;
}

// --- ours --------------------------------------------------------------------

void BM_Ours_ReadIntoRows(benchmark::State &state)
{
    const QString file = fixture(int(state.range(0)));
    for (auto _ : state) {
        auto *table = new TRBParamsTable;
        const QString error = readOv2IntoTable(file, *table, DeviceCodec());
        if (!error.isEmpty() || table->RowCount() != state.range(0) + 1)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(table->RowCount());
        // Freeing the rows is not part of reading them.
        state.PauseTiming();
        delete table;
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peakMb(selfOp("read-rows", file));
}

void BM_Ours_ReadCompact(benchmark::State &state)
{
    const QString file = fixture(int(state.range(0)));
    for (auto _ : state) {
        Ov2Data data;
        if (!readOv2File(file, data).isEmpty())
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(data.pois.size());
    }
}

void BM_Ours_WriteWithAreaIndex(benchmark::State &state)
{
    const TRBParamsTable &table = tableOf(int(state.range(0)));
    const QString out = outFile("ours-written.ov2");
    for (auto _ : state)
        SaveOV2(out, table, DeviceCodec());
    state.counters["bytes"] = double(QFile(out).size());
}

// The part of a durable save that syncs the folder after the rename, alone: the file of
// the same size is written, synced and renamed outside the timing. Its share of
// BM_Ours_WriteWithAreaIndex is the cost of the folder sync.
void BM_Ours_FolderSyncAfterSave(benchmark::State &state)
{
    const QByteArray bytes = readAllOf(fixture(int(state.range(0))));
    const QString dir = workDir().filePath(QStringLiteral("sync"));
    QDir().mkpath(dir);
    const QString target = dir + QStringLiteral("/written.ov2");
    for (auto _ : state) {
        state.PauseTiming();
        const QString temporary = target + QStringLiteral(".new");
        {
            QFile f(temporary);
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            f.flush();
            ::fdatasync(f.handle());
        }
        QFile::remove(target);
        QFile::rename(temporary, target);
        state.ResumeTiming();
        if (!AtomicFile::syncFolder(dir).isEmpty())
            state.SkipWithError("folder sync failed");
    }
}

void BM_Ours_Ov2ToOv2(benchmark::State &state)
{
    const QString file = fixture(int(state.range(0)));
    const QString out = outFile("ours-copy.ov2");
    for (auto _ : state) {
        TRBParamsTable table;
        readOv2IntoTable(file, table, DeviceCodec());
        SaveOV2(out, table, DeviceCodec());
    }
    state.counters["peak_MB"] = peakMb(selfOp("ov2-to-ov2", file, out));
}

void BM_Ours_Ov2ToCsv(benchmark::State &state)
{
    const QString file = fixture(int(state.range(0)));
    const QString out = outFile("ours.csv");
    for (auto _ : state) {
        Ov2Data data;
        readOv2File(file, data);
        ExportPoiText(data, out, PoiTextFormat::PlainCsv);
    }
    state.counters["peak_MB"] = peakMb(selfOp("ov2-to-csv", file, out));
}

// The same work as whole programs, started as gpsbabel is below: reading into rows
// by this binary's "--op" mode, and the command line's dump to /dev/null.
void runOurs(benchmark::State &state, const QStringList &args)
{
    for (auto _ : state) {
        if (!runProgram(args))
            state.SkipWithError("our program failed");
    }
    state.counters["peak_MB"] = peakMb(args);
}

void BM_Ours_ReadIntoRowsProcess(benchmark::State &state)
{
    runOurs(state, selfOp("read-rows", fixture(int(state.range(0)))));
}

void BM_Cli_Ov2Dump(benchmark::State &state)
{
    runOurs(state, {QStringLiteral(KORVIX_CLI), QStringLiteral("ov2"), QStringLiteral("dump"),
                    fixture(int(state.range(0)))});
}

// --- gpsbabel on the same files ------------------------------------------------

void runGpsbabel(benchmark::State &state, const QStringList &tail)
{
    if (gpsbabel().isEmpty()) {
        state.SkipWithError("gpsbabel not installed");
        return;
    }
    const QString file = fixture(int(state.range(0)));
    const QStringList args = QStringList{gpsbabel(), "-i", "tomtom", "-f", file} + tail;
    for (auto _ : state) {
        if (!runProgram(args))
            state.SkipWithError("gpsbabel failed");
    }
    state.counters["peak_MB"] = peakMb(args);
}

void BM_Gpsbabel_Read(benchmark::State &state)
{
    runGpsbabel(state, {});
}

void BM_Gpsbabel_Ov2ToOv2(benchmark::State &state)
{
    runGpsbabel(state, {"-o", "tomtom", "-F", outFile("gpsbabel-copy.ov2")});
}

void BM_Gpsbabel_Ov2ToCsv(benchmark::State &state)
{
    runGpsbabel(state, {"-o", "unicsv", "-F", outFile("gpsbabel.csv")});
}

} // namespace

#define POI_SIZES ->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Ours_ReadIntoRows) POI_SIZES;
BENCHMARK(BM_Ours_ReadIntoRowsProcess) POI_SIZES;
BENCHMARK(BM_Gpsbabel_Read) POI_SIZES;
BENCHMARK(BM_Ours_ReadCompact) POI_SIZES;
BENCHMARK(BM_Ours_WriteWithAreaIndex) POI_SIZES;
BENCHMARK(BM_Ours_FolderSyncAfterSave) POI_SIZES;
BENCHMARK(BM_Ours_Ov2ToOv2) POI_SIZES;
BENCHMARK(BM_Gpsbabel_Ov2ToOv2) POI_SIZES;
BENCHMARK(BM_Ours_Ov2ToCsv) POI_SIZES;
BENCHMARK(BM_Cli_Ov2Dump) POI_SIZES;
BENCHMARK(BM_Gpsbabel_Ov2ToCsv) POI_SIZES;

// Helper modes: "--peak-of PROGRAM ARGS..." prints the program's peak resident size
// in kB; "--op NAME IN OUT" runs one of our operations once.
int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--peak-of") == 0) {
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execv(argv[2], argv + 2);
            _exit(127);
        }
        int status = 0;
        rusage ru{};
        wait4(pid, &status, 0, &ru);
        std::printf("%ld\n", ru.ru_maxrss);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
    if (argc == 5 && std::strcmp(argv[1], "--op") == 0) {
        const QString in = QString::fromLocal8Bit(argv[3]), out = QString::fromLocal8Bit(argv[4]);
        const std::string op = argv[2];
        if (op == "read-rows") {
            TRBParamsTable table;
            return readOv2IntoTable(in, table, DeviceCodec()).isEmpty() ? 0 : 1;
        }
        if (op == "ov2-to-ov2") {
            TRBParamsTable table;
            if (!readOv2IntoTable(in, table, DeviceCodec()).isEmpty())
                return 1;
            SaveOV2(out, table, DeviceCodec());
            return 0;
        }
        if (op == "ov2-to-csv") {
            Ov2Data data;
            if (!readOv2File(in, data).isEmpty())
                return 1;
            ExportPoiText(data, out, PoiTextFormat::PlainCsv);
            return 0;
        }
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
