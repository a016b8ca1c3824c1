// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TRBParams: one row of tabular text as an ordered list of text fields, with the
// tokeniser and joiner used for every delimited line of the program, and a small
// key=value dictionary on the same list.
//
// Storage is packed: one buffer holds the field ends followed by the field texts, so
// a row costs one allocation whatever its field count, and rows packed by a
// TRBRowStore share one. A grid of a million rows stays small that way; copies share
// the buffer until one side writes.

#include <QAtomicInt>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <bitset>
#include <cstdlib>
#include <initializer_list>
#include <vector>

// A set of 8-bit characters (separators, trim sets). Characters above 255 are
// never members.
class TRBCharSet {
public:
    TRBCharSet() = default;
    TRBCharSet(std::initializer_list<char> chars)
    {
        for (char c : chars)
            m_bits.set(static_cast<unsigned char>(c));
    }
    static TRBCharSet of(QStringView chars)
    {
        TRBCharSet s;
        for (QChar c : chars)
            s.add(c);
        return s;
    }
    void add(QChar c)
    {
        if (c.unicode() < 256)
            m_bits.set(c.unicode());
    }
    bool contains(QChar c) const { return c.unicode() < 256 && m_bits.test(c.unicode()); }
    bool isEmpty() const { return m_bits.none(); }

private:
    std::bitset<256> m_bits;
};

// Utilities of the same unit.
QString TrimChars(QStringView text, const TRBCharSet &set);
QString RemoveChars(const TRBCharSet &set, QStringView text);

class TRBParams {
public:
    TRBParams() = default;
    TRBParams(std::initializer_list<QString> fields);
    explicit TRBParams(const QStringList &fields);
    TRBParams(const TRBParams &other) noexcept;
    TRBParams(TRBParams &&other) noexcept;
    TRBParams &operator=(const TRBParams &other) noexcept;
    TRBParams &operator=(TRBParams &&other) noexcept;
    ~TRBParams() { Block::release(m_block); }

    // Ordinary list operations.
    int Count() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }
    // Entry `index`, or the empty text beyond the last entry (or below 0).
    QString GetField(int index) const { return FieldView(index).toString(); }
    QStringView FieldView(int index) const;
    QString operator[](int index) const { return GetField(index); }
    // An existing entry is replaced unchanged; past the end the list is padded with
    // empty entries and the value is appended without CR and LF.
    void SetField(int index, const QString &value);
    void SetField(int index, QStringView value);
    // Fields a and b swap texts; both exist afterwards.
    void ExchangeFields(int a, int b);
    void Append(QStringView value);
    void Insert(int index, QStringView value);
    void Delete(int index);
    void Clear();
    // Keeps the first `count` entries.
    void Truncate(int count);
    void Assign(const TRBParams &other) { *this = other; }
    void Assign(const QStringList &fields) { *this = TRBParams(fields); }
    // One entry per line (LF, CR LF or CR ends a line), as a text stream fills a list.
    void LoadFromText(QStringView text);
    // Entries joined by CR LF, each line ended by it.
    QString Text() const;
    QStringList ToStringList() const;

    // Key=value use: entries "name" + separator + "value"; names compare without case.
    // The separator is an 8-bit character, as every separator of the program is.
    QChar NameValueSeparator() const { return QLatin1Char(char(m_separator)); }
    void SetNameValueSeparator(QChar c)
    {
        Q_ASSERT(c.unicode() < 256);
        m_separator = quint8(c.unicode());
    }
    int IndexOfName(QStringView name) const;
    QString GetValue(QStringView name) const;
    void SetValue(const QString &name, const QString &value);

    // The list becomes the pieces of `text` cut at `separator` (one or more
    // characters; a separator cut off by the end of the text still separates), each
    // trimmed and freed of CR and LF. An empty text gives one empty entry.
    void SplitText(QStringView text, QStringView separator, const TRBCharSet &trim);
    // Truncates the list to `keep` entries, then appends the fields of `text`.
    // `quotes`: "" none, one character (same opens and closes), or two (open, close,
    // nested by depth). A quote may open anywhere inside a field.
    void ParseFields(QStringView text, int keep, const TRBCharSet &separators,
                     QStringView quotes, const TRBCharSet &trim);
    // Fields from `start` (count 0 = all) joined by `separator`; a field holding a
    // blank or the separator is enclosed in the quotes, nothing is escaped.
    QString JoinFields(int start, QChar separator, QStringView quotes, int count = 0) const;
    // Length of JoinFields' result, without building it.
    qsizetype JoinedLength(int start, QChar separator, QStringView quotes, int count = 0) const;
    // The same, appended to `out` (joining many rows into one text).
    void JoinFieldsTo(QString &out, int start, QChar separator, QStringView quotes,
                      int count = 0) const;

    bool operator==(const TRBParams &other) const;
    bool operator!=(const TRBParams &other) const { return !(*this == other); }

private:
    // A buffer of UTF-16 units that rows point into: a row's own, or a chunk a
    // TRBRowStore packs many rows into. A reference count is all that precedes them.
    struct Block {
        QAtomicInt refs;
        QChar *units() { return reinterpret_cast<QChar *>(this + 1); }
        static Block *create(qsizetype units);
        static void release(Block *b)
        {
            if (b && !b->refs.deref())
                std::free(b);
        }
    };

    // A row is [end of field 0 .. end of field n-1][texts of the fields] from
    // m_offset on in its block; its length follows from the last end. An end takes
    // two QChars (Wide). Rows packed by TRBRowStore take the least that holds their
    // text's length: a byte (Bytes, two ends a QChar) or one QChar (Narrow); their
    // first change makes them wide.
    enum Form : quint8 { Wide, Narrow, Bytes };
    const QChar *units() const { return m_block ? m_block->units() + m_offset : nullptr; }
    static qsizetype headerSize(Form form, int count)
    {
        switch (form) {
        case Bytes:
            return (qsizetype(count) + 1) / 2;
        case Narrow:
            return count;
        default:
            return 2 * qsizetype(count);
        }
    }
    qsizetype headerSize() const { return headerSize(Form(m_form), m_count); }
    qsizetype unitCount() const { return m_count ? headerSize() + endAt(m_count - 1) : 0; }
    quint32 endAt(int i) const
    {
        const QChar *d = units();
        switch (m_form) {
        case Bytes:
            return (d[i / 2].unicode() >> (8 * (i & 1))) & 0xFF;
        case Narrow:
            return d[i].unicode();
        default:
            return quint32(d[2 * i].unicode()) | (quint32(d[2 * i + 1].unicode()) << 16);
        }
    }
    quint32 startAt(int i) const { return i == 0 ? 0 : endAt(i - 1); }
    static void setEnd(QChar *d, int i, quint32 v)
    {
        d[2 * i] = QChar(char16_t(v & 0xFFFF));
        d[2 * i + 1] = QChar(char16_t(v >> 16));
    }
    // The row's units are its alone from here on (nobody else refers to its block).
    bool ownsBlock() const { return m_block && m_block->refs.loadRelaxed() == 1; }
    // The row takes `b`, a block of its own, in place of the one it had.
    void adopt(Block *b);
    void widen();
    void replaceField(int index, QStringView value);
    // Bulk building: the tokenisers collect their fields and pack once, so a list of
    // 100,000 lines costs one copy, not one per line.
    struct Builder {
        QString text;
        std::vector<quint32> ends;
        void add(QStringView s)
        {
            text.append(s);
            ends.push_back(quint32(text.size()));
        }
        void addTrimmed(QStringView piece, const TRBCharSet &trim);
    };
    Builder builderFromFirst(int keep) const;
    void assign(const Builder &b);

    // 16 bytes: a million-row list keeps a million of these.
    Block *m_block = nullptr; // none while the list is empty
    quint32 m_offset : 24 = 0; // chunks hold at most 16M units
    quint32 m_separator : 8 = '=';
    quint32 m_count : 30 = 0;
    quint32 m_form : 2 = Wide;
    friend class TRBRowStore;
};
static_assert(sizeof(TRBParams) == 16);

// The conventions the program uses everywhere.
namespace RBConventions {
// Grid clipboard lines: TAB, double quote, trim blanks, keep the number column.
inline TRBCharSet tabSet() { return TRBCharSet{'\t'}; }
inline TRBCharSet blankSet() { return TRBCharSet{' '}; }
inline QString doubleQuote() { return QStringLiteral("\""); }
} // namespace RBConventions
