// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/CoordinateCells.h"

#include "core/CoordinateInput.h"
#include "core/RBParams.h"
#include "platform/Error.h"

#include <QCoreApplication>

#include <limits>

namespace CoordinateCells {

namespace {

enum class Fault { None, NotWhole, OutOfRange };

inline bool isBlank(char16_t c)
{
    return c == ' ' || c == '\t';
}

template <typename Char>
Fault parseInteger(const Char *s, qsizetype n, qint32 &out)
{
    qsizetype i = 0;
    while (i < n && isBlank(char16_t(s[i])))
        ++i;
    while (n > i && isBlank(char16_t(s[n - 1])))
        --n;
    bool negative = false;
    if (i < n && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    if (i >= n)
        return Fault::NotWhole;
    qint64 v = 0;
    bool tooLarge = false;
    for (; i < n; ++i) {
        const char16_t c = char16_t(s[i]);
        if (c < '0' || c > '9')
            return Fault::NotWhole;
        if (!tooLarge) {
            v = v * 10 + (c - '0');
            tooLarge = v > qint64(std::numeric_limits<qint32>::max()) + 1;
        }
    }
    if (negative)
        v = -v;
    if (tooLarge || v > std::numeric_limits<qint32>::max() || v < std::numeric_limits<qint32>::min())
        return Fault::OutOfRange;
    out = qint32(v);
    return Fault::None;
}

Fault parseFault(QStringView text, qint32 &out)
{
    return parseInteger(text.utf16(), text.size(), out);
}

Fault parseFault(QByteArrayView text, qint32 &out)
{
    return parseInteger(reinterpret_cast<const unsigned char *>(text.data()), text.size(), out);
}

QString asText(QStringView text) { return text.toString(); }
QString asText(QByteArrayView text) { return QString::fromUtf8(text); }

[[noreturn]] void refuse(int rowNumber, bool latitude, Fault fault, const QString &text)
{
    const char *const messages[2][2] = {
        {QT_TRANSLATE_NOOP("Coordinates", "Row %1: longitude \"%2\" is not a whole number of 1/100000 degrees"),
         QT_TRANSLATE_NOOP("Coordinates", "Row %1: latitude \"%2\" is not a whole number of 1/100000 degrees")},
        {QT_TRANSLATE_NOOP("Coordinates", "Row %1: longitude \"%2\" is out of range"),
         QT_TRANSLATE_NOOP("Coordinates", "Row %1: latitude \"%2\" is out of range")}};
    const char *source = messages[fault == Fault::OutOfRange ? 1 : 0][latitude ? 1 : 0];
    throw KorvixError(QCoreApplication::translate("Coordinates", source).arg(rowNumber).arg(text));
}

template <typename View>
std::optional<GeoPoint> position(int rowNumber, View lon, View lat, bool othersEmpty)
{
    if (othersEmpty && lon.isEmpty() && lat.isEmpty())
        return std::nullopt;
    GeoPoint p;
    Fault f = parseFault(lon, p.lon);
    if (f != Fault::None)
        refuse(rowNumber, false, f, asText(lon));
    f = parseFault(lat, p.lat);
    if (f != Fault::None)
        refuse(rowNumber, true, f, asText(lat));
    return p;
}

} // namespace

std::optional<qint32> parse(QStringView text)
{
    qint32 v = 0;
    return parseFault(text, v) == Fault::None ? std::optional<qint32>(v) : std::nullopt;
}

std::optional<qint32> parse(QByteArrayView text)
{
    qint32 v = 0;
    return parseFault(text, v) == Fault::None ? std::optional<qint32>(v) : std::nullopt;
}

std::optional<GeoPoint> rowPosition(int rowNumber, QStringView lon, QStringView lat, bool othersEmpty)
{
    return position(rowNumber, lon, lat, othersEmpty);
}

std::optional<GeoPoint> rowPosition(int rowNumber, QByteArrayView lon, QByteArrayView lat, bool othersEmpty)
{
    return position(rowNumber, lon, lat, othersEmpty);
}

bool cellFaulty(const TRBParams &row, int col, QStringView text, int lastColumn)
{
    if (col != LonColumn && col != LatColumn)
        return false;
    if (parse(text))
        return false;
    if (!text.isEmpty())
        return true;
    // An empty coordinate is a fault only in a row that is saved.
    for (int c = 1; c <= lastColumn; ++c)
        if (c != col && !row.FieldView(c).isEmpty())
            return true;
    return false;
}

QString faultReason(const TRBParams &row, int col, QStringView text, int lastColumn)
{
    if (!cellFaulty(row, col, text, lastColumn))
        return {};
    const auto axis = col == LatColumn ? CoordinateInput::Axis::Latitude : CoordinateInput::Axis::Longitude;
    if (text.trimmed().isEmpty())
        return axis == CoordinateInput::Axis::Latitude
                   ? QCoreApplication::translate("Coordinates", "The row has no latitude")
                   : QCoreApplication::translate("Coordinates", "The row has no longitude");
    const QString why = typingFault(col, text);
    if (why.isEmpty())
        return QCoreApplication::translate("Coordinates", "\"%1\" is not yet in 1/100000 degrees: edit the cell to convert it")
            .arg(text.left(CoordinateInput::MaxLength));
    return QCoreApplication::translate("Coordinates", "\"%1\" cannot be read: %2").arg(text.left(CoordinateInput::MaxLength), why);
}

QString typingFault(int col, QStringView text)
{
    if (col != LonColumn && col != LatColumn)
        return {};
    if (text.trimmed().isEmpty())
        return {};
    const auto axis = col == LatColumn ? CoordinateInput::Axis::Latitude : CoordinateInput::Axis::Longitude;
    QString why;
    QStringView first, second;
    // A text that splits into two halves is a pair; its reason names the half at fault.
    if (CoordinateInput::splitPair(text, &first, &second)) {
        if (CoordinateInput::readPair(text, CoordinateInput::PairOrder::LatLon, &why))
            return {};
    } else if (CoordinateInput::read(text, axis, &why)) {
        return {};
    }
    return why;
}

} // namespace CoordinateCells
