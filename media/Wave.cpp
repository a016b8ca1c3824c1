// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Wave.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/FileReader.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {
// Larger files are not sounds an editor can hold; refusing them keeps a hostile
// header or a huge file from exhausting memory.
constexpr qint64 MaxWaveFileSize = qint64(1) << 30;

quint16 u16(const char *p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char *p) { return qFromLittleEndian<quint32>(p); }

void put16(QByteArray &b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

void put32(QByteArray &b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}
} // namespace

TWaveFormat TWaveFormat::pcm(int channels, int samplesPerSec, int bitsPerSample)
{
    TWaveFormat f;
    f.formatTag = WaveFormatPCM;
    f.channels = quint16(channels);
    f.samplesPerSec = quint32(samplesPerSec);
    f.bitsPerSample = quint16(bitsPerSample);
    f.blockAlign = quint16(channels * ((bitsPerSample + 7) / 8));
    f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
    return f;
}

bool TWaveFormat::isPCM() const
{
    if (formatTag == WaveFormatPCM)
        return true;
    // Extensible records name their sub-format by a GUID whose first two bytes are
    // the plain format tag.
    return formatTag == WaveFormatExtensible && extra.size() >= 24 && u16(extra.constData() + 6) == WaveFormatPCM;
}

bool TWaveFormat::sameLayout(const TWaveFormat &o) const
{
    return isPCM() && o.isPCM() && channels == o.channels && samplesPerSec == o.samplesPerSec
        && bitsPerSample == o.bitsPerSample && blockAlign == o.blockAlign;
}

QString TWaveFormat::describe() const
{
    QString kind;
    switch (formatTag) {
    case WaveFormatPCM: kind = QStringLiteral("PCM"); break;
    case WaveFormatADPCM: kind = QStringLiteral("MS ADPCM"); break;
    case WaveFormatIEEEFloat: kind = QStringLiteral("float"); break;
    case WaveFormatALaw: kind = QStringLiteral("A-law"); break;
    case WaveFormatMuLaw: kind = QStringLiteral("mu-law"); break;
    case WaveFormatIMAADPCM: kind = QStringLiteral("IMA ADPCM"); break;
    case WaveFormatExtensible: kind = isPCM() ? QStringLiteral("PCM (extensible)") : QStringLiteral("extensible"); break;
    default: kind = QStringLiteral("format 0x%1").arg(formatTag, 4, 16, QLatin1Char('0')); break;
    }
    return QStringLiteral("%1 %2 %3 %4Hz %5 bit")
        .arg(kind)
        .arg(channels)
        .arg(channels == 1 ? QStringLiteral("channel") : QStringLiteral("channels"))
        .arg(samplesPerSec)
        .arg(bitsPerSample);
}

TWaveFormat Mono16bit22050Hz()
{
    return TWaveFormat::pcm(1, 22050, 16);
}

bool TWave::LoadFromFile(const QString &path, QString *error)
{
    // Regular files only and capped: a FIFO cannot block this, nor a device fill the memory.
    QString why;
    const std::optional<QByteArray> bytes = FileReader::read(path, std::min(MaxWaveFileSize, FileReader::MaxSoundBytes), &why);
    if (!bytes) {
        if (why == FileReader::notRegular(path) || why == FileReader::tooLarge(path))
            return fail(error, why);
        return fail(error, tr("Can't open the wave file %1").arg(path));
    }
    return LoadFromData(*bytes, error);
}

bool TWave::LoadFromData(const QByteArray &riff, QString *error)
{
    const qint64 size = riff.size();
    const char *p = riff.constData();
    if (size < 12 || memcmp(p, "RIFF", 4) != 0 || memcmp(p + 8, "WAVE", 4) != 0)
        return fail(error, tr("Not a RIFF wave file"));

    TWaveFormat format;
    bool haveFormat = false;
    qint64 dataAt = -1, dataSize = 0;
    // The RIFF size field is often wrong in the wild; the real file length counts.
    for (qint64 at = 12; at + 8 <= size;) {
        const quint32 chunkSize = u32(p + at + 4);
        const qint64 body = at + 8;
        if (memcmp(p + at, "fmt ", 4) == 0) {
            if (chunkSize < 16 || body + chunkSize > size)
                return fail(error, tr("The wave format record is damaged"));
            format.formatTag = u16(p + body);
            format.channels = u16(p + body + 2);
            format.samplesPerSec = u32(p + body + 4);
            format.avgBytesPerSec = u32(p + body + 8);
            format.blockAlign = u16(p + body + 12);
            format.bitsPerSample = u16(p + body + 14);
            if (chunkSize >= 18) {
                const qint64 cb = std::min<qint64>(u16(p + body + 16), chunkSize - 18);
                format.extra = riff.mid(body + 18, cb);
            }
            haveFormat = true;
        } else if (memcmp(p + at, "data", 4) == 0) {
            if (body + qint64(chunkSize) > size)
                return fail(error, tr("The wave data is truncated"));
            dataAt = body;
            dataSize = chunkSize;
        }
        if (haveFormat && dataAt >= 0)
            break;
        at = body + qint64(chunkSize) + (chunkSize & 1);
    }
    if (!haveFormat)
        return fail(error, tr("The wave file has no format record"));
    if (dataAt < 0)
        return fail(error, tr("The wave file has no data"));
    if (format.formatTag == 0 || format.channels == 0 || format.samplesPerSec == 0
        || format.avgBytesPerSec == 0 || format.blockAlign == 0)
        return fail(error, tr("The wave format record is damaged"));
    if (format.samplesPerSec < MinWaveRate || format.samplesPerSec > MaxWaveRate)
        return fail(error, tr("The sample rate %1 Hz is outside %2 to %3 Hz")
                               .arg(format.samplesPerSec).arg(MinWaveRate).arg(MaxWaveRate));

    m_format = format;
    m_data = riff.mid(dataAt, dataSize);
    m_reading = false;
    return true;
}

QByteArray TWave::toRiff() const
{
    QByteArray out = riffHead();
    out.reserve(out.size() + m_data.size() + 1);
    out.append(m_data);
    if (m_data.size() & 1)
        out.append('\0');
    return out;
}

QByteArray TWave::riffHead() const
{
    const TWaveFormat f = Empty() ? Mono16bit22050Hz() : m_format;
    QByteArray fmt;
    put16(fmt, f.formatTag);
    put16(fmt, f.channels);
    put32(fmt, f.samplesPerSec);
    put32(fmt, f.avgBytesPerSec);
    put16(fmt, f.blockAlign);
    put16(fmt, f.bitsPerSample);
    if (f.formatTag != WaveFormatPCM) {
        put16(fmt, quint16(f.extra.size()));
        fmt.append(f.extra);
    }
    QByteArray out;
    const bool pad = fmt.size() & 1;
    out.append("RIFF", 4);
    put32(out, quint32(4 + 8 + fmt.size() + pad + 8 + m_data.size() + (m_data.size() & 1)));
    out.append("WAVEfmt ", 8);
    put32(out, quint32(fmt.size()));
    out.append(fmt);
    if (pad)
        out.append('\0');
    out.append("data", 4);
    put32(out, quint32(m_data.size()));
    return out;
}

void TWave::SaveToFile(const QString &path) const
{
    const QString why = AtomicFile::write(path, toRiff());
    if (!why.isEmpty())
        throw KorvixError(tr("Can't write the wave file %1: %2").arg(path, why));
}

void TWave::Clear()
{
    m_format = TWaveFormat();
    m_data.clear();
    m_reading = false;
}

bool TWave::Valid() const
{
    return !Empty() && m_format.avgBytesPerSec > 0 && m_format.blockAlign > 0;
}

qint64 TWave::Length() const
{
    return Valid() ? bytesToMs(m_data.size()) : 0;
}

void TWave::Assign(const TWaveFormat &format, const QByteArray &data)
{
    m_format = format;
    m_data = data;
    m_reading = false;
}

qint64 TWave::msToBytes(qint64 ms) const
{
    if (!Valid() || ms <= 0)
        return 0;
    const qint64 bytes = qint64(std::llround(double(m_format.avgBytesPerSec) * double(ms) / 1000.0));
    return bytes - bytes % m_format.blockAlign;
}

qint64 TWave::bytesToMs(qint64 bytes) const
{
    if (!Valid() || bytes <= 0)
        return 0;
    return qint64(std::llround(1000.0 * double(bytes) / double(m_format.avgBytesPerSec)));
}

int PeakLevel16(const char *bytes, qint64 size)
{
    int peak = 0;
    for (qint64 i = 0; i + 1 < size; i += 2)
        peak = std::max<int>(peak, qint16(u16(bytes + i)));
    return peak * 100 / 32767;
}

int TWave::PeakLevel() const
{
    if (!Valid() || m_format.bitsPerSample != 16)
        return 0;
    return PeakLevel16(m_data.constData(), m_data.size());
}

void TWave::ChangeVolume(int percent)
{
    if (!Valid() || m_format.bitsPerSample != 16)
        return;
    char *p = m_data.data();
    const qint64 n = m_data.size() & ~qint64(1);
    for (qint64 i = 0; i < n; i += 2) {
        const qint64 s = qint16(u16(p + i));
        const qint64 v = std::clamp<qint64>(s + s * percent / 100, -32767, 32767);
        qToLittleEndian(quint16(qint16(v)), p + i);
    }
}

int TWave::Normalize()
{
    const int v = PeakLevel();
    if (v <= 0 || v >= 100)
        return 0;
    const int percent = (100 - v) * 100 / v;
    ChangeVolume(percent);
    return percent;
}

bool TWave::range(qint64 pos, qint64 len, qint64 &from, qint64 &to) const
{
    if (!Valid() || len <= 0)
        return false;
    from = msToBytes(pos);
    const qint64 n = msToBytes(len);
    if (n <= 0 || from >= m_data.size())
        return false;
    to = std::min<qint64>(m_data.size(), from + n);
    return true;
}

bool TWave::CopyRange(const TWave &source, qint64 pos, qint64 len)
{
    qint64 from, to;
    if (!source.range(pos, len, from, to))
        return false;
    QByteArray part = source.m_data.mid(from, to - from);
    m_format = source.m_format;
    m_data = std::move(part);
    m_reading = false;
    return true;
}

bool TWave::CropRange(qint64 pos, qint64 len)
{
    qint64 from, to;
    if (!range(pos, len, from, to))
        return false;
    m_data = m_data.mid(from, to - from);
    return true;
}

bool TWave::DeleteRange(qint64 pos, qint64 len)
{
    qint64 from, to;
    if (!range(pos, len, from, to))
        return false;
    m_data.remove(from, to - from);
    return true;
}

bool TWave::InsertSilence(qint64 pos, qint64 len)
{
    if (!Valid() || len <= 0)
        return false;
    const qint64 n = msToBytes(len);
    if (n <= 0)
        return false;
    const qint64 at = std::min<qint64>(msToBytes(pos), m_data.size());
    // 8-bit PCM is unsigned: its silence is the middle value.
    const char zero = (m_format.isPCM() && m_format.bitsPerSample == 8) ? char(0x80) : char(0);
    m_data.insert(at, QByteArray(n, zero));
    return true;
}

bool TWave::SilenceRange(qint64 pos, qint64 len)
{
    qint64 from, to;
    if (!range(pos, len, from, to))
        return false;
    const char zero = (m_format.isPCM() && m_format.bitsPerSample == 8) ? char(0x80) : char(0);
    memset(m_data.data() + from, zero, size_t(to - from));
    return true;
}

bool TWave::BeginRead() const
{
    if (!Valid())
        return false;
    m_reading = true;
    m_readPos = 0;
    return true;
}

bool TWave::Seek(qint64 byteOffset) const
{
    if (!m_reading || byteOffset < 0)
        return false;
    m_readPos = std::min<qint64>(byteOffset, m_data.size());
    return true;
}

qint64 TWave::Read(char *buffer, qint64 size) const
{
    if (!m_reading || size <= 0)
        return 0;
    const qint64 n = std::min<qint64>(size, m_data.size() - m_readPos);
    memcpy(buffer, m_data.constData() + m_readPos, size_t(n));
    m_readPos += n;
    return n;
}

QString SoundTimeText(qint64 t, const QLocale &locale)
{
    if (t < 0)
        t = 0;
    // The locale's time separator is the first character of its short time format
    // that is not part of a field.
    QString timeSep = QStringLiteral(":");
    for (const QChar c : locale.timeFormat(QLocale::ShortFormat)) {
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace()) {
            timeSep = c;
            break;
        }
    }
    const QString dec = locale.decimalPoint();
    const qint64 h = t / 3600000, m = t / 60000, s = t / 1000, c = (t / 10) % 100;
    auto two = [](qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    if (h > 0)
        return QString::number(h) + timeSep + two(m % 60) + timeSep + two(s % 60) + dec + two(c);
    if (m > 0)
        return QString::number(m) + timeSep + two(s % 60) + dec + two(c);
    return QString::number(s) + dec + two(c);
}
