// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing itineraries, the KML import and paste, and the duplicate
// search, on sizes well beyond what the device takes (users keep long lists).
#include "itn/ItnFormat.h"
#include "itn/ItnLogic.h"
#include "tests/support/ItnPairwiseMarks.h"
#include "exchange/KmlImport.h"
#include "platform/DeviceCodec.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
QByteArray itnBytes(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += QByteArray::number(1900000 + i * 7) + '|' + QByteArray::number(5000000 + i * 3) + "|Punkt nr "
             + QByteArray::number(i) + " \xB3\xF3" "d\xBF|" + QByteArray::number(i % 5) + "|\r\n";
    return b;
}

TRBParamsTable tableOf(const QByteArray &bytes)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({QStringLiteral("LP")});
    for (TRBParams &r : Itn::readRows(bytes, DeviceCodec()))
        t.AppendRow(std::move(r));
    return t;
}

QByteArray kmlBytes(int n)
{
    QByteArray b = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>";
    for (int i = 0; i < n; ++i)
        b += "<Placemark><name>Punkt " + QByteArray::number(i) + "</name><address>ul. Długa " + QByteArray::number(i)
             + "</address><Point><coordinates>19." + QByteArray::number(100000 + i) + ",50." + QByteArray::number(200000 + i)
             + ",0</coordinates></Point></Placemark>";
    return b + "</Document></kml>";
}

void BM_ReadItn(benchmark::State &state)
{
    const QByteArray bytes = itnBytes(int(state.range(0)));
    const DeviceCodec codec;
    for (auto _ : state)
        benchmark::DoNotOptimize(Itn::readRows(bytes, codec));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadItn)->Arg(48)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteItnSplit(benchmark::State &state)
{
    const TRBParamsTable t = tableOf(itnBytes(int(state.range(0))));
    QTemporaryDir dir;
    const DeviceCodec codec;
    for (auto _ : state)
        benchmark::DoNotOptimize(Itn::writeRows(dir.filePath("route.itn"), t, true, codec));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteItnSplit)->Arg(100)->Arg(4800)->Unit(benchmark::kMillisecond);

void BM_ImportKml(benchmark::State &state)
{
    const QByteArray bytes = kmlBytes(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Itn::ImportKML(bytes));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportKml)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PasteKml(benchmark::State &state)
{
    const QString text = QString::fromUtf8(kmlBytes(int(state.range(0))));
    for (auto _ : state) {
        QString t = text;
        benchmark::DoNotOptimize(Itn::KmlPasteRows(t));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PasteKml)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Duplicates(benchmark::State &state)
{
    const TRBParamsTable t = tableOf(itnBytes(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(Itn::findDuplicates(t, 50));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Duplicates)->Arg(48)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The peer: the itinerary editor's former pairwise loop, which the indexed search
// replaced with the same marks.
void BM_DuplicatesPairwisePeer(benchmark::State &state)
{
    const TRBParamsTable t = tableOf(itnBytes(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(itnPairwiseMarks(t, 50));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DuplicatesPairwisePeer)->Arg(48)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DuplicatesPairwisePeer)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Reverse(benchmark::State &state)
{
    TRBParamsTable t = tableOf(itnBytes(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(Itn::reverseRows(t));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Reverse)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
