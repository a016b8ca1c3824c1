// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/AudioDevices.h"
#include "media/OggRunner.h"
#include "media/SoundBox.h"
#include "media/Wave.h"

#include <QObject>
#include <QPointer>

// What every sound-capable editor owns: the document being edited, a recorder into
// it, a player, the waveform box over it and a runner for the Ogg programs, wired the
// way all three editors use them (level reports to the box, the recording limit).
// Editors connect their own extra handlers to `recorder` and `player` signals.
class TAudioKit : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 RecordingLimitMs = 10000;

    // The box is created as a child of `boxParent` (the editor places it); without a
    // parent the kit deletes it.
    explicit TAudioKit(QWidget *boxParent, QObject *parent = nullptr);
    ~TAudioKit() override;

    TWaveStorage storage;
    TStockAudioRecorder recorder;
    TAudioPlayer player;
    TOggRunner runner;
    TRBSoundBox *box() const { return m_box; }

    bool isRecording() const { return recorder.Active(); }
    bool isPlaying() const { return player.Active(); }
    bool isEmpty() const { return storage.Wave.Empty() || storage.Wave.DataSize() == 0; }

    // The selection, or the whole sound when nothing is selected, to the player;
    // starts it. A selection the document cannot copy keeps the player's previous one.
    void Play();
    // Clears the document and records into it until Stop or the 10-second limit.
    void Record();
    void Stop();

    // An ".ogg" file (any case) through the decoder, anything else as a wave file;
    // the document changes only on success.
    bool LoadSound(const QString &path);
    // Writes the document to `target`: Ogg Vorbis for an ".ogg" name, else a wave
    // file. Throws KorvixError when the work wave cannot be written.
    bool SaveSound(const QString &target);

private:
    // The editor's window owns the box; it may go first when the window closes.
    QPointer<TRBSoundBox> m_box;
};
