// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform picture of a long sound, and loading a voice phrase through the
// external decoder (with in-process Vorbis decoding by libsndfile beside it).
#include "media/OggRunner.h"
#include "media/SampleSounds.h"
#include "media/SoundBox.h"
#include "media/Wave.h"
#include "media/WaveEnvelope.h"

#include <sndfile.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

namespace {
QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// A 2-second phrase encoded once by the real encoder.
QString phrase()
{
    static QString path;
    if (path.isEmpty()) {
        TOggRunner runner(workDir().path());
        if (runner.OggEncode(SampleSounds::chirp(300, 1500, 2000)) && runner.CopyWorkOggTo(workDir().filePath("phrase.ogg")))
            path = workDir().filePath("phrase.ogg");
    }
    return path;
}

void BM_Envelope10Minutes2000Columns(benchmark::State &state)
{
    const TWave wave = SampleSounds::chirp(100, 4000, 10 * 60 * 1000);
    TEnvelope envelope;
    for (auto _ : state) {
        BuildEnvelope(wave, 2000, 200, envelope);
        benchmark::DoNotOptimize(envelope.data());
    }
    state.SetBytesProcessed(state.iterations() * wave.DataSize() * 2);   // each sample is read twice
}
BENCHMARK(BM_Envelope10Minutes2000Columns)->Unit(benchmark::kMillisecond);

void BM_OggDecodeAndLoadWave2s(benchmark::State &state)
{
    const QString ogg = phrase();
    if (ogg.isEmpty()) {
        state.SkipWithError("the Ogg encoder did not run");
        return;
    }
    TOggRunner runner(workDir().filePath("ogg"));
    TWaveStorage storage;
    TRBSoundBox box;
    box.SetWaveStorage(&storage);
    box.resize(414, 100);
    for (auto _ : state) {
        if (!runner.OggDecode(ogg) || !box.LoadWave(runner.workWave())) {
            state.SkipWithError("decoding failed");
            return;
        }
    }
    benchmark::DoNotOptimize(storage.Wave.DataSize());
}
BENCHMARK(BM_OggDecodeAndLoadWave2s)->Unit(benchmark::kMillisecond);

// Peer: the same phrase decoded in-process by libsndfile's Vorbis reader.
void BM_LibsndfileVorbisDecode2s(benchmark::State &state)
{
    const QString ogg = phrase();
    if (ogg.isEmpty()) {
        state.SkipWithError("the Ogg encoder did not run");
        return;
    }
    std::vector<short> pcm;
    for (auto _ : state) {
        SF_INFO info{};
        SNDFILE *sf = sf_open(QFile::encodeName(ogg).constData(), SFM_READ, &info);
        if (!sf) {
            state.SkipWithError("libsndfile cannot read Vorbis here");
            return;
        }
        pcm.resize(size_t(info.frames) * size_t(info.channels));
        sf_readf_short(sf, pcm.data(), info.frames);
        sf_close(sf);
        benchmark::DoNotOptimize(pcm.data());
    }
}
BENCHMARK(BM_LibsndfileVorbisDecode2s)->Unit(benchmark::kMillisecond);

// Loading a 10-second stereo 44.1 kHz wave into the working format (mix and resample).
void BM_ConvertStereo44kTo22kMono10s(benchmark::State &state)
{
    TWave stereo = SampleSounds::chirp(200, 3000, 10000);
    stereo.ConvertToPCM(TWaveFormat::pcm(2, 44100, 16));
    for (auto _ : state) {
        TWave w = stereo;
        w.ConvertToPCM(Mono16bit22050Hz());
        benchmark::DoNotOptimize(w.DataSize());
    }
}
BENCHMARK(BM_ConvertStereo44kTo22kMono10s)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
