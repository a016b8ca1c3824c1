// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DeviceCodec.h"

#include <array>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const char16_t kCp1250[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

const char16_t kCp1252[128] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

using Reverse = std::array<unsigned char, 65536>;

Reverse makeReverse(const char16_t *high)
{
    Reverse r{};
    for (int b = 0; b < 128; ++b)
        r[b] = static_cast<unsigned char>(b);
    for (int b = 0; b < 128; ++b)
        r[high[b]] = static_cast<unsigned char>(0x80 + b);
    return r;
}

const unsigned char *reverseOf(DeviceCodec::Kind kind)
{
    static const Reverse r1250 = makeReverse(kCp1250);
    static const Reverse r1252 = makeReverse(kCp1252);
    switch (kind) {
    case DeviceCodec::Kind::Cp1250: return r1250.data();
    case DeviceCodec::Kind::Cp1252: return r1252.data();
    default: return nullptr;
    }
}

} // namespace

DeviceCodec::DeviceCodec(Kind kind)
    : m_kind(kind),
      m_high(kind == Kind::Cp1250 ? kCp1250 : kind == Kind::Cp1252 ? kCp1252 : nullptr),
      m_reverse(reverseOf(kind))
{
}

DeviceCodec::Kind DeviceCodec::kindFromName(const QString &name)
{
    const QString n = name.trimmed().toUpper();
    if (n == QLatin1String("1252") || n == QLatin1String("CP1252") || n == QLatin1String("WINDOWS-1252"))
        return Kind::Cp1252;
    if (n == QLatin1String("UTF-8") || n == QLatin1String("UTF8") || n == QLatin1String("65001"))
        return Kind::Utf8;
    return Kind::Cp1250;
}

char16_t DeviceCodec::charOf(unsigned char byte) const
{
    if (byte < 0x80 || !m_high)
        return byte;
    return m_high[byte - 0x80];
}

QString DeviceCodec::toUnicode(QByteArrayView bytes) const
{
    QString s;
    appendUnicode(s, bytes);
    return s;
}

void DeviceCodec::appendUnicode(QString &out, QByteArrayView bytes) const
{
    if (!m_high) {
        out += QString::fromUtf8(bytes);
        return;
    }
    const qsizetype old = out.size();
    out.resize(old + bytes.size());
    char16_t *d = reinterpret_cast<char16_t *>(out.data()) + old;
    const unsigned char *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    // Device texts are mostly ASCII: sixteen bytes without a high bit are widened
    // at once instead of looked up one by one.
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        if (_mm_movemask_epi8(block) != 0) {
            for (qsizetype k = i; k < i + 16; ++k)
                d[k] = s[k] < 0x80 ? char16_t(s[k]) : m_high[s[k] - 0x80];
        } else {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(d + i), _mm_unpacklo_epi8(block, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(d + i + 8), _mm_unpackhi_epi8(block, zero));
        }
    }
#endif
    for (; i < n; ++i)
        d[i] = s[i] < 0x80 ? char16_t(s[i]) : m_high[s[i] - 0x80];
}

QByteArray DeviceCodec::fromUnicode(QStringView text) const
{
    QByteArray out;
    appendBytes(out, text);
    return out;
}

void DeviceCodec::appendBytes(QByteArray &out, QStringView text) const
{
    if (!m_reverse) {
        out += text.toUtf8();
        return;
    }
    const qsizetype old = out.size();
    out.resize(old + text.size());
    char *d = out.data() + old;
    const char16_t *s = reinterpret_cast<const char16_t *>(text.data());
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            d[i] = char(c);
        } else {
            const unsigned char b = m_reverse[c];
            d[i] = b ? char(b) : '?';
        }
    }
}
