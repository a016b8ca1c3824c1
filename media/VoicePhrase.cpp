// SPDX-License-Identifier: GPL-3.0-or-later
// The voice editor's phrase editing: loading the current row's phrase into the
// waveform after the table has rested on it, and the sound commands on that phrase.
#include "media/AudioKit.h"
#include "media/Voice.h"
#include "media/VoiceChk.h"
#include "media/VoiceSpeech.h"
#include "media/VoiceTables.h"

#include "grid/RBGrids.h"
#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

void TVoice::RBGrid1SelectCell(int row, bool &canSelect)
{
    Q_UNUSED(row)
    // The waveform belongs to the current phrase until it is encoded or discarded.
    if (SampleEdited || isPlaying() || isRecording()) {
        canSelect = false;
        return;
    }
    // Scrolling through the table decodes only the row it rests on.
    LoadCountdown = LoadCountdown != 0 ? FurtherLoadTicks : FirstLoadTicks;
    // The phrase in the waveform is no longer the current row's: no command on it.
    Loading = true;
}

void TVoice::LMDHiTimer1Timer()
{
    if (m_inTick)
        return;
    m_inTick = true;
    if (LoadCountdown == 1)
        ErrorGuard::run(m_shell.window(), [this] { loadPhrase(); });
    if (LoadCountdown > 0)
        --LoadCountdown;
    Loading = LoadCountdown > 0;
    m_inTick = false;
}

void TVoice::loadPhrase()
{
    const int k = m_grid->Row();
    m_audio->storage.Wave.Clear();
    CurrentSample = k;
    ++m_phraseLoads;
    const QString file = phraseFile(k);
    if (!QFileInfo(file).isFile() || !m_audio->LoadSound(file))
        m_audio->box()->RefreshWave(true);
}

void TVoice::phraseChanged()
{
    m_grid->MarkRow(CurrentSample, EditedBit);
    SampleEdited = true;
    Cap(true);
}

void TVoice::PlaySound()
{
    if (Loading)
        return;
    m_audio->Play();
    m_grid->setFocus();
}

void TVoice::RecSound()
{
    if (Loading)
        return;
    phraseChanged();
    m_audio->Record();
}

void TVoice::StopSound()
{
    m_audio->Stop();
    m_grid->setFocus();
}

void TVoice::CropSound()
{
    m_audio->box()->CropToSelection();
    phraseChanged();
}

void TVoice::DeleteSound()
{
    m_audio->box()->DeleteSelection();
    phraseChanged();
}

void TVoice::NormalizeSound()
{
    m_audio->box()->NormalizeWave();
    phraseChanged();
}

void TVoice::RedoSound()
{
    if (Loading)
        return;
    SampleEdited = false;
    Cap(true);
    m_grid->UnmarkRow(CurrentSample, EditedBit);
    LoadCountdown = 1;
    m_grid->setFocus();
}

void TVoice::ImportSound()
{
    const QString file = prompts.openSound(this);
    if (!file.isEmpty() && m_audio->LoadSound(file)) {
        CurrentSample = m_grid->Row();
        phraseChanged();
    }
    m_grid->setFocus();
}

void TVoice::SaveSound()
{
    const int k = CurrentSample;
    const TOggRunner &runner = m_audio->runner;
    const TOggRunner::Hold hold(runner);
    if (!hold || !runner.OggEncode(m_audio->storage.Wave)) {
        prompts.message(this, VoiceChk::phraseProblem(k, tr("the sound could not be encoded (is oggenc installed?)")));
        return;
    }
    // A phrase longer than a container record could never be saved with the voice.
    const qint64 size = QFileInfo(runner.workOgg()).size();
    if (size > VoiceChk::MaxOggBytes) {
        prompts.message(this, VoiceChk::phraseTooLong(k, size) + QLatin1Char('\n')
                                  + tr("Shorten it (Trim or Delete) and save it again."));
        return;
    }
    QDir().mkpath(m_phraseFolder);
    try {
        if (!runner.CopyWorkOggTo(phraseFile(k))) {
            prompts.message(this, VoiceChk::phraseProblem(k, tr("the phrase file could not be written")));
            return;
        }
    } catch (const KorvixError &e) {
        prompts.message(this, VoiceChk::phraseProblem(k, e.message()));
        return;
    }
    m_grid->UnmarkRow(k, 2 | DamagedBit | EditedBit);
    SampleEdited = false;
    Cap(true);
    setOggInfo(k);
    m_grid->setFocus();
}

void TVoice::SpeakClick()
{
    if (SampleEdited || isPlaying() || isRecording()) {
        prompts.message(this, tr("Save or discard the phrase being edited first."));
        return;
    }
    const TOggRunner &runner = m_audio->runner;
    if (!VoiceSpeech::available(runner)) {
        prompts.message(this,
                        tr("The speech synthesiser %1 is not installed.").arg(QLatin1String(VoiceSpeech::Speaker)));
        return;
    }
    const QString language =
        prompts.speechLanguage(this, VoiceSpeech::languages(runner), VoiceSpeech::programLanguage());
    if (!language.isEmpty())
        SpeakAllPhrases(language);
}

void TVoice::SpeakAllPhrases(const QString &speechLanguage)
{
    m_shell.ShowProgress(tr("Speaking"), 0, VoiceTables::PhraseCount, 0);
    struct Done {
        TVoice *w;
        ~Done()
        {
            w->m_shell.SetStatus(QString());
            // The current phrase is loaded again whatever was spoken.
            w->LoadCountdown = 1;
            w->Loading = true;
        }
    } done{this};
    VoiceSpeech::SpeakAll(speechLanguage, m_phraseFolder, m_audio->runner, [this](int k) {
        m_grid->UnmarkRow(k, 2 | DamagedBit | EditedBit);
        setOggInfo(k);
        Cap(true);
        m_shell.StepProgress();
        // Each phrase takes two program runs: the bar is repainted, input waits.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    if (m_language->currentIndex() < 0)
        m_language->setCurrentIndex(VoiceSpeech::languageIndex(speechLanguage));
}
