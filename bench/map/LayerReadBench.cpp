// SPDX-License-Identifier: GPL-3.0-or-later
// The map layers' readers on large and hostile files, run as korvix-cli: time and
// peak memory beside the file's size (the readers stream, so memory stays a few
// times the file), the refusal of an element of 200,000 attributes, and the XML
// guard's own scan in this process.
#include "bench/support/ChildRun.h"
#include "platform/XmlGuard.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// Written once: `count` copies of `unit` between `head` and `tail`.
QString fileOf(const QString &name, const QByteArray &head, const QByteArray &unit, qint64 count, const QByteArray &tail)
{
    const QString path = workDir().filePath(name);
    if (QFile::exists(path))
        return path;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(head);
    const QByteArray block = unit.repeated(4096);
    for (qint64 i = 0; i < count / 4096; ++i)
        f.write(block);
    f.write(unit.repeated(count % 4096));
    f.write(tail);
    return path;
}

// A road network of 55 MB in small elements: what a document model turned into gigabytes.
QString roadNetwork()
{
    return fileOf(QStringLiteral("roads.svg"), "<svg><g id=\"Polska\">\n", "<polygon points=\"12,34\"/><a/>\n",
                  2'000'000, "</g></svg>\n");
}

QString krakowFeed()
{
    return fileOf(QStringLiteral("krakow.xml"), "\xEF\xBB\xBF<data>\n",
                  "<marker lat=\"50.061\" long=\"19.937\" iconfile=\"i.png\" limit=\"40\" date=\"2024-01-01\" "
                  "desc=\"Roboty drogowe na ulicy\"/>\n",
                  600'000, "</data>\n");
}

QString crowdedElement()
{
    const QString path = workDir().filePath(QStringLiteral("crowded.svg"));
    if (!QFile::exists(path)) {
        QByteArray e = "<svg><g id=\"Polska\"";
        for (int i = 0; i < 200000; ++i)
            e += " a" + QByteArray::number(i) + "=\"\"";
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(e + "/></svg>");
    }
    return path;
}

void runLayer(benchmark::State &state, const char *kind, const QString &file, int expectedCode)
{
    const QString cli = QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli");
    for (auto _ : state) {
        const ChildRun r = runChild({cli, "map", "layer", QLatin1String(kind), file}, QDir(workDir().path()),
                                    {QString(), QString(), true});
        if (r.code != expectedCode)
            state.SkipWithError("unexpected exit code");
        state.SetIterationTime(r.seconds);
        // GNU time puts a note before the figure of a failed command: no memory then.
        if (expectedCode != 0)
            continue;
        state.counters["maxrss_MB"] = r.maxRssKb / 1024.0;
        state.counters["file_MB"] = double(QFileInfo(file).size()) / (1 << 20);
        state.counters["maxrss_per_file"] = r.maxRssKb * 1024.0 / double(QFileInfo(file).size());
    }
}

void BM_LayerSvgSmallElements(benchmark::State &state)
{
    runLayer(state, "svg", roadNetwork(), 0);
}
BENCHMARK(BM_LayerSvgSmallElements)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

void BM_LayerKrakow(benchmark::State &state)
{
    runLayer(state, "krakow", krakowFeed(), 0);
}
BENCHMARK(BM_LayerKrakow)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

// Refused by the guard before the parser spends its minute on it.
void BM_LayerSvgRefusesManyAttributes(benchmark::State &state)
{
    runLayer(state, "svg", crowdedElement(), 1);
}
BENCHMARK(BM_LayerSvgRefusesManyAttributes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

void BM_GuardScan(benchmark::State &state)
{
    QFile f(roadNetwork());
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(xmlRefusal(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_GuardScan)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
