// SPDX-License-Identifier: GPL-3.0-or-later
// A 59-phrase voice: unpacking its container into the phrase files (no decoding),
// opening it in the editor (with the Ogg information of each phrase), saving its three
// files, and loading a phrase into the waveform after the table moved to its row.
#include "grid/RBGrids.h"
#include "media/OggRunner.h"
#include "media/SampleSounds.h"
#include "media/Wave.h"
#include "media/Voice.h"
#include "media/VoiceChk.h"
#include "media/VoiceFile.h"
#include "media/VoiceTables.h"
#include "platform/DeviceCodec.h"
#include "tests/support/QuietShell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// A voice of 59 phrases of 1 to 2.5 seconds, encoded once by the real encoder.
QString voice()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    const QString phrases = workDir().filePath("made/");
    TOggRunner runner(workDir().filePath("ogg"));
    QDir().mkpath(phrases);
    for (int k = 1; k <= VoiceTables::PhraseCount; ++k) {
        const TWave sound = SampleSounds::chirp(200 + 10 * k, 2000, 1000 + 25 * k);
        if (!runner.EncodeOggFile(sound, VoiceChk::PhraseFile(phrases, k)))
            return {};
    }
    const QString vif = workDir().filePath("Voice.vif");
    VoiceFile::VifData data;
    data.name = QStringLiteral("Bench");
    VoiceFile::SaveVoice(vif, phrases, data, VoiceFile::blankPicture(), DeviceCodec());
    path = vif;
    return path;
}

void BM_UnpackVoice59Phrases(benchmark::State &state)
{
    const QString vif = voice();
    if (vif.isEmpty()) {
        state.SkipWithError("the Ogg encoder did not run");
        return;
    }
    const QString chk = VoiceFile::withExtension(vif, ".chk");
    for (auto _ : state)
        benchmark::DoNotOptimize(VoiceChk::Unpack(chk, workDir().filePath("unpacked/"), true).count);
    state.SetBytesProcessed(state.iterations() * QFile(chk).size());
}
BENCHMARK(BM_UnpackVoice59Phrases)->Unit(benchmark::kMillisecond);

void BM_EditorOpenVoice59Phrases(benchmark::State &state)
{
    const QString vif = voice();
    if (vif.isEmpty()) {
        state.SkipWithError("the Ogg encoder did not run");
        return;
    }
    QuietShell shell;
    TVoice editor(shell);
    editor.setPhraseFolder(workDir().filePath("editor/"));
    for (auto _ : state)
        editor.OpenVoice(vif);
}
BENCHMARK(BM_EditorOpenVoice59Phrases)->Unit(benchmark::kMillisecond);

void BM_SaveVoice59Phrases(benchmark::State &state)
{
    const QString vif = voice();
    if (vif.isEmpty()) {
        state.SkipWithError("the Ogg encoder did not run");
        return;
    }
    VoiceFile::VifData data;
    data.name = QStringLiteral("Saved");
    const QImage picture = VoiceFile::blankPicture();
    const QString target = workDir().filePath("saved/Saved.vif");
    QDir().mkpath(workDir().filePath("saved"));
    for (auto _ : state)
        VoiceFile::SaveVoice(target, workDir().filePath("made/"), data, picture, DeviceCodec());
    state.SetBytesProcessed(state.iterations() * QFile(VoiceFile::withExtension(vif, ".chk")).size());
}
BENCHMARK(BM_SaveVoice59Phrases)->Unit(benchmark::kMillisecond);

// From the table's move to another row until that row's phrase is in the waveform,
// counting the work only (the 0.55 s wait is in ticks).
void BM_PhraseLoadAfterRowChange(benchmark::State &state)
{
    const QString vif = voice();
    if (vif.isEmpty()) {
        state.SkipWithError("the Ogg encoder did not run");
        return;
    }
    QuietShell shell;
    TVoice editor(shell);
    editor.setPhraseFolder(workDir().filePath("editor/"));
    editor.OpenVoice(vif);
    editor.resize(600, 500);
    int row = 1;
    for (auto _ : state) {
        row = row % VoiceTables::PhraseCount + 1;
        editor.grid()->SetCurrentCell(1, row);
        while (editor.loadCountdown() > 0)
            editor.LMDHiTimer1Timer();
    }
    if (editor.currentSample() != row)
        state.SkipWithError("the phrase was not loaded");
}
BENCHMARK(BM_PhraseLoadAfterRowChange)->Unit(benchmark::kMillisecond);

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
