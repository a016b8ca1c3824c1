// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up pictures: the import's stretch onto 320 x 240 and the bitmap writer,
// next to Qt's own BMP writer for comparison.
#include "media/ImgFile.h"

#include <QBuffer>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {
QImage photo()
{
    QImage img(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            img.setPixel(x, y, qRgb(x % 256, y % 256, (x ^ y) % 256));
    return img;
}

void BM_StretchToStartup(benchmark::State &state)
{
    const QImage src = photo();
    for (auto _ : state)
        benchmark::DoNotOptimize(ImgFile::stretchedStartup(src));
}
BENCHMARK(BM_StretchToStartup)->Unit(benchmark::kMicrosecond);

void BM_EncodeBmp24(benchmark::State &state)
{
    const ImgFile::Picture p = ImgFile::stretchedStartup(photo());
    for (auto _ : state)
        benchmark::DoNotOptimize(ImgFile::encodeBmp(p.image, 24));
}
BENCHMARK(BM_EncodeBmp24)->Unit(benchmark::kMicrosecond);

void BM_QtBmpWriter24(benchmark::State &state)
{
    const ImgFile::Picture p = ImgFile::stretchedStartup(photo());
    for (auto _ : state) {
        QByteArray out;
        QBuffer b(&out);
        b.open(QIODevice::WriteOnly);
        p.image.save(&b, "BMP");
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_QtBmpWriter24)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
