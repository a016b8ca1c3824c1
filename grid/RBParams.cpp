#include "grid/RBParams.h"

#include <algorithm>

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

TRBParams::TRBParams(std::initializer_list<QString> fields)
{
    qsizetype total = 0;
    for (const QString &f : fields)
        total += f.size();
    m_count = int(fields.size());
    m_d.resize(2 * m_count + total);
    QChar *d = m_d.data();
    QChar *text = d + 2 * m_count;
    quint32 end = 0;
    int i = 0;
    for (const QString &f : fields) {
        std::copy(f.cbegin(), f.cend(), text + end);
        end += quint32(f.size());
        setEnd(d, i++, end);
    }
}

TRBParams::TRBParams(const QStringList &fields)
{
    qsizetype total = 0;
    for (const QString &f : fields)
        total += f.size();
    m_count = int(fields.size());
    m_d.resize(2 * m_count + total);
    QChar *d = m_d.data();
    QChar *text = d + 2 * m_count;
    quint32 end = 0;
    for (int i = 0; i < m_count; ++i) {
        const QString &f = fields.at(i);
        std::copy(f.cbegin(), f.cend(), text + end);
        end += quint32(f.size());
        setEnd(d, i, end);
    }
}

QStringView TRBParams::FieldView(int index) const
{
    if (index < 0 || index >= m_count)
        return {};
    const quint32 s = startAt(index), e = endAt(index);
    return QStringView(m_d).mid(2 * m_count + s, e - s);
}

void TRBParams::replaceField(int index, QStringView value)
{
    const quint32 s = startAt(index), e = endAt(index);
    const qint64 delta = qint64(value.size()) - qint64(e - s);
    if (delta == 0 && QStringView(m_d).mid(2 * m_count + s, e - s) == value)
        return;
    const QString copy = value.toString(); // value may point into m_d
    m_d.replace(2 * m_count + s, e - s, copy);
    if (delta != 0) {
        QChar *d = m_d.data();
        for (int i = index; i < m_count; ++i)
            setEnd(d, i, quint32(qint64(endAt(i)) + delta));
    }
}

void TRBParams::SetField(int index, const QString &value)
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
    index = std::clamp(index, 0, m_count);
    const quint32 at = startAt(index);
    const QString copy = value.toString();
    // Text first (its offset does not depend on the header size), then the new end.
    m_d.insert(2 * m_count + at, copy);
    m_d.insert(2 * index, QString(2, QChar()));
    ++m_count;
    QChar *d = m_d.data();
    const quint32 len = quint32(copy.size());
    for (int i = m_count - 1; i > index; --i)
        setEnd(d, i, endAt(i) + len);
    setEnd(d, index, at + len);
}

void TRBParams::Delete(int index)
{
    if (index < 0 || index >= m_count)
        return;
    const quint32 s = startAt(index), e = endAt(index);
    m_d.remove(2 * m_count + s, e - s);
    m_d.remove(2 * index, 2);
    --m_count;
    QChar *d = m_d.data();
    for (int i = index; i < m_count; ++i)
        setEnd(d, i, endAt(i) - (e - s));
}

void TRBParams::Clear()
{
    m_d.clear();
    m_count = 0;
}

void TRBParams::Truncate(int count)
{
    if (count < 0)
        count = 0;
    if (count >= m_count)
        return;
    if (count == 0) {
        Clear();
        return;
    }
    const quint32 keepText = endAt(count - 1);
    m_d.remove(2 * count, 2 * (m_count - count)); // drop the headers of the lost fields
    m_d.truncate(2 * count + keepText);
    m_count = count;
}

void TRBParams::LoadFromText(QStringView text)
{
    Clear();
    qsizetype i = 0, n = text.size(), start = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            Append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        Append(text.mid(start));
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
        const qsizetype p = f.indexOf(m_separator);
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
    replaceField(i, QString(name + m_separator + value));
}

void TRBParams::appendTrimmed(QStringView piece, const TRBCharSet &trim)
{
    const QString t = TrimChars(piece, trim);
    if (t.contains(QLatin1Char('\r')) || t.contains(QLatin1Char('\n')))
        Append(RemoveChars(crLf(), t));
    else
        Append(t);
}

void TRBParams::SplitText(QStringView text, QStringView separator, const TRBCharSet &trim)
{
    Clear();
    const qsizetype n = text.size(), m = separator.size();
    qsizetype i = 0, pieceStart = 0;
    if (m == 0) {
        appendTrimmed(text, trim);
        return;
    }
    while (i < n) {
        qsizetype j = 0;
        while (j < m && i + j < n && text[i + j] == separator[j])
            ++j;
        if (j == m || i + j == n) {
            appendTrimmed(text.mid(pieceStart, i - pieceStart), trim);
            i += j;
            pieceStart = i;
        } else {
            ++i;
        }
    }
    appendTrimmed(text.mid(pieceStart, std::min(i, n) - pieceStart), trim);
}

void TRBParams::ParseFields(QStringView text, int keep, const TRBCharSet &separators,
                            QStringView quotes, const TRBCharSet &trim)
{
    Truncate(keep);
    if (text.isEmpty())
        return;
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
            appendTrimmed(buf, trim);
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
    appendTrimmed(buf, trim);
}

QString TRBParams::JoinFields(int start, QChar separator, QStringView quotes, int count) const
{
    QString open, close;
    if (quotes.size() == 1 && quotes[0] != QChar(0)) {
        open = close = quotes[0];
    } else if (quotes.size() >= 2) {
        open = quotes[0];
        close = quotes[1];
    }
    if (start < 0)
        start = 0;
    int last = m_count;
    if (count != 0)
        last = int(std::min<qint64>(m_count, qint64(start) + count));
    QString out;
    for (int i = start; i < last; ++i) {
        if (i > start)
            out.append(separator);
        const QStringView f = FieldView(i);
        if (f.contains(QLatin1Char(' ')) || f.contains(separator)) {
            out.append(open);
            out.append(f);
            out.append(close);
        } else {
            out.append(f);
        }
    }
    return out;
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
