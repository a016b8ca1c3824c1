// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QCoreApplication>
#include <QLocale>
#include <QString>

// Format tags of the wave format record.
enum : quint16 {
    WaveFormatPCM = 0x0001,
    WaveFormatADPCM = 0x0002,
    WaveFormatIEEEFloat = 0x0003,
    WaveFormatALaw = 0x0006,
    WaveFormatMuLaw = 0x0007,
    WaveFormatIMAADPCM = 0x0011,
    WaveFormatExtensible = 0xFFFE,
};

// The format record of a RIFF wave file. `extra` holds the bytes after the 18-byte
// record (ADPCM block sizes, the extensible sub-format), kept so a loaded file can be
// handed back to the decoder unchanged.
struct TWaveFormat {
    quint16 formatTag = 0;
    quint16 channels = 0;
    quint32 samplesPerSec = 0;
    quint32 avgBytesPerSec = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
    QByteArray extra;

    static TWaveFormat pcm(int channels, int samplesPerSec, int bitsPerSample);
    bool isPCM() const;   // plain integer PCM (also as an extensible record)
    bool sameLayout(const TWaveFormat &o) const;
    QString describe() const;   // e.g. "PCM 1 channel 22050Hz 16 bit"
};

// The working format of every editor: PCM, mono, 22050 samples/s, 16 bit.
TWaveFormat Mono16bit22050Hz();

// Sample rates a real wave file can have; a header outside them is damaged or
// hostile, and converting it would multiply the sound's size without bound.
constexpr quint32 MinWaveRate = 1000;
constexpr quint32 MaxWaveRate = 384000;
// The largest PCM sound a conversion may produce.
constexpr qint64 MaxConvertedBytes = qint64(256) << 20;

// A RIFF wave file in memory: a format record and the sample data. Positions and
// lengths are milliseconds; the time base rounds to the nearest byte, then down to a
// whole block.
class TWave {
    Q_DECLARE_TR_FUNCTIONS(TWave)
public:
    // Reads a RIFF wave file of any format; keeps the document unchanged and returns
    // false (with the reason in *error) when the file is not one.
    bool LoadFromFile(const QString &path, QString *error = nullptr);
    bool LoadFromData(const QByteArray &riff, QString *error = nullptr);
    // Writes a RIFF wave file through QSaveFile; throws KorvixError when that fails.
    void SaveToFile(const QString &path) const;
    QByteArray toRiff() const;

    void Clear();
    bool Empty() const { return m_format.formatTag == 0; }
    bool Valid() const;
    qint64 Length() const;
    qint64 DataSize() const { return m_data.size(); }
    const TWaveFormat &Format() const { return m_format; }
    const QByteArray &Data() const { return m_data; }

    // A document of the given format holding `data`; an empty `data` still gives a
    // document that is not Empty (it has its header).
    void Assign(const TWaveFormat &format, const QByteArray &data = {});
    void AppendData(const char *bytes, qint64 size) { m_data.append(bytes, size); }

    // Converts to integer PCM of `target`'s layout; false (the document unchanged,
    // the reason in *error) when the document cannot be decoded or the result would
    // be larger than MaxConvertedBytes.
    bool ConvertToPCM(const TWaveFormat &target, QString *error = nullptr);

    int PeakLevel() const;
    void ChangeVolume(int percent);
    // Raises the largest positive sample to about full scale; returns the percent
    // applied, 0 when nothing was done (silent or already at 100 %).
    int Normalize();

    bool CopyRange(const TWave &source, qint64 pos, qint64 len);
    bool CropRange(qint64 pos, qint64 len);
    bool DeleteRange(qint64 pos, qint64 len);
    bool InsertSilence(qint64 pos, qint64 len);
    // Zeroes the data from pos for len (cut at the end) in place, so the length
    // stays exactly what it was; same conditions as DeleteRange.
    bool SilenceRange(qint64 pos, qint64 len);

    // Sequential reading of the sample data: BeginRead, Seek/Read..., EndRead.
    bool BeginRead() const;
    bool Seek(qint64 byteOffset) const;
    qint64 Read(char *buffer, qint64 size) const;
    void EndRead() const { m_reading = false; }

    qint64 msToBytes(qint64 ms) const;
    qint64 bytesToMs(qint64 bytes) const;

private:
    // The RIFF header and the data chunk's header, without the data.
    QByteArray riffHead() const;
    // Byte range [from, to) of pos/len, cut at the end; false under the shared rules.
    bool range(qint64 pos, qint64 len, qint64 &from, qint64 &to) const;

    TWaveFormat m_format;
    QByteArray m_data;
    mutable bool m_reading = false;
    mutable qint64 m_readPos = 0;
};

// The peak of 16-bit little-endian samples: largest value × 100 ÷ 32767; negative
// samples do not count.
int PeakLevel16(const char *bytes, qint64 size);

// The document being edited, as the recorder and the waveform box share it.
class TWaveStorage {
public:
    TWave Wave;
};

// "1:05.20", "3.07": hours, minutes and seconds with the locale's separators.
QString SoundTimeText(qint64 ms, const QLocale &locale = QLocale());
