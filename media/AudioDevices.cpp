// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/AudioDevices.h"

#include "platform/Error.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QAudioSource>
#include <QCoreApplication>
#include <QMediaDevices>

namespace {
QString deviceErrorText(QAudio::Error error, bool input)
{
    switch (error) {
    case QAudio::OpenError:
        return input ? QCoreApplication::translate("TStockAudioRecorder", "The sound input device cannot be opened")
                     : QCoreApplication::translate("TAudioPlayer", "The sound output device cannot be opened");
    case QAudio::IOError:
        return input ? QCoreApplication::translate("TStockAudioRecorder", "The sound input device failed while recording")
                     : QCoreApplication::translate("TAudioPlayer", "The sound output device failed while playing");
    case QAudio::FatalError:
        return input ? QCoreApplication::translate("TStockAudioRecorder", "The sound input device is no longer available")
                     : QCoreApplication::translate("TAudioPlayer", "The sound output device is no longer available");
    default:
        return {};
    }
}

int levelOf(const TWaveFormat &format, const char *bytes, qint64 size)
{
    return format.bitsPerSample == 16 ? PeakLevel16(bytes, size) : 0;
}
} // namespace

QAudioFormat audioFormatOf(const TWaveFormat &f)
{
    QAudioFormat q;
    if (!f.isPCM() && f.formatTag != WaveFormatIEEEFloat)
        return q;
    switch (f.bitsPerSample) {
    case 8: q.setSampleFormat(QAudioFormat::UInt8); break;
    case 16: q.setSampleFormat(QAudioFormat::Int16); break;
    case 32: q.setSampleFormat(f.formatTag == WaveFormatIEEEFloat ? QAudioFormat::Float : QAudioFormat::Int32); break;
    default: return QAudioFormat();
    }
    if (f.formatTag == WaveFormatIEEEFloat && f.bitsPerSample != 32)
        return QAudioFormat();
    q.setChannelCount(f.channels);
    q.setSampleRate(int(f.samplesPerSec));
    return q;
}

// ---------------------------------------------------------------------------------

TStockAudioRecorder::TStockAudioRecorder(QObject *parent) : QObject(parent) {}

TStockAudioRecorder::~TStockAudioRecorder()
{
    if (m_source) {
        m_source->disconnect(this);
        m_source->stop();
        delete m_source;
    }
}

qint64 TStockAudioRecorder::Position() const
{
    return Stock ? Stock->Wave.Length() : 0;
}

void TStockAudioRecorder::SetActive(bool active)
{
    if (active == m_active)
        return;
    if (active)
        start();
    else
        finish(QString());
}

void TStockAudioRecorder::start()
{
    if (!Stock)
        throw KorvixError(tr("The recorder has no wave storage"));
    const QAudioFormat format = audioFormatOf(PCMFormat);
    if (!format.isValid())
        throw KorvixError(tr("The recording format is not PCM"));
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull())
        throw KorvixError(tr("No sound input device is available"));
    if (!device.isFormatSupported(format))
        throw KorvixError(tr("The sound input device cannot record %1").arg(PCMFormat.describe()));

    auto *source = new QAudioSource(device, format, this);
    // Small device buffers keep the level reports close to real time.
    source->setBufferSize(int(PCMFormat.avgBytesPerSec) * BufferLength / 1000 * 2);
    QIODevice *io = source->start();
    if (!io || source->error() != QAudio::NoError) {
        const QString why = deviceErrorText(source->error() == QAudio::NoError ? QAudio::OpenError : source->error(), true);
        delete source;
        throw KorvixError(why);
    }
    Stock->Wave.Assign(PCMFormat);
    m_pending.clear();
    m_lastError.clear();
    m_source = source;
    m_io = io;
    m_active = true;
    connect(io, &QIODevice::readyRead, this, &TStockAudioRecorder::readAvailable);
    connect(source, &QAudioSource::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && m_source && m_source->error() != QAudio::NoError)
            finish(deviceErrorText(m_source->error(), true));
    });
}

void TStockAudioRecorder::readAvailable()
{
    if (!m_active || !m_io)
        return;
    const QByteArray bytes = m_io->readAll();
    if (bytes.isEmpty())
        return;
    // Whole blocks only: a sample split over two reads stays pending.
    const int block = std::max<int>(1, PCMFormat.blockAlign);
    m_pending.append(bytes);
    const qint64 bufferBytes = std::max<qint64>(block, qint64(PCMFormat.avgBytesPerSec) * BufferLength / 1000 / block * block);
    while (m_active && m_pending.size() >= bufferBytes) {
        Stock->Wave.AppendData(m_pending.constData(), bufferBytes);
        const int level = levelOf(PCMFormat, m_pending.constData(), bufferBytes);
        m_pending.remove(0, bufferBytes);
        emit OnLevel(level);   // the handler may stop the recorder
    }
}

void TStockAudioRecorder::finish(const QString &error)
{
    if (!m_active)
        return;
    m_active = false;
    m_lastError = error;
    QAudioSource *source = m_source;
    m_source = nullptr;
    if (source) {
        source->disconnect(this);
        if (m_io) {
            m_io->disconnect(this);
            m_pending.append(m_io->readAll());
        }
        source->stop();
        source->deleteLater();
    }
    m_io = nullptr;
    if (Stock) {
        const int block = std::max<int>(1, PCMFormat.blockAlign);
        Stock->Wave.AppendData(m_pending.constData(), m_pending.size() / block * block);
    }
    m_pending.clear();
    emit OnDeactivate();
    if (!error.isEmpty())
        emit OnError(error);
}

// ---------------------------------------------------------------------------------

TAudioPlayer::TAudioPlayer(QObject *parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TAudioPlayer::tick);
}

TAudioPlayer::~TAudioPlayer()
{
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        delete m_sink;
    }
}

qint64 TAudioPlayer::Position() const
{
    return m_position;
}

void TAudioPlayer::SetActive(bool active)
{
    if (active == m_active)
        return;
    if (active)
        start();
    else
        finish(QString());
}

void TAudioPlayer::start()
{
    m_playing = Wave;
    if (m_playing.Empty())
        m_playing.Assign(Mono16bit22050Hz());
    QAudioFormat format = audioFormatOf(m_playing.Format());
    if (!format.isValid()) {
        // Compressed or odd-width documents are played as the working format.
        if (!m_playing.ConvertToPCM(Mono16bit22050Hz()))
            throw KorvixError(tr("The sound cannot be played: %1").arg(m_playing.Format().describe()));
        format = audioFormatOf(m_playing.Format());
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        throw KorvixError(tr("No sound output device is available"));
    if (!device.isFormatSupported(format))
        throw KorvixError(tr("The sound output device cannot play %1").arg(m_playing.Format().describe()));

    m_buffer.close();
    m_buffer.setData(m_playing.Data());
    m_buffer.open(QIODevice::ReadOnly);
    auto *sink = new QAudioSink(device, format, this);
    sink->setBufferSize(int(m_playing.Format().avgBytesPerSec) * BufferLength / 1000 * 2);
    sink->start(&m_buffer);
    if (sink->error() != QAudio::NoError && sink->state() == QAudio::StoppedState) {
        const QString why = deviceErrorText(sink->error(), false);
        delete sink;
        m_buffer.close();
        throw KorvixError(why.isEmpty() ? deviceErrorText(QAudio::OpenError, false) : why);
    }
    m_sink = sink;
    m_position = 0;
    m_lastError.clear();
    m_active = true;
    connect(sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (!m_sink)
            return;
        if (state == QAudio::IdleState && m_buffer.atEnd())
            finish(QString());   // the whole sound went to the device
        else if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError)
            finish(deviceErrorText(m_sink->error(), false));
    });
    m_timer.start(BufferLength);
}

void TAudioPlayer::tick()
{
    if (!m_active || !m_sink)
        return;
    m_position = std::min<qint64>(m_sink->processedUSecs() / 1000, m_playing.Length());
    const qint64 end = m_playing.msToBytes(m_position);
    const qint64 from = std::max<qint64>(0, end - m_playing.msToBytes(BufferLength));
    emit OnLevel(levelOf(m_playing.Format(), m_playing.Data().constData() + from, end - from));
}

void TAudioPlayer::finish(const QString &error)
{
    if (!m_active)
        return;
    m_active = false;
    m_lastError = error;
    m_timer.stop();
    if (m_sink) {
        m_position = std::min<qint64>(m_sink->processedUSecs() / 1000, m_playing.Length());
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    m_buffer.close();
    emit OnDeactivate();
    if (!error.isEmpty())
        emit OnError(error);
}
