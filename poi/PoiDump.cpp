#include "poi/PoiDump.h"

#include "platform/DeviceCodec.h"
#include "poi/Ov2Reader.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

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
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b == '\\') { out.append("\\\\"); continue; }
        if (b == '\t') { out.append("\\t"); continue; }
        if (b == '\r') { out.append("\\r"); continue; }
        if (b == '\n') { out.append("\\n"); continue; }
        if (b < 128 && b >= 32 && b != 127) { out.append(char(b)); continue; }
        const char16_t c = codec.charOf(b);
        // Control characters, and the bytes the code page leaves undefined (which
        // the codec carries as the C1 control of the same number).
        if (c < 32 || c == 127 || (c >= 0x80 && c < 0xA0)) {
            out.append("\\x");
            out.append(kHex[b >> 4]);
            out.append(kHex[b & 15]);
            continue;
        }
        if (c < 0x800) {
            out.append(char(0xC0 | (c >> 6)));
            out.append(char(0x80 | (c & 0x3F)));
        } else {
            out.append(char(0xE0 | (c >> 12)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        }
    }
}

namespace {

void appendInt(QByteArray &out, qint64 v)
{
    out.append(QByteArray::number(v));
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray poiDumpLines(const Ov2Data &data, const DeviceCodec &codec)
{
    QByteArray out;
    if (data.pois.empty())
        return QByteArray("\t\t\t\n");
    out.reserve(qsizetype(data.pois.size()) * 48);
    for (const Ov2Poi &p : data.pois) {
        appendInt(out, p.lon);
        out.append('\t');
        appendInt(out, p.lat);
        out.append('\t');
        appendDumpEscaped(out, data.text(p), codec);
        out.append('\t');
        out.append(Ov2Data::typeLevel(p).toLatin1());
        out.append('\n');
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
