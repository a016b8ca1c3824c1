// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Ov2Units.h"

#include "core/CoordinateCells.h"

#include <limits>

namespace {

inline bool isBlank(char16_t c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::optional<qint32> parseOv2Integer(QStringView text)
{
    return CoordinateCells::parse(text);
}

std::optional<qint32> parseOv2Integer(QByteArrayView text)
{
    return CoordinateCells::parse(text);
}

std::optional<qint64> toOv2UnitsValue(QStringView text)
{
    qsizetype i = 0, n = text.size();
    while (i < n && isBlank(text[i].unicode()))
        ++i;
    while (n > i && isBlank(text[n - 1].unicode()))
        --n;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';

    // Significant digits (leading zeros dropped) and the power of ten they carry.
    QByteArray digits;
    qint64 scale = 0; // value = digits * 10^scale
    bool anyDigit = false;
    for (; i < n && text[i].isDigit() && text[i].unicode() < 128; ++i) {
        anyDigit = true;
        if (!digits.isEmpty() || text[i] != u'0')
            digits.append(char(text[i].unicode()));
    }
    if (i < n && text[i] == u'.') {
        ++i;
        for (; i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9'; ++i) {
            anyDigit = true;
            if (!digits.isEmpty() || text[i] != u'0')
                digits.append(char(text[i].unicode()));
            --scale;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == u'-' || text[i] == u'+'))
            expNegative = text[i++] == u'-';
        if (i >= n)
            return std::nullopt;
        qint64 exp = 0;
        for (; i < n; ++i) {
            const char16_t c = text[i].unicode();
            if (c < '0' || c > '9')
                return std::nullopt;
            if (exp < 100000)
                exp = exp * 10 + (c - '0');
        }
        scale += expNegative ? -exp : exp;
    }
    if (i != n)
        return std::nullopt;

    scale += 5; // degrees to units
    if (digits.isEmpty())
        return 0;
    // Truncation toward zero: drop the digits below the units.
    if (scale < 0) {
        if (-scale >= digits.size())
            return 0;
        digits.chop(qsizetype(-scale));
        scale = 0;
    }
    if (digits.size() + scale > 19)
        return std::nullopt;
    quint64 v = 0;
    for (char c : digits)
        v = v * 10 + quint64(c - '0');
    for (qint64 k = 0; k < scale; ++k)
        v *= 10;
    if (v > quint64(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    return negative ? -qint64(v) : qint64(v);
}

QString ToOV2Units(QStringView text)
{
    return QString::number(toOv2UnitsValue(text).value_or(0));
}

QString formatOv2Degrees(qint64 units)
{
    const bool negative = units < 0;
    const quint64 a = negative ? quint64(0) - quint64(units) : quint64(units);
    QString s = QString::number(a / 100000) + u'.' + QString::number(a % 100000).rightJustified(5, u'0');
    return negative ? u'-' + s : s;
}

QString FromOV2Units(QStringView text)
{
    return formatOv2Degrees(parseOv2Integer(text).value_or(0));
}
