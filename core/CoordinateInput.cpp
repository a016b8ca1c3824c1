// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/CoordinateInput.h"

#include "core/CoordinateCells.h"

#include <QCoreApplication>

namespace CoordinateInput {

namespace {

// The texts are marked where they stand and translated here, in the context of the
// cell messages that quote them.
QString translated(const char *text)
{
    return QCoreApplication::translate("Coordinates", text);
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isBlank(QChar c) { return c.isSpace(); }

bool isHemisphere(QChar c)
{
    switch (c.unicode()) {
    case u'N': case u'S': case u'E': case u'W':
    case u'n': case u's': case u'e': case u'w':
        return true;
    default:
        return false;
    }
}

// "*" and the ordinal indicator stand for the degree sign on keyboards without one.
bool isDegreeMark(QChar c) { return c == u'\u00B0' || c == u'\u00BA' || c == u'*'; }
bool isMinuteMark(QChar c) { return c == u'\'' || c == u'\u2032' || c == u'\u2019'; }
bool isSecondMark(QChar c) { return c == u'"' || c == u'\u2033' || c == u'\u201D'; }
bool isMinus(QChar c) { return c == u'-' || c == u'\u2212'; }

// Exact fixed point: 10^-18 of an arc second, so "180.000000000000001" is beyond 180
// and a third of a minute sums without loss.
using Exact = __int128;
constexpr int FractionDigits = 18;

Exact pow10(int n)
{
    Exact v = 1;
    while (n-- > 0)
        v *= 10;
    return v;
}

struct Part {
    QStringView whole, fraction;
    bool decimals = false;
    int unit = -1; // 0 degrees, 1 minutes, 2 seconds; -1 unmarked
};

std::optional<qint32> failed(QString *reason, const QString &why)
{
    if (reason)
        *reason = why;
    return std::nullopt;
}

// N or S, E or W at either end of a half of a pair.
std::optional<Axis> letterAxis(QStringView half)
{
    for (QChar c : {half.front(), half.back()}) {
        if (!isHemisphere(c))
            continue;
        const char16_t u = c.toUpper().unicode();
        return u == u'N' || u == u'S' ? Axis::Latitude : Axis::Longitude;
    }
    return std::nullopt;
}

bool isDecimalToken(QStringView t)
{
    qsizetype i = 0;
    if (i < t.size() && (isMinus(t[i]) || t[i] == u'+'))
        ++i;
    const qsizetype digits = i;
    while (i < t.size() && isDigit(t[i]))
        ++i;
    if (i == digits || i >= t.size() || t[i] != u'.')
        return false;
    const qsizetype fraction = ++i;
    while (i < t.size() && isDigit(t[i]))
        ++i;
    return i > fraction && i == t.size();
}

bool halves(QStringView t, qsizetype endFirst, qsizetype startSecond, QStringView *first, QStringView *second)
{
    QStringView a = t.left(endFirst).trimmed(), b = t.mid(startSecond).trimmed();
    if (a.endsWith(u','))
        a = a.chopped(1).trimmed();
    if (b.startsWith(u','))
        b = b.mid(1).trimmed();
    if (a.isEmpty() || b.isEmpty())
        return false;
    *first = a;
    *second = b;
    return true;
}

} // namespace

bool isPlainInteger(QStringView text)
{
    const QStringView s = text.trimmed();
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    if (i >= s.size())
        return false;
    for (; i < s.size(); ++i)
        if (!isDigit(s[i]))
            return false;
    return true;
}

std::optional<qint32> read(QStringView text, Axis axis, QString *reason, Integers integers)
{
    if (text.size() > MaxLength)
        return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "the text is too long for a coordinate")));
    QStringView s = text.trimmed();
    if (s.isEmpty())
        return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "there is no number")));
    if (integers == Integers::Units && isPlainInteger(s)) {
        if (const auto units = CoordinateCells::parse(s))
            return units;
        return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "the whole number is beyond the range of the list's units")));
    }

    QChar letter;
    if (isHemisphere(s.front())) {
        letter = s.front().toUpper();
        s = s.mid(1).trimmed();
    }
    if (!s.isEmpty() && isHemisphere(s.back())) {
        if (!letter.isNull())
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "there is more than one hemisphere letter")));
        letter = s.back().toUpper();
        s = s.chopped(1).trimmed();
    }
    bool negative = false;
    if (!s.isEmpty() && (isMinus(s.front()) || s.front() == u'+')) {
        if (!letter.isNull())
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "a sign and a hemisphere letter cannot go together")));
        negative = s.front() != u'+';
        s = s.mid(1).trimmed();
    }
    if (!letter.isNull()) {
        const bool northSouth = letter == u'N' || letter == u'S';
        if (northSouth && axis == Axis::Longitude)
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "%1 marks a latitude, not a longitude")).arg(letter));
        if (!northSouth && axis == Axis::Latitude)
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "%1 marks a longitude, not a latitude")).arg(letter));
        negative = letter == u'S' || letter == u'W';
    }

    Part parts[3];
    int count = 0;
    const qsizetype n = s.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && isBlank(s[i]))
            ++i;
    };
    for (;;) {
        skipBlanks();
        if (i >= n)
            break;
        if (!isDigit(s[i])) {
            if (isHemisphere(s[i]))
                return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "a hemisphere letter belongs at the start or at the end")));
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "\"%1\" is no part of a coordinate")).arg(s[i]));
        }
        if (count == 3)
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "there are more numbers than degrees, minutes and seconds")));
        Part &p = parts[count++];
        qsizetype start = i;
        while (i < n && isDigit(s[i]))
            ++i;
        p.whole = s.mid(start, i - start);
        if (i < n && (s[i] == u'.' || s[i] == u',')) {
            start = ++i;
            while (i < n && isDigit(s[i]))
                ++i;
            if (i == start)
                return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "a decimal separator needs digits after it")));
            p.fraction = s.mid(start, i - start);
            p.decimals = true;
        }
        skipBlanks();
        if (i < n) {
            if (isDegreeMark(s[i])) {
                p.unit = 0;
                ++i;
            } else if (isSecondMark(s[i])) {
                p.unit = 2;
                ++i;
            } else if (isMinuteMark(s[i])) {
                ++i;
                // Two apostrophes stand for the seconds sign.
                if (i < n && isMinuteMark(s[i])) {
                    p.unit = 2;
                    ++i;
                } else {
                    p.unit = 1;
                }
            }
        }
    }
    if (count == 0)
        return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "there is no number")));

    const Exact scale = pow10(FractionDigits);
    Exact total = 0;
    bool finerDigits = false; // non-zero digits past the exact fraction
    int next = 0;
    for (int k = 0; k < count; ++k) {
        Part &p = parts[k];
        if (p.unit < 0)
            p.unit = next;
        if (p.unit < next)
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "degrees, minutes and seconds are out of order")));
        if (p.unit > 2)
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "there are more numbers than degrees, minutes and seconds")));
        next = p.unit + 1;
        if (p.decimals && k + 1 < count)
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "only the last number may have decimals")));
        QStringView whole = p.whole;
        while (whole.size() > 1 && whole.front() == u'0')
            whole = whole.mid(1);
        if (whole.size() > 9)
            return failed(reason, axis == Axis::Latitude ? translated(QT_TRANSLATE_NOOP("Coordinates", "a latitude lies within 90°")) : translated(QT_TRANSLATE_NOOP("Coordinates", "a longitude lies within 180°")));
        const qint64 w = whole.toLongLong();
        if (k > 0 && w >= 60)
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "minutes and seconds must be below 60")));
        Exact fraction = 0;
        for (qsizetype d = 0; d < p.fraction.size(); ++d) {
            if (d < FractionDigits)
                fraction = fraction * 10 + (p.fraction[d].unicode() - u'0');
            else if (p.fraction[d] != u'0')
                finerDigits = true;
        }
        if (p.fraction.size() < FractionDigits)
            fraction *= pow10(FractionDigits - int(p.fraction.size()));
        if (k > 0 && p.unit > 0 && (w * scale + fraction) >= 60 * scale)
            return failed(reason, translated(QT_TRANSLATE_NOOP("Coordinates", "minutes and seconds must be below 60")));
        const int factor = p.unit == 0 ? 3600 : p.unit == 1 ? 60 : 1;
        total += (Exact(w) * scale + fraction) * factor;
    }
    const Exact limit = Exact(axis == Axis::Latitude ? 90 : 180) * 3600 * scale;
    if (total > limit || (total == limit && finerDigits))
        return failed(reason, axis == Axis::Latitude ? translated(QT_TRANSLATE_NOOP("Coordinates", "a latitude lies within 90°")) : translated(QT_TRANSLATE_NOOP("Coordinates", "a longitude lies within 180°")));
    const auto units = qint32(total * 100000 / (Exact(3600) * scale));
    return negative ? -units : units;
}

bool splitPair(QStringView text, QStringView *first, QStringView *second)
{
    const QStringView t = text.trimmed();
    if (t.size() > 2 * MaxLength + 2)
        return false;

    const qsizetype semicolon = t.indexOf(u';');
    if (semicolon >= 0)
        return t.indexOf(u';', semicolon + 1) < 0 && halves(t, semicolon, semicolon + 1, first, second);

    // Letters: "N 50.06 E 19.94" splits before the second, "50.06N 19.94E" after the first.
    qsizetype letters[3] = {-1, -1, -1};
    int letterCount = 0;
    for (qsizetype i = 0; i < t.size() && letterCount < 3; ++i)
        if (isHemisphere(t[i]))
            letters[letterCount++] = i;
    if (letterCount == 2) {
        const bool prefix = letters[0] == 0, suffix = letters[1] == t.size() - 1;
        if (prefix && !suffix)
            return halves(t, letters[1], letters[1], first, second);
        if (suffix && !prefix)
            return halves(t, letters[0] + 1, letters[0] + 1, first, second);
    }

    // Commas: "50.06, 19.94", "50.06,19.94", "50,06, 19,94"; "19,95" is one number.
    qsizetype commas[4];
    int commaCount = 0, spacedCount = 0;
    qsizetype spaced = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] != u',')
            continue;
        if (commaCount < 4)
            commas[commaCount] = i;
        ++commaCount;
        if (i + 1 < t.size() && isBlank(t[i + 1])) {
            spaced = i;
            ++spacedCount;
        }
    }
    if (spacedCount == 1)
        return halves(t, spaced, spaced + 1, first, second);
    if (commaCount == 1) {
        const QStringView a = t.left(commas[0]), b = t.mid(commas[0] + 1);
        auto plain = [](QStringView s) {
            for (QChar c : s)
                if (!isDigit(c) && !isBlank(c) && !isMinus(c) && c != u'+' && !isHemisphere(c))
                    return false;
            return true;
        };
        if (plain(a) && plain(b))
            return false;
        return halves(t, commas[0], commas[0] + 1, first, second);
    }
    if (commaCount == 3)
        return halves(t, commas[1], commas[1] + 1, first, second);
    if (commaCount > 0)
        return false;

    // Two decimal numbers between blanks: "50.06 19.94"; "50 3 36" stays one value.
    qsizetype blank = -1;
    for (qsizetype i = 0; i < t.size(); ++i)
        if (isBlank(t[i])) {
            blank = i;
            break;
        }
    if (blank < 0)
        return false;
    const QStringView a = t.left(blank).trimmed(), b = t.mid(blank).trimmed();
    if (!isDecimalToken(a) || !isDecimalToken(b))
        return false;
    *first = a;
    *second = b;
    return true;
}

std::optional<GeoPoint> readPair(QStringView text, PairOrder order, QString *reason, Integers integers)
{
    QStringView a, b;
    if (text.size() > 2 * MaxLength + 2 || !splitPair(text, &a, &b)) {
        if (reason)
            *reason = translated(QT_TRANSLATE_NOOP("Coordinates", "the text is not two coordinates"));
        return std::nullopt;
    }
    std::optional<Axis> axisA = letterAxis(a), axisB = letterAxis(b);
    if (!axisA && !axisB)
        axisA = order == PairOrder::LatLon ? Axis::Latitude : Axis::Longitude;
    if (!axisA)
        axisA = *axisB == Axis::Latitude ? Axis::Longitude : Axis::Latitude;
    if (!axisB)
        axisB = *axisA == Axis::Latitude ? Axis::Longitude : Axis::Latitude;
    if (*axisA == *axisB) {
        if (reason)
            *reason = *axisA == Axis::Latitude ? translated(QT_TRANSLATE_NOOP("Coordinates", "both coordinates are latitudes")) : translated(QT_TRANSLATE_NOOP("Coordinates", "both coordinates are longitudes"));
        return std::nullopt;
    }
    QString why;
    GeoPoint p;
    for (auto [half, axis] : {std::pair{a, *axisA}, std::pair{b, *axisB}}) {
        const auto v = read(half, axis, &why, integers);
        if (!v) {
            if (reason)
                *reason = (axis == Axis::Latitude ? translated(QT_TRANSLATE_NOOP("Coordinates", "latitude: %1")) : translated(QT_TRANSLATE_NOOP("Coordinates", "longitude: %1"))).arg(why);
            return std::nullopt;
        }
        (axis == Axis::Latitude ? p.lat : p.lon) = *v;
    }
    return p;
}

} // namespace CoordinateInput
