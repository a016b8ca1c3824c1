// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/AudioKit.h"

#include "platform/ErrorGuard.h"

#include <QDir>
#include <QFileInfo>

TAudioKit::TAudioKit(QWidget *boxParent, QObject *parent)
    : QObject(parent), m_box(new TRBSoundBox(boxParent))
{
    m_box->SetWaveStorage(&storage);
    recorder.Stock = &storage;
    recorder.PCMFormat = Mono16bit22050Hz();
    recorder.BufferLength = 100;
    player.BufferLength = 100;

    connect(&recorder, &TStockAudioRecorder::OnLevel, this, [this](int level) {
        if (m_box)
            m_box->ShowLevel(level, recorder.Position(), RecordingLimitMs);
        if (recorder.Position() > RecordingLimitMs)
            recorder.SetActive(false);
    });
    connect(&recorder, &TStockAudioRecorder::OnDeactivate, this, [this] {
        if (m_box)
            m_box->RefreshWave(true);
    });
    connect(&player, &TAudioPlayer::OnLevel, this, [this](int level) {
        if (m_box)
            m_box->ShowLevel(level, player.Position(), 0);
    });
    connect(&player, &TAudioPlayer::OnDeactivate, this, [this] {
        if (m_box)
            m_box->ShowLevel(0, storage.Wave.Length(), 0);
    });
    // A device that fails while running has no command to end: its text goes to the
    // standard error box once the device's own signal has returned.
    auto showError = [this](const QString &message) { ErrorGuard::show(m_box ? m_box->window() : nullptr, message); };
    connect(&recorder, &TStockAudioRecorder::OnError, this, showError, Qt::QueuedConnection);
    connect(&player, &TAudioPlayer::OnError, this, showError, Qt::QueuedConnection);
}

TAudioKit::~TAudioKit()
{
    if (m_box && !m_box->parent())
        delete m_box.data();
}

void TAudioKit::Play()
{
    if (m_box->HasSelection())
        player.Wave.CopyRange(storage.Wave, m_box->SelectionStart(), m_box->SelectionLength());
    else
        player.Wave = storage.Wave;
    player.SetActive(true);
}

void TAudioKit::Record()
{
    storage.Wave.Clear();
    recorder.SetActive(true);
}

void TAudioKit::Stop()
{
    player.SetActive(false);
    recorder.SetActive(false);
}

bool TAudioKit::LoadSound(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("ogg"), Qt::CaseInsensitive) == 0) {
        TWave decoded;
        return runner.DecodeOggFile(path, decoded) && m_box->TakeWave(std::move(decoded));
    }
    return m_box->LoadWave(path);
}

bool TAudioKit::SaveSound(const QString &target)
{
    if (QFileInfo(target).suffix().compare(QLatin1String("ogg"), Qt::CaseInsensitive) == 0)
        return runner.EncodeOggFile(storage.Wave, target);
    const TOggRunner::Hold hold(runner);
    if (!hold)
        return false;
    storage.Wave.SaveToFile(runner.workWave());
    return CopyFileAtomically(runner.workWave(), target);
}
