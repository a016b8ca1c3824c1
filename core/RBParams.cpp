// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParams.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {
const TRBCharSet &crLf()
{
    static const TRBCharSet s{'\r', '\n'};
    return s;
}
} // namespace

QString TrimChars(QStringView text, const TRBCharSet &set)
{
    qsizetype b = 0, e = text.size();
    while (b < e && set.contains(text[b]))
        ++b;
    while (e > b && set.contains(text[e - 1]))
        --e;
    return text.mid(b, e - b).toString();
}

QString RemoveChars(const TRBCharSet &set, QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!set.contains(c))
            out.append(c);
    return out;
}

TRBParams::Block *TRBParams::Block::create(qsizetype units)
{
    void *p = std::malloc(sizeof(Block) + size_t(units) * sizeof(QChar));
    Q_CHECK_PTR(p);
    Block *b = new (p) Block;
    b->refs.storeRelaxed(1);
    return b;
}

TRBParams::TRBParams(std::initializer_list<QString> fields) : TRBParams(QStringList(fields)) {}

TRBParams::TRBParams(const QStringList &fields)
{
    if (fields.isEmpty())
        return;
    qsizetype total = 0;
    for (const QString &f : fields)
        total += f.size();
    const int count = int(fields.size());
    Block *b = Block::create(2 * qsizetype(count) + total);
    QChar *d = b->units();
    QChar *text = d + 2 * count;
    quint32 end = 0;
    for (int i = 0; i < count; ++i) {
        const QString &f = fields.at(i);
        std::copy(f.cbegin(), f.cend(), text + end);
        end += quint32(f.size());
        setEnd(d, i, end);
    }
    m_block = b;
    m_count = quint32(count);
}

TRBParams::TRBParams(const TRBParams &other) noexcept
    : m_block(other.m_block), m_offset(other.m_offset), m_separator(other.m_separator),
      m_count(other.m_count), m_form(other.m_form)
{
    if (m_block)
        m_block->refs.ref();
}

TRBParams::TRBParams(TRBParams &&other) noexcept
    : m_block(std::exchange(other.m_block, nullptr)), m_offset(other.m_offset),
      m_separator(other.m_separator), m_count(other.m_count), m_form(other.m_form)
{
    other.m_offset = 0;
    other.m_count = 0;
    other.m_form = Wide;
}

TRBParams &TRBParams::operator=(const TRBParams &other) noexcept
{
    if (other.m_block)
        other.m_block->refs.ref();
    Block::release(m_block);
    m_block = other.m_block;
    m_offset = other.m_offset;
    m_separator = other.m_separator;
    m_count = other.m_count;
    m_form = other.m_form;
    return *this;
}

TRBParams &TRBParams::operator=(TRBParams &&other) noexcept
{
    if (this != &other) {
        Block::release(m_block);
        m_block = std::exchange(other.m_block, nullptr);
        m_offset = other.m_offset;
        m_separator = other.m_separator;
        m_count = other.m_count;
        m_form = other.m_form;
        other.m_offset = 0;
        other.m_count = 0;
        other.m_form = Wide;
    }
    return *this;
}

void TRBParams::adopt(Block *b)
{
    Block::release(m_block);
    m_block = b;
    m_offset = 0;
}

QStringView TRBParams::FieldView(int index) const
{
    if (index < 0 || index >= int(m_count))
        return {};
    const quint32 s = startAt(index), e = endAt(index);
    return QStringView(units() + headerSize() + s, qsizetype(e - s));
}

void TRBParams::widen()
{
    if (m_form == Wide)
        return;
    const int count = m_count;
    const qsizetype text = endAt(count - 1);
    Block *b = Block::create(2 * qsizetype(count) + text);
    QChar *d = b->units();
    for (int i = 0; i < count; ++i)
        setEnd(d, i, endAt(i));
    const QChar *from = units() + headerSize();
    std::copy(from, from + text, d + 2 * count);
    adopt(b);
    m_form = Wide;
}

void TRBParams::replaceField(int index, QStringView value)
{
    widen();
    const int count = m_count;
    const quint32 s = startAt(index), e = endAt(index);
    const qsizetype base = 2 * qsizetype(count);
    const qint64 delta = qint64(value.size()) - qint64(e - s);
    const qsizetype oldSize = unitCount();
    if (delta == 0) {
        if (QStringView(units() + base + s, qsizetype(e - s)) == value)
            return;
        if (ownsBlock()) {
            std::copy(value.begin(), value.end(), m_block->units() + m_offset + base + s);
            return;
        }
    }
    // A buffer of the exact new size: rows stay as small as they can be.
    Block *b = Block::create(oldSize + delta);
    const QChar *od = units();
    QChar *d = b->units();
    std::copy(od, od + base + s, d);
    std::copy(value.begin(), value.end(), d + base + s);
    std::copy(od + base + e, od + oldSize, d + base + s + value.size());
    for (int i = index; i < count; ++i)
        setEnd(d, i, quint32(qint64(endAt(i)) + delta));
    adopt(b);
}

void TRBParams::SetField(int index, const QString &value)
{
    SetField(index, QStringView(value));
}

void TRBParams::SetField(int index, QStringView value)
{
    if (index < 0)
        return;
    if (index < m_count) {
        replaceField(index, value);
        return;
    }
    while (m_count < index)
        Append({});
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
        Append(RemoveChars(crLf(), value));
    else
        Append(value);
}

void TRBParams::ExchangeFields(int a, int b)
{
    if (a < 0 || b < 0)
        return;
    const int need = std::max(a, b) + 1;
    while (m_count < need)
        Append({});
    if (a == b)
        return;
    const QString fa = GetField(a), fb = GetField(b);
    replaceField(a, fb);
    replaceField(b, fa);
}

void TRBParams::Append(QStringView value)
{
    Insert(m_count, value);
}

void TRBParams::Insert(int index, QStringView value)
{
    widen();
    const int count = m_count;
    index = std::clamp(index, 0, count);
    const quint32 at = startAt(index);
    const qsizetype len = value.size();
    const qsizetype oldBase = 2 * qsizetype(count), textLen = unitCount() - oldBase;
    const qsizetype base = oldBase + 2;
    Block *b = Block::create(base + textLen + len);
    const QChar *od = units();
    QChar *d = b->units();
    // Ends: those before the new field unchanged, then the new one, then the rest moved.
    for (int i = 0; i < index; ++i)
        setEnd(d, i, endAt(i));
    setEnd(d, index, at + quint32(len));
    for (int i = index; i < count; ++i)
        setEnd(d, i + 1, endAt(i) + quint32(len));
    if (od)
        std::copy(od + oldBase, od + oldBase + at, d + base);
    std::copy(value.begin(), value.end(), d + base + at);
    if (od)
        std::copy(od + oldBase + at, od + oldBase + textLen, d + base + at + len);
    adopt(b);
    m_count = quint32(count + 1);
}

void TRBParams::Delete(int index)
{
    const int count = m_count;
    if (index < 0 || index >= count)
        return;
    if (count == 1) {
        Clear();
        return;
    }
    widen();
    const quint32 s = startAt(index), e = endAt(index);
    const qsizetype oldBase = 2 * qsizetype(count), textLen = unitCount() - oldBase;
    const qsizetype base = oldBase - 2;
    Block *b = Block::create(base + textLen - (e - s));
    const QChar *od = units();
    QChar *d = b->units();
    for (int i = 0; i < index; ++i)
        setEnd(d, i, endAt(i));
    for (int i = index + 1; i < count; ++i)
        setEnd(d, i - 1, endAt(i) - (e - s));
    std::copy(od + oldBase, od + oldBase + s, d + base);
    std::copy(od + oldBase + e, od + oldBase + textLen, d + base + s);
    adopt(b);
    m_count = quint32(count - 1);
}

void TRBParams::Clear()
{
    Block::release(m_block);
    m_block = nullptr;
    m_offset = 0;
    m_count = 0;
    m_form = Wide;
}

void TRBParams::Truncate(int count)
{
    if (count < 0)
        count = 0;
    if (count >= int(m_count))
        return;
    if (count == 0) {
        Clear();
        return;
    }
    widen();
    const quint32 keepText = endAt(count - 1);
    const qsizetype oldBase = 2 * qsizetype(m_count), base = 2 * qsizetype(count);
    Block *b = Block::create(base + keepText);
    const QChar *od = units();
    QChar *d = b->units();
    std::copy(od, od + base, d); // the ends of the kept fields
    std::copy(od + oldBase, od + oldBase + keepText, d + base);
    adopt(b);
    m_count = quint32(count);
}

void TRBParams::LoadFromText(QStringView text)
{
    Builder out;
    qsizetype i = 0, n = text.size(), start = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            out.add(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        out.add(text.mid(start));
    assign(out);
}

QString TRBParams::Text() const
{
    QString out;
    for (int i = 0; i < m_count; ++i) {
        out += FieldView(i);
        out += QLatin1String("\r\n");
    }
    return out;
}

QStringList TRBParams::ToStringList() const
{
    QStringList out;
    out.reserve(m_count);
    for (int i = 0; i < m_count; ++i)
        out.append(GetField(i));
    return out;
}

int TRBParams::IndexOfName(QStringView name) const
{
    for (int i = 0; i < m_count; ++i) {
        const QStringView f = FieldView(i);
        const qsizetype p = f.indexOf(NameValueSeparator());
        if (p >= 0 && f.left(p).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TRBParams::GetValue(QStringView name) const
{
    const int i = IndexOfName(name);
    if (i < 0)
        return {};
    return FieldView(i).mid(name.size() + 1).toString();
}

void TRBParams::SetValue(const QString &name, const QString &value)
{
    int i = IndexOfName(name);
    if (i < 0) {
        Append({});
        i = m_count - 1;
    }
    replaceField(i, QString(name + NameValueSeparator() + value));
}

void TRBParams::Builder::addTrimmed(QStringView piece, const TRBCharSet &trim)
{
    qsizetype b = 0, e = piece.size();
    while (b < e && trim.contains(piece[b]))
        ++b;
    while (e > b && trim.contains(piece[e - 1]))
        --e;
    const QStringView t = piece.mid(b, e - b);
    if (t.contains(QLatin1Char('\r')) || t.contains(QLatin1Char('\n'))) {
        for (QChar c : t)
            if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
                text.append(c);
        ends.push_back(quint32(text.size()));
    } else {
        add(t);
    }
}

TRBParams::Builder TRBParams::builderFromFirst(int keep) const
{
    Builder b;
    keep = std::clamp(keep, 0, int(m_count));
    if (keep > 0) {
        b.text = QStringView(units() + headerSize(), qsizetype(endAt(keep - 1))).toString();
        for (int i = 0; i < keep; ++i)
            b.ends.push_back(endAt(i));
    }
    return b;
}

void TRBParams::assign(const Builder &b)
{
    const int count = int(b.ends.size());
    Clear();
    if (count == 0)
        return;
    Block *nb = Block::create(2 * qsizetype(count) + b.text.size());
    QChar *d = nb->units();
    for (int i = 0; i < count; ++i)
        setEnd(d, i, b.ends[size_t(i)]);
    std::copy(b.text.cbegin(), b.text.cend(), d + 2 * count);
    m_block = nb;
    m_count = quint32(count);
}

void TRBParams::SplitText(QStringView text, QStringView separator, const TRBCharSet &trim)
{
    Builder out;
    out.text.reserve(text.size());
    const qsizetype n = text.size(), m = separator.size();
    qsizetype i = 0, pieceStart = 0;
    if (m == 0) {
        out.addTrimmed(text, trim);
        assign(out);
        return;
    }
    const QChar first = separator[0];
    while (i < n) {
        if (text[i] != first) {
            ++i;
            continue;
        }
        qsizetype j = 0;
        while (j < m && i + j < n && text[i + j] == separator[j])
            ++j;
        if (j == m || i + j == n) {
            out.addTrimmed(text.mid(pieceStart, i - pieceStart), trim);
            i += j;
            pieceStart = i;
        } else {
            ++i;
        }
    }
    out.addTrimmed(text.mid(pieceStart, std::min(i, n) - pieceStart), trim);
    assign(out);
}

void TRBParams::ParseFields(QStringView text, int keep, const TRBCharSet &separators,
                            QStringView quotes, const TRBCharSet &trim)
{
    if (text.isEmpty()) {
        Truncate(keep);
        return;
    }
    Builder out = builderFromFirst(keep);
    const qsizetype n = text.size();
    const bool quoted = !quotes.isEmpty();
    const QChar open = quoted ? quotes[0] : QChar();
    const bool pair = quotes.size() >= 2;
    const QChar close = pair ? quotes[1] : open;
    QString buf;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (quoted && c == open) {
            ++i;
            if (!pair) {
                const qsizetype s = i;
                while (i < n && text[i] != open)
                    ++i;
                buf.append(text.mid(s, i - s));
                if (i < n)
                    ++i; // the closing quote
            } else {
                int depth = 1;
                while (i < n) {
                    const QChar ch = text[i];
                    // Closing first, so a pair of equal characters behaves as one quote.
                    if (ch == close)
                        --depth;
                    else if (ch == open)
                        ++depth;
                    ++i;
                    if (depth == 0)
                        break;
                    buf.append(ch);
                }
            }
        } else if (separators.contains(c)) {
            out.addTrimmed(buf, trim);
            buf.clear();
            ++i;
        } else {
            // Copy the run of plain characters at once.
            const qsizetype s = i;
            while (i < n && !(quoted && text[i] == open) && !separators.contains(text[i]))
                ++i;
            buf.append(text.mid(s, i - s));
        }
    }
    out.addTrimmed(buf, trim);
    assign(out);
}

QString TRBParams::JoinFields(int start, QChar separator, QStringView quotes, int count) const
{
    QString out;
    JoinFieldsTo(out, start, separator, quotes, count);
    return out;
}

qsizetype TRBParams::JoinedLength(int start, QChar separator, QStringView quotes, int count) const
{
    const bool quoting = quotes.size() >= 2 || (quotes.size() == 1 && quotes[0] != QChar(0));
    if (start < 0)
        start = 0;
    int last = m_count;
    if (count != 0)
        last = int(std::min<qint64>(m_count, qint64(start) + count));
    qsizetype n = 0;
    for (int i = start; i < last; ++i) {
        const QStringView f = FieldView(i);
        n += f.size() + (i > start ? 1 : 0);
        if (quoting && (f.contains(QLatin1Char(' ')) || f.contains(separator)))
            n += 2;
    }
    return n;
}

void TRBParams::JoinFieldsTo(QString &out, int start, QChar separator, QStringView quotes,
                             int count) const
{
    QChar open, close;
    bool quoting = false;
    if (quotes.size() == 1 && quotes[0] != QChar(0)) {
        open = close = quotes[0];
        quoting = true;
    } else if (quotes.size() >= 2) {
        open = quotes[0];
        close = quotes[1];
        quoting = true;
    }
    if (start < 0)
        start = 0;
    int last = m_count;
    if (count != 0)
        last = int(std::min<qint64>(m_count, qint64(start) + count));
    for (int i = start; i < last; ++i) {
        if (i > start)
            out.append(separator);
        const QStringView f = FieldView(i);
        if (quoting && (f.contains(QLatin1Char(' ')) || f.contains(separator))) {
            out.append(open);
            out.append(f);
            out.append(close);
        } else {
            out.append(f);
        }
    }
}

bool TRBParams::operator==(const TRBParams &other) const
{
    if (m_count != other.m_count)
        return false;
    for (int i = 0; i < m_count; ++i)
        if (FieldView(i) != other.FieldView(i))
            return false;
    return true;
}
