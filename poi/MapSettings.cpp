// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/MapSettings.h"

#include "platform/DeviceCodec.h"

#include <QIODevice>

namespace MapSettings {

namespace {

constexpr qsizetype MaxNameBytes = 64 * 1024;

// Sequential bytes of a device, a block at a time.
class Bytes {
public:
    explicit Bytes(QIODevice &in) : m_in(in) {}
    // The next byte, or -1 at the end (or on a read error).
    int next()
    {
        if (m_pos == m_block.size() && !refill())
            return -1;
        return quint8(m_block[m_pos++]);
    }
    // `n` bytes little-endian, false when the file ends first.
    bool number(int n, quint32 &value)
    {
        value = 0;
        for (int i = 0; i < n; ++i) {
            const int b = next();
            if (b < 0)
                return false;
            value |= quint32(b) << (8 * i);
        }
        return true;
    }
    bool failed() const { return m_failed; }

private:
    bool refill()
    {
        m_block.resize(BlockSize);
        const qint64 got = m_in.read(m_block.data(), BlockSize);
        m_failed = m_failed || got < 0;
        m_block.resize(got > 0 ? qsizetype(got) : 0);
        m_pos = 0;
        return got > 0;
    }
    static constexpr qint64 BlockSize = 64 * 1024;
    QIODevice &m_in;
    QByteArray m_block;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

} // namespace

bool scan(QIODevice &in, const DeviceCodec &codec, const std::function<void(const Record &)> &found)
{
    Bytes bytes(in);
    QByteArray name;
    for (int b = bytes.next(); b >= 0; b = bytes.next()) {
        if (b != 0x08)
            continue;
        // A failed check goes on after the bytes read so far.
        if (bytes.next() != 0x00)
            continue;
        quint32 unused, kind, lon, lat;
        if (!bytes.number(4, unused) || !bytes.number(4, unused) || !bytes.number(2, kind))
            break;
        if (kind != 8)
            continue;
        if (!bytes.number(4, lon) || !bytes.number(4, lat))
            break;
        const int skipped = bytes.next();
        if (skipped < 0 || (skipped == 0x1B && bytes.next() < 0))
            break;
        name.clear();
        // A name runs to its end, but what is kept of it stays small.
        for (int c = bytes.next(); c >= 32; c = bytes.next())
            if (name.size() < MaxNameBytes)
                name.append(char(c));
        found({qint32(lon), qint32(lat), codec.toUnicode(name)});
    }
    return !bytes.failed();
}

QString degreesText(qint32 units)
{
    const bool negative = units < 0;
    const quint32 a = negative ? quint32(0) - quint32(units) : quint32(units);
    QString s = QString::number(a / 100000);
    if (const quint32 fraction = a % 100000) {
        QString digits = QString::number(fraction).rightJustified(5, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        s += u'.' + digits;
    }
    return negative ? u'-' + s : s;
}

} // namespace MapSettings
