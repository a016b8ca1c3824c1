// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/XmlGuard.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

#include <array>
#include <cstring>
#include <vector>

namespace {

QString entityDeclarations()
{
    return QCoreApplication::translate("XmlGuard", "entity declarations are not accepted");
}

QString attributeDeclarations()
{
    return QCoreApplication::translate("XmlGuard", "attribute declarations are not accepted");
}

QString entityReference()
{
    return QCoreApplication::translate("XmlGuard", "references to entities are not accepted");
}

QString tooDeep()
{
    return QCoreApplication::translate("XmlGuard", "the elements nest deeper than %1 levels").arg(XmlMaxDepth);
}

QString tooManyAttributes()
{
    return QCoreApplication::translate("XmlGuard", "an element has more than %1 attributes").arg(XmlMaxAttributes);
}

QString tooManyNamespaces()
{
    return QCoreApplication::translate("XmlGuard", "more than %1 namespaces are declared around an element").arg(XmlMaxNamespaces);
}

QString tooManyAttributesInAll()
{
    return QCoreApplication::translate("XmlGuard", "the elements carry too many attributes in all");
}

bool isBlank(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

enum class Encoding { Unknown, Bytes, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

// From the first four bytes, as the parser itself tells them apart.
Encoding encodingOf(const unsigned char *b, int n)
{
    auto is = [&](std::initializer_list<int> want) {
        int i = 0;
        for (int w : want) {
            if (i >= n || b[i] != w)
                return false;
            ++i;
        }
        return true;
    };
    if (is({0, 0, 0xFE, 0xFF}) || is({0, 0, 0, 0x3C}))
        return Encoding::Utf32BE;
    if (is({0xFF, 0xFE, 0, 0}) || is({0x3C, 0, 0, 0}))
        return Encoding::Utf32LE;
    if (is({0xFE, 0xFF}) || is({0, 0x3C}))
        return Encoding::Utf16BE;
    if (is({0xFF, 0xFE}) || is({0x3C, 0}))
        return Encoding::Utf16LE;
    return Encoding::Bytes;
}

} // namespace

// Only markup characters matter, and they are all ASCII: any other unit is just a
// part of a name or of text. Where the text is not XML the scan picks up again at the
// next markup, so the parser, which stops at its first error, never reads past
// what the scan has checked.
struct XmlScan::State {
    enum Where {
        Text, Ref, LessThan, Bang, Comment, CData, Pi, Doctype, Subset, DoctypeEnd, EndTag,
        TagName, AttrSpace, AttrName, AttrEq, ValueStart, Value, SelfClose
    };

    qint64 maxBytes;
    qint64 total = 0;
    QString reason;

    Where where = Text;
    Where afterRef = Text;
    int depth = 0;
    int attributes = 0;
    qint64 pairs = 0;
    int namespaces = 0;            // declared by the start tag being read
    int namespacesInScope = 0;     // declared by the open elements
    std::vector<int> declaredBy;   // per open element
    char32_t quote = 0;
    int run = 0;                   // dashes of a comment, brackets of a CDATA section, "?" of an instruction
    std::array<char, 16> word{};   // the start of a "<!" or the name of a reference
    int wordLength = 0;
    std::array<char, 9> recent{};  // the last characters inside a document type's declarations

    Encoding encoding = Encoding::Unknown;
    std::vector<unsigned char> held; // the bytes of an unfinished unit, or of the first four
    std::vector<char32_t> units;

    bool refuse(const QString &why)
    {
        reason = why;
        return false;
    }

    bool count(qint64 n)
    {
        total += n;
        if (total > maxBytes)
            return refuse(QCoreApplication::translate("XmlGuard", "the document is larger than %1 MB").arg(maxBytes >> 20));
        return true;
    }

    bool opened(bool empty)
    {
        if (depth + 1 > XmlMaxDepth)
            return refuse(tooDeep());
        if (namespacesInScope + namespaces > XmlMaxNamespaces)
            return refuse(tooManyNamespaces());
        if (!empty) {
            ++depth;
            declaredBy.push_back(namespaces);
            namespacesInScope += namespaces;
        }
        pairs += qint64(attributes) * (attributes - 1) / 2;
        if (pairs > XmlMaxAttributePairs)
            return refuse(tooManyAttributesInAll());
        where = Text;
        return true;
    }

    bool startAttribute(char32_t c)
    {
        if (++attributes > XmlMaxAttributes)
            return refuse(tooManyAttributes());
        where = AttrName;
        wordLength = 0;
        keepWord(c);
        return true;
    }

    // "xmlns" and "xmlns:p" declare namespaces.
    void attributeNamed()
    {
        if (wordIs("xmlns") || (wordLength > 6 && std::memcmp(word.data(), "xmlns:", 6) == 0))
            ++namespaces;
    }

    void keepWord(char32_t c)
    {
        if (wordLength < int(word.size()))
            word[size_t(wordLength)] = c < 0x80 ? char(c) : '\x01';
        ++wordLength;
    }

    bool wordIs(const char *w) const
    {
        const int n = int(std::strlen(w));
        return wordLength == n && std::memcmp(word.data(), w, size_t(n)) == 0;
    }

    bool wordStarts(const char *w) const
    {
        const int n = int(std::strlen(w));
        return wordLength <= n && std::memcmp(word.data(), w, size_t(wordLength)) == 0;
    }

    bool recentEnds(const char *w) const
    {
        const size_t n = std::strlen(w);
        return std::memcmp(recent.data() + recent.size() - n, w, n) == 0;
    }

    // One unit; false once refused.
    bool step(char32_t c)
    {
        switch (where) {
        case Text:
            if (c == '<')
                where = LessThan;
            else if (c == '&')
                startRef(Text);
            return true;
        case Ref:
            if (c == ';') {
                where = afterRef;
                if (wordLength > 0 && word[0] == '#')
                    return true;
                for (const char *known : {"amp", "lt", "gt", "quot", "apos"})
                    if (wordIs(known))
                        return true;
                return refuse(entityReference());
            }
            if (isBlank(c) || c == '<' || c == '&' || c == '"' || c == '\'' || c == '>') {
                // Not a reference at all: the parser stops here.
                where = afterRef;
                return step(c);
            }
            keepWord(c);
            return true;
        case LessThan:
            if (c == '/') {
                where = EndTag;
            } else if (c == '?') {
                where = Pi;
                run = 0;
            } else if (c == '!') {
                where = Bang;
                wordLength = 0;
            } else if (isBlank(c) || c == '<' || c == '>' || c == '&') {
                where = Text;
                return step(c);
            } else {
                where = TagName;
                attributes = 0;
                namespaces = 0;
            }
            return true;
        case Bang:
            keepWord(c);
            if (wordIs("--")) {
                where = Comment;
                run = 0;
            } else if (wordIs("[CDATA[")) {
                where = CData;
                run = 0;
            } else if (wordIs("DOCTYPE")) {
                where = Doctype;
                quote = 0;
            } else if (wordIs("ENTITY")) {
                return refuse(entityDeclarations());
            } else if (wordIs("ATTLIST")) {
                return refuse(attributeDeclarations());
            } else if (!wordStarts("--") && !wordStarts("[CDATA[") && !wordStarts("DOCTYPE")
                       && !wordStarts("ENTITY") && !wordStarts("ATTLIST")) {
                where = Text;
            }
            return true;
        case Comment:
            if (c == '>' && run >= 2)
                where = Text;
            run = c == '-' ? run + 1 : 0;
            return true;
        case CData:
            if (c == '>' && run >= 2)
                where = Text;
            run = c == ']' ? run + 1 : 0;
            return true;
        case Pi:
            if (c == '>' && run)
                where = Text;
            run = c == '?';
            return true;
        case Doctype:
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                where = Subset;
                recent.fill(0);
            } else if (c == '>') {
                where = Text;
            }
            return true;
        case Subset:
            // Comments and literals are not told apart here: a declaration's name in
            // them refuses a document no reader of ours needs.
            std::memmove(recent.data(), recent.data() + 1, recent.size() - 1);
            recent.back() = c < 0x80 ? char(c) : '\x01';
            if (recentEnds("<!ENTITY"))
                return refuse(entityDeclarations());
            if (recentEnds("<!ATTLIST"))
                return refuse(attributeDeclarations());
            if (c == ']')
                where = DoctypeEnd;
            return true;
        case DoctypeEnd:
            if (c == '>')
                where = Text;
            return true;
        case EndTag:
            if (c == '>') {
                if (depth > 0) {
                    --depth;
                    namespacesInScope -= declaredBy.back();
                    declaredBy.pop_back();
                }
                where = Text;
            }
            return true;
        case TagName:
            if (isBlank(c))
                where = AttrSpace;
            else if (c == '>')
                return opened(false);
            else if (c == '/')
                where = SelfClose;
            return true;
        case AttrSpace:
            if (isBlank(c) || c == '"' || c == '\'' || c == '=')
                return true;
            if (c == '>')
                return opened(false);
            if (c == '/') {
                where = SelfClose;
                return true;
            }
            return startAttribute(c);
        case AttrName:
            if (c == '=' || isBlank(c) || c == '>' || c == '/')
                attributeNamed();
            if (c == '=')
                where = ValueStart;
            else if (isBlank(c))
                where = AttrEq;
            else if (c == '>')
                return opened(false);
            else if (c == '/')
                where = SelfClose;
            else
                keepWord(c);
            return true;
        case AttrEq:
            if (isBlank(c))
                return true;
            if (c == '=') {
                where = ValueStart;
                return true;
            }
            where = AttrSpace;
            return step(c);
        case ValueStart:
            if (isBlank(c))
                return true;
            if (c == '"' || c == '\'') {
                quote = c;
                where = Value;
                return true;
            }
            where = AttrSpace;
            return step(c);
        case Value:
            if (c == quote)
                where = AttrSpace;
            else if (c == '&')
                startRef(Value);
            else if (c == '<')
                where = LessThan; // never inside a value: the parser stops here
            return true;
        case SelfClose:
            if (c == '>')
                return opened(true);
            where = AttrSpace;
            return step(c);
        }
        return true;
    }

    void startRef(Where back)
    {
        afterRef = back;
        where = Ref;
        wordLength = 0;
    }

    template <typename Unit>
    bool scan(const Unit *p, const Unit *end)
    {
        while (p < end) {
            // Most of a document is text and values: skip to their next markup.
            if (where == Text) {
                while (p < end && *p != Unit('<') && *p != Unit('&'))
                    ++p;
                if (p == end)
                    break;
            } else if (where == Value) {
                const Unit q = Unit(quote);
                while (p < end && *p != q && *p != Unit('&') && *p != Unit('<'))
                    ++p;
                if (p == end)
                    break;
            }
            if (!step(char32_t(*p++)))
                return false;
        }
        return true;
    }

    // Whole units of the held bytes and `data` go through the scan; a rest is held.
    bool scanWide(const unsigned char *data, qint64 size)
    {
        const int width = encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE ? 2 : 4;
        const bool little = encoding == Encoding::Utf16LE || encoding == Encoding::Utf32LE;
        constexpr qint64 block = 1 << 16;
        qint64 at = 0;
        while (at < size || held.size() >= size_t(width)) {
            units.clear();
            while (units.size() < block) {
                while (held.size() < size_t(width) && at < size)
                    held.push_back(data[at++]);
                if (held.size() < size_t(width))
                    break;
                char32_t u = 0;
                for (int i = 0; i < width; ++i)
                    u |= char32_t(held[size_t(little ? i : width - 1 - i)]) << (8 * i);
                units.push_back(u);
                held.clear();
            }
            if (units.empty())
                break;
            if (!scan(units.data(), units.data() + units.size()))
                return false;
        }
        return true;
    }

    bool scanBytes(const unsigned char *data, qint64 size)
    {
        if (encoding == Encoding::Bytes)
            return scan(data, data + size);
        return scanWide(data, size);
    }

    // Learns the encoding once four bytes (or all there are) are known.
    bool feedBytes(const unsigned char *data, qint64 size, bool last)
    {
        if (encoding != Encoding::Unknown)
            return scanBytes(data, size);
        while (held.size() < 4 && size > 0) {
            held.push_back(*data++);
            --size;
        }
        if (held.size() < 4 && !last)
            return true;
        encoding = encodingOf(held.data(), int(held.size()));
        const std::vector<unsigned char> head = std::move(held);
        held.clear();
        return scanBytes(head.data(), qint64(head.size())) && scanBytes(data, size);
    }
};

XmlScan::XmlScan(qint64 maxBytes) : d(std::make_unique<State>())
{
    d->maxBytes = maxBytes;
}

XmlScan::~XmlScan() = default;

bool XmlScan::feed(const char *data, qint64 size)
{
    if (refused())
        return false;
    return d->count(size) && d->feedBytes(reinterpret_cast<const unsigned char *>(data), size, false);
}

bool XmlScan::feed(QStringView text)
{
    if (refused())
        return false;
    return d->count(text.size()) && d->scan(text.utf16(), text.utf16() + text.size());
}

bool XmlScan::finish()
{
    if (refused())
        return false;
    return d->feedBytes(nullptr, 0, true);
}

bool XmlScan::refused() const
{
    return !d->reason.isEmpty();
}

QString XmlScan::reason() const
{
    return d->reason;
}

QString xmlRefusal(QByteArrayView bytes, qint64 maxBytes)
{
    XmlScan scan(maxBytes);
    scan.feed(bytes.data(), bytes.size()) && scan.finish();
    return scan.reason();
}

QString xmlRefusal(QStringView text, qint64 maxBytes)
{
    XmlScan scan(maxBytes);
    scan.feed(text);
    return scan.reason();
}

XmlGuardedDevice::XmlGuardedDevice(QIODevice &source, qint64 maxBytes) : m_source(source), m_scan(maxBytes)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

XmlGuardedDevice::~XmlGuardedDevice() = default;

qint64 XmlGuardedDevice::readData(char *data, qint64 maxSize)
{
    if (m_scan.refused())
        return -1;
    const qint64 n = m_source.read(data, maxSize);
    if (n < 0) {
        setErrorString(m_source.errorString());
        return -1;
    }
    const bool passed = n > 0 ? m_scan.feed(data, n) : m_scan.finish();
    if (!passed) {
        // Nothing of the refused piece reaches the parser.
        setErrorString(m_scan.reason());
        return -1;
    }
    return n;
}

bool harmlessXml(QXmlStreamReader &r)
{
    int depth = 0;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::DTD:
            if (!r.entityDeclarations().isEmpty() || r.text().contains(QLatin1String("<!ENTITY")))
                return false;
            break;
        case QXmlStreamReader::EntityReference:
            return false;
        case QXmlStreamReader::StartElement:
            if (++depth > XmlMaxDepth || r.attributes().size() > XmlMaxAttributes)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return !r.hasError();
}

bool harmlessXml(const QByteArray &bytes)
{
    if (!xmlRefusal(bytes).isEmpty())
        return false;
    QXmlStreamReader r(bytes);
    return harmlessXml(r);
}

bool harmlessXml(const QString &text)
{
    if (!xmlRefusal(text).isEmpty())
        return false;
    QXmlStreamReader r(text);
    return harmlessXml(r);
}
