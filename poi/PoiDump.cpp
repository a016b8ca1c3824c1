// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/PoiDump.h"

#include "platform/DecimalText.h"
#include "platform/DeviceCodec.h"
#include "poi/Ov2Reader.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

// Room one device byte can take in a line: "\xHH", or three bytes of UTF-8.
constexpr qsizetype kMostPerByte = 4;

// Grows `out` by `n` bytes and gives where they start; the caller cuts the unused
// rest. Within the reserved capacity this is no allocation, so a million lines are
// written through plain pointers instead of an append per character.
char *grow(QByteArray &out, qsizetype n)
{
    const qsizetype at = out.size();
    out.resize(at + n);
    return out.data() + at;
}

void cut(QByteArray &out, const char *end)
{
    out.resize(end - out.constData());
}

char *putEscaped(char *d, QByteArrayView bytes, const DeviceCodec &codec)
{
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        char plain = 0;
        switch (b) {
        case '\\': plain = '\\'; break;
        case '\t': plain = 't'; break;
        case '\r': plain = 'r'; break;
        case '\n': plain = 'n'; break;
        default: break;
        }
        if (plain) {
            *d++ = '\\';
            *d++ = plain;
            continue;
        }
        if (b < 128 && b >= 32 && b != 127) {
            *d++ = char(b);
            continue;
        }
        const char16_t c = codec.charOf(b);
        // Control characters, and the bytes the code page leaves undefined (which
        // the codec carries as the C1 control of the same number).
        if (c < 32 || c == 127 || (c >= 0x80 && c < 0xA0)) {
            *d++ = '\\';
            *d++ = 'x';
            *d++ = kHex[b >> 4];
            *d++ = kHex[b & 15];
        } else if (c < 0x800) {
            *d++ = char(0xC0 | (c >> 6));
            *d++ = char(0x80 | (c & 0x3F));
        } else {
            *d++ = char(0xE0 | (c >> 12));
            *d++ = char(0x80 | ((c >> 6) & 0x3F));
            *d++ = char(0x80 | (c & 0x3F));
        }
    }
    return d;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

void appendDumpEscaped(QByteArray &out, QByteArrayView bytes, const DeviceCodec &codec)
{
    if (!codec.isSingleByte()) {
        // UTF-8 device text: escape the control characters, keep the rest.
        const QString s = codec.toUnicode(bytes);
        for (QChar qc : s) {
            const char16_t c = qc.unicode();
            if (c == '\\') out.append("\\\\");
            else if (c == '\t') out.append("\\t");
            else if (c == '\r') out.append("\\r");
            else if (c == '\n') out.append("\\n");
            else if (c < 32 || c == 127 || (c >= 0x80 && c < 0xA0)) {
                out.append("\\x");
                out.append(kHex[(c >> 4) & 15]);
                out.append(kHex[c & 15]);
            } else {
                out.append(QString(qc).toUtf8());
            }
        }
        return;
    }
    cut(out, putEscaped(grow(out, bytes.size() * kMostPerByte), bytes, codec));
}

QByteArray poiDumpLines(const Ov2Data &data, const DeviceCodec &codec)
{
    QByteArray out;
    if (data.pois.empty())
        return QByteArray("\t\t\t\n");
    out.reserve(qsizetype(data.pois.size()) * 48);
    for (const Ov2Poi &p : data.pois) {
        char *d = grow(out, 24); // two signed 32-bit numbers and their tabs
        d = putSignedDecimal(d, p.lon);
        *d++ = '\t';
        d = putSignedDecimal(d, p.lat);
        *d++ = '\t';
        cut(out, d);
        appendDumpEscaped(out, data.text(p), codec);
        d = grow(out, 24); // "\t*255/4294967295\n"
        *d++ = '\t';
        if (p.flags & Ov2Poi::AfterSkipper)
            *d++ = '*';
        d = putDecimal(d, p.type);
        *d++ = '/';
        d = putDecimal(d, p.level);
        *d++ = '\n';
        cut(out, d);
    }
    return out;
}

QByteArray poiDumpUnescape(QByteArrayView text, const DeviceCodec &codec)
{
    QByteArray out;
    QByteArray plain; // UTF-8 run between escapes
    auto flush = [&]() {
        if (!plain.isEmpty()) {
            codec.appendBytes(out, QString::fromUtf8(plain));
            plain.clear();
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            const char e = text[i + 1];
            char literal = 0;
            if (e == '\\') literal = '\\';
            else if (e == 't') literal = '\t';
            else if (e == 'r') literal = '\r';
            else if (e == 'n') literal = '\n';
            if (literal) {
                plain.append(literal);
                ++i;
                continue;
            }
            if (e == 'x' && i + 3 < text.size() && hexValue(text[i + 2]) >= 0 && hexValue(text[i + 3]) >= 0) {
                flush();
                out.append(char(hexValue(text[i + 2]) * 16 + hexValue(text[i + 3])));
                i += 3;
                continue;
            }
        }
        plain.append(c);
    }
    flush();
    return out;
}
