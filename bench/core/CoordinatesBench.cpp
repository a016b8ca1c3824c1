// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing and the four displays of the coordinate dialog, run on every keystroke.
#include "core/CoordinateText.h"

#include <benchmark/benchmark.h>

namespace {
void showAll(const QString &text)
{
    const CoordinatePair pair = parseCoordinatePair(text);
    for (CoordinateDisplay d : {CoordinateDisplay::Degrees, CoordinateDisplay::Minutes,
                                CoordinateDisplay::Seconds, CoordinateDisplay::TomTom})
        benchmark::DoNotOptimize(coordinateDisplayLines(pair, d));
}

void BM_TypicalInput(benchmark::State &state)
{
    const QString text = QStringLiteral("E 19*56'6\"N 50*3'43.2\"");
    for (auto _ : state)
        showAll(text);
}
BENCHMARK(BM_TypicalInput);

// A pasted block of 10,000 digits: exact arithmetic must stay linear.
void BM_TenThousandDigits(benchmark::State &state)
{
    const QString text = QStringLiteral("7").repeated(5000) + QStringLiteral(".") + QStringLiteral("3").repeated(4999);
    for (auto _ : state)
        showAll(text);
}
BENCHMARK(BM_TenThousandDigits)->Unit(benchmark::kMicrosecond);

void BM_GeneralOfDouble(benchmark::State &state)
{
    double x = 19.935;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatGeneral(x));
        x += 0.000013;
    }
}
BENCHMARK(BM_GeneralOfDouble);
} // namespace

BENCHMARK_MAIN();
