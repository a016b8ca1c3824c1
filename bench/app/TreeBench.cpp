// SPDX-License-Identifier: GPL-3.0-or-later
// Building a device's content tree from a device folder with many files.
#include "app/TreeBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// 20,000 files: POI files with icons and sounds in two map folders, itineraries,
// sounds and raster files.
const QString &deviceFolder()
{
    static QTemporaryDir dir;
    static QString key;
    if (key.isEmpty()) {
        key = QDir::cleanPath(dir.path());
        auto touch = [](const QString &p) {
            QFile f(p);
            f.open(QIODevice::WriteOnly);
        };
        const QString root = dir.path();
        touch(root + "/TTGO.BIF");
        touch(root + "/ttsystem");
        for (const char *map : {"Europe", "Poland"}) {
            QDir().mkpath(root + "/" + map);
            touch(root + "/" + map + "/cline.dat");
            for (int i = 0; i < 2500; ++i) {
                const QString base = root + "/" + map + QString("/poi%1").arg(i);
                touch(base + ".ov2");
                touch(base + ".ogg");
                if (i % 2 == 0)
                    touch(base + "_x2.bmp");
            }
        }
        for (const char *folder : {"Itn", "sounds", "Raster"})
            QDir().mkpath(root + "/" + folder);
        for (int i = 0; i < 3000; ++i) {
            touch(root + QString("/Itn/route%1.itn").arg(i));
            touch(root + QString("/sounds/s%1.wav").arg(i));
        }
        for (int i = 0; i < 1500; ++i)
            touch(root + QString("/Raster/r%1.sat").arg(i % 700, 3, 10, QChar('0')) + QString::number(i));
    }
    return key;
}

void BM_BuildTree20000Files(benchmark::State &state)
{
    const QString key = deviceFolder();
    int nodes = 0;
    for (auto _ : state) {
        CountingIconSink icons;
        auto device = TreeBuilder::buildDevice(key, TreeOptions{}, icons);
        nodes = device->childCount();
        benchmark::DoNotOptimize(device);
    }
    state.counters["categories"] = nodes;
}
BENCHMARK(BM_BuildTree20000Files)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
