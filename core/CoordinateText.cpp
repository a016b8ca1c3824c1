// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/CoordinateText.h"

#include <QCoreApplication>

#include <charconv>
#include <cmath>
#include <string>

namespace {
using Digits = std::vector<uint8_t>;

ExactDecimal normalized(Digits digits, int scale)
{
    // Fractional trailing zeros carry no value; dropping them keeps sums short.
    while (scale > 0 && !digits.empty() && digits.back() == 0) {
        digits.pop_back();
        --scale;
    }
    size_t lead = 0;
    while (lead < digits.size() && digits[lead] == 0)
        ++lead;
    digits.erase(digits.begin(), digits.begin() + static_cast<std::ptrdiff_t>(lead));
    if (digits.empty())
        scale = 0;
    return {std::move(digits), scale};
}

ExactDecimal multiplied(const ExactDecimal &a, uint32_t factor)
{
    Digits out(a.digits.size() + 10, 0);
    uint64_t carry = 0;
    size_t o = out.size();
    for (size_t i = a.digits.size(); i-- > 0;) {
        const uint64_t v = uint64_t(a.digits[i]) * factor + carry;
        out[--o] = uint8_t(v % 10);
        carry = v / 10;
    }
    while (carry) {
        out[--o] = uint8_t(carry % 10);
        carry /= 10;
    }
    return normalized(std::move(out), a.scale);
}

Digits withScale(const ExactDecimal &a, int scale)
{
    Digits d = a.digits;
    d.insert(d.end(), size_t(scale - a.scale), 0);
    return d;
}

ExactDecimal sum(const ExactDecimal &a, const ExactDecimal &b)
{
    const int scale = std::max(a.scale, b.scale);
    const Digits x = withScale(a, scale), y = withScale(b, scale);
    Digits out(std::max(x.size(), y.size()) + 1, 0);
    int carry = 0;
    for (size_t k = 0; k < out.size(); ++k) {
        int v = carry;
        if (k < x.size())
            v += x[x.size() - 1 - k];
        if (k < y.size())
            v += y[y.size() - 1 - k];
        out[out.size() - 1 - k] = uint8_t(v % 10);
        carry = v / 10;
    }
    return normalized(std::move(out), scale);
}

// Integer division of a digit string by a small divisor.
Digits divided(const Digits &num, uint32_t divisor, uint32_t *remainder)
{
    Digits q(num.size(), 0);
    uint64_t rem = 0;
    for (size_t i = 0; i < num.size(); ++i) {
        rem = rem * 10 + num[i];
        q[i] = uint8_t(rem / divisor);
        rem %= divisor;
    }
    if (remainder)
        *remainder = uint32_t(rem);
    return normalized(std::move(q), 0).digits;
}

void splitInteger(const ExactDecimal &a, Digits *integer, Digits *fraction)
{
    const size_t n = a.digits.size(), s = size_t(a.scale);
    if (n > s) {
        integer->assign(a.digits.begin(), a.digits.end() - std::ptrdiff_t(s));
        fraction->assign(a.digits.end() - std::ptrdiff_t(s), a.digits.end());
    } else {
        integer->clear();
        fraction->assign(s - n, 0);
        fraction->insert(fraction->end(), a.digits.begin(), a.digits.end());
    }
}

QString digitText(const Digits &d)
{
    if (d.empty())
        return QStringLiteral("0");
    QString s(qsizetype(d.size()), Qt::Uninitialized);
    for (size_t i = 0; i < d.size(); ++i)
        s[qsizetype(i)] = QChar(u'0' + d[i]);
    return s;
}

// whole + 0.fraction
ExactDecimal joined(uint32_t whole, const Digits &fraction)
{
    Digits d;
    for (char c : std::to_string(whole))
        d.push_back(uint8_t(c - '0'));
    d.insert(d.end(), fraction.begin(), fraction.end());
    return normalized(std::move(d), int(fraction.size()));
}

// The leading significant digits of a / divisor: value = d0.d1d2... x 10^exponent.
struct Significant {
    std::string digits;   // empty for zero
    int exponent = 0;
};

Significant significant(const ExactDecimal &a, uint32_t divisor, size_t count)
{
    Significant out;
    if (a.isZero())
        return out;
    const size_t n = a.digits.size();
    uint64_t rem = 0;
    for (size_t i = 0; out.digits.size() < count; ++i) {
        rem = rem * 10 + (i < n ? a.digits[i] : 0);
        const auto q = char('0' + rem / divisor);
        rem %= divisor;
        if (out.digits.empty()) {
            if (q == '0')
                continue;
            out.exponent = int(n) - 1 - int(i) - a.scale;
        }
        out.digits.push_back(q);
        if (i + 1 >= n && rem == 0)
            break;   // the rest is zeros
    }
    return out;
}

// Up to 15 significant digits, rounded half away from zero; trailing zeros dropped.
Significant rounded15(Significant s)
{
    if (s.digits.size() > 15) {
        const bool up = s.digits[15] >= '5';
        s.digits.resize(15);
        if (up) {
            int k = 14;
            while (k >= 0 && s.digits[size_t(k)] == '9')
                s.digits[size_t(k--)] = '0';
            if (k < 0) {
                s.digits = "1";
                ++s.exponent;
            } else {
                ++s.digits[size_t(k)];
            }
        }
    }
    while (!s.digits.empty() && s.digits.back() == '0')
        s.digits.pop_back();
    return s;
}

QString generalText(bool negative, Significant s)
{
    s = rounded15(std::move(s));
    if (s.digits.empty())
        return QStringLiteral("0");
    QString text = negative ? QStringLiteral("-") : QString();
    const QString d = QString::fromLatin1(s.digits.data(), qsizetype(s.digits.size()));
    const int e = s.exponent;
    if (e < -5 || e >= 15) {
        text += d.left(1);
        if (d.size() > 1)
            text += QLatin1Char('.') + d.mid(1);
        text += QLatin1Char('E') + QString::number(e);
    } else if (e >= 0) {
        text += d.left(e + 1).leftJustified(e + 1, QLatin1Char('0'));
        if (d.size() > e + 1)
            text += QLatin1Char('.') + d.mid(e + 1);
    } else {
        text += QStringLiteral("0.") + QString(-e - 1, QLatin1Char('0')) + d;
    }
    return text;
}

QString degreesPart(const ExactAngle &v, uint32_t *restSeconds, Digits *fraction)
{
    Digits integer;
    splitInteger(v.seconds, &integer, fraction);
    const Digits degrees = divided(integer, 3600, restSeconds);
    // A value between -1 and 0 keeps its sign, so W 0.5 and E 0.5 differ.
    return (v.negative && !v.isZero() ? QStringLiteral("-") : QString()) + digitText(degrees);
}
} // namespace

ExactDecimal ExactDecimal::fromString(const QString &text)
{
    Digits d;
    d.reserve(size_t(text.size()));
    int scale = 0;
    bool afterPoint = false;
    for (QChar c : text) {
        if (c == QLatin1Char('.') && !afterPoint) {
            afterPoint = true;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            d.push_back(uint8_t(c.unicode() - u'0'));
            if (afterPoint)
                ++scale;
        }
    }
    return normalized(std::move(d), scale);
}

QString ExactDecimal::toString() const
{
    Digits integer, fraction;
    splitInteger(*this, &integer, &fraction);
    QString s = digitText(integer);
    if (!fraction.empty())
        s += QLatin1Char('.') + digitText(fraction);
    return s;
}

double ExactAngle::degrees() const
{
    const Significant s = significant(seconds, 3600, 20);
    if (s.digits.empty())
        return 0.0;
    std::string text = s.digits.substr(0, 1) + "." + s.digits.substr(1) + "e" + std::to_string(s.exponent);
    double v = 0.0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::result_out_of_range)
        v = s.exponent > 0 ? HUGE_VAL : 0.0;
    return negative ? -v : v;
}

CoordinateReader::CoordinateReader(const QString &text)
    : m_text(text)
{
}

QChar CoordinateReader::current() const
{
    return m_pos >= 0 && m_pos < m_text.size() ? m_text.at(m_pos) : QChar();
}

void CoordinateReader::skipBlanks()
{
    while (current() == QLatin1Char(' ') || current() == QLatin1Char('\t'))
        advance();
}

ExactDecimal CoordinateReader::readNumber()
{
    const int start = m_pos;
    auto isDigit = [this] { return current() >= QLatin1Char('0') && current() <= QLatin1Char('9'); };
    while (isDigit())
        advance();
    if (current() == QLatin1Char('.')) {
        advance();
        while (isDigit())
            advance();
    }
    return ExactDecimal::fromString(m_text.mid(start, m_pos - start));
}

ExactAngle CoordinateReader::ParseCoordinate(CoordinateKind kind)
{
    advance();
    skipBlanks();

    const bool eastWest = kind == CoordinateKind::EastWest;
    const QLatin1String negative = eastWest ? QLatin1String("-Ww") : QLatin1String("-Ss");
    const QLatin1String positive = eastWest ? QLatin1String("Ee") : QLatin1String("Nn");
    ExactAngle result;
    const QChar c = current();
    if (!c.isNull() && negative.contains(c)) {
        result.negative = true;
        advance();
    } else if (!c.isNull() && positive.contains(c)) {
        advance();
    }
    skipBlanks();

    const ExactDecimal value = readNumber();
    skipBlanks();

    const QChar unit = current();
    if (unit == QLatin1Char('"')) {
        result.seconds = value;
    } else if (unit == QLatin1Char('\'')) {
        advance();
        skipBlanks();
        result.seconds = sum(multiplied(value, 60), readNumber());
    } else if (unit == QLatin1Char('*') || unit == QChar(0x00B0) || unit == QChar(0x00BA)) {
        // "*", the degree sign and the ordinal indicator all end the degrees.
        advance();
        skipBlanks();
        const ExactDecimal minutes = readNumber();
        skipBlanks();
        if (current() == QLatin1Char('"')) {
            result.seconds = sum(multiplied(value, 3600), minutes);
        } else {
            result.seconds = sum(multiplied(value, 3600), multiplied(minutes, 60));
            if (current() == QLatin1Char('\'')) {
                advance();
                skipBlanks();
                result.seconds = sum(result.seconds, readNumber());
            }
        }
    } else {
        result.seconds = multiplied(value, 3600);
    }
    return result;
}

CoordinatePair parseCoordinatePair(const QString &text)
{
    CoordinateReader reader(text);
    CoordinatePair pair;
    pair.lng = reader.ParseCoordinate(CoordinateKind::EastWest);
    pair.lat = reader.ParseCoordinate(CoordinateKind::NorthSouth);
    return pair;
}

QString formatGeneral(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0.0)
        return QStringLiteral("0");
    // Every double has an exact decimal form of at most 767 significant digits.
    char buf[1024];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 800);
    const std::string text(buf, r.ptr);
    const size_t e = text.find('e');
    Significant s;
    s.digits = text.substr(0, 1) + text.substr(2, e - 2);
    s.exponent = std::stoi(text.substr(e + 1));
    return generalText(value < 0, std::move(s));
}

QString formatCoordinate(const ExactAngle &v, CoordinateDisplay display)
{
    switch (display) {
    case CoordinateDisplay::Degrees:
        return generalText(v.negative, significant(v.seconds, 3600, 16));
    case CoordinateDisplay::Minutes: {
        uint32_t rest = 0;
        Digits fraction;
        const QString deg = degreesPart(v, &rest, &fraction);
        // frac(|x|) x 60 = (the seconds left over past whole degrees) / 60.
        const ExactDecimal left = joined(rest, fraction);
        return deg + QLatin1Char('*') + generalText(false, significant(left, 60, 16));
    }
    case CoordinateDisplay::Seconds: {
        uint32_t rest = 0;
        Digits fraction;
        const QString deg = degreesPart(v, &rest, &fraction);
        // Whole minutes and seconds come from the same exact value, so they never
        // show 22'60 for 23'0.
        const ExactDecimal secs = joined(rest % 60, fraction);
        return deg + QLatin1Char('*') + QString::number(rest / 60) + QLatin1Char('\'')
               + generalText(false, significant(secs, 1, 16));
    }
    case CoordinateDisplay::TomTom: {
        // x degrees x 100000 = seconds x 250 / 9, truncated toward zero.
        Digits integer, fraction;
        splitInteger(multiplied(v.seconds, 250), &integer, &fraction);
        const Digits units = divided(integer, 9, nullptr);
        return (v.negative && !units.empty() ? QStringLiteral("-") : QString()) + digitText(units);
    }
    }
    return {};
}

QStringList coordinateDisplayLines(const CoordinatePair &pair, CoordinateDisplay display)
{
    return {QStringLiteral("Lng: ") + formatCoordinate(pair.lng, display),
            QStringLiteral("Lat: ") + formatCoordinate(pair.lat, display)};
}

QString coordinateDisplayName(CoordinateDisplay display)
{
    switch (display) {
    case CoordinateDisplay::Degrees:
        return QCoreApplication::translate("TLatLng", "Stopnie");
    case CoordinateDisplay::Minutes:
        return QCoreApplication::translate("TLatLng", "Minuty");
    case CoordinateDisplay::Seconds:
        return QCoreApplication::translate("TLatLng", "Sekundy");
    case CoordinateDisplay::TomTom:
        return QCoreApplication::translate("TLatLng", "TomTom");
    }
    return {};
}
