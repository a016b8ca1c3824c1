// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/Wave.h"

#include <QAudioFormat>
#include <QBuffer>
#include <QObject>
#include <QTimer>

class QAudioSink;
class QAudioSource;
class QIODevice;

// Records from the default input device into a storage document, replacing its
// content. OnLevel comes once per filled buffer with the buffer's peak level,
// OnDeactivate once per run, however the run ended; both on the UI thread.
class TStockAudioRecorder : public QObject {
    Q_OBJECT
public:
    explicit TStockAudioRecorder(QObject *parent = nullptr);
    ~TStockAudioRecorder() override;

    TWaveStorage *Stock = nullptr;
    TWaveFormat PCMFormat = Mono16bit22050Hz();
    int BufferLength = 100;   // ms

    bool Active() const { return m_active; }
    // Throws KorvixError naming the problem when the device is missing or fails.
    void SetActive(bool active);
    qint64 Position() const;   // ms recorded so far
    // Why the last run ended early; empty when it was stopped or ran normally.
    QString lastError() const { return m_lastError; }

signals:
    void OnLevel(int level);
    void OnDeactivate();
    // The device failed while running (errors at start are thrown instead); comes
    // right after OnDeactivate.
    void OnError(const QString &message);

private:
    void start();
    void finish(const QString &error);
    void readAvailable();

    QAudioSource *m_source = nullptr;
    QIODevice *m_io = nullptr;
    QByteArray m_pending;   // bytes of the buffer being filled
    bool m_active = false;
    QString m_lastError;
};

// Plays its own document (`Wave`) on the default output device. OnLevel comes every
// BufferLength ms with the peak of what was just played; OnDeactivate once per run,
// at the end of the sound or when stopped.
class TAudioPlayer : public QObject {
    Q_OBJECT
public:
    explicit TAudioPlayer(QObject *parent = nullptr);
    ~TAudioPlayer() override;

    TWave Wave;
    int BufferLength = 100;   // ms

    bool Active() const { return m_active; }
    void SetActive(bool active);
    qint64 Position() const;   // playing position in ms
    QString lastError() const { return m_lastError; }

signals:
    void OnLevel(int level);
    void OnDeactivate();
    void OnError(const QString &message);   // as the recorder's

private:
    void start();
    void finish(const QString &error);
    void tick();

    QAudioSink *m_sink = nullptr;
    QBuffer m_buffer;
    TWave m_playing;   // what the device plays: Wave as integer PCM
    QTimer m_timer;
    qint64 m_position = 0;
    bool m_active = false;
    QString m_lastError;
};

// QtMultimedia's sample format for a PCM record; invalid when it has none.
QAudioFormat audioFormatOf(const TWaveFormat &format);
