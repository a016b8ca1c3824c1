// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringView>

#include <optional>

// Coordinates are signed integers of 1/100000 degree (OV2 units) everywhere: in the
// device files and in the lists. These convert the lists' texts; "." is always the
// decimal separator, whatever the locale.

// A cell read "as an integer": blanks around, an optional sign and decimal digits
// that fit 32 bits. Anything else is not an integer.
std::optional<qint32> parseOv2Integer(QStringView text);
// Same on device bytes or UTF-8 input.
std::optional<qint32> parseOv2Integer(QByteArrayView text);

// Decimal degrees to OV2 units, exactly on the digits (no floating point), truncated
// toward zero: "52.12345" -> "5212345", "-0.000019" -> "-1", "19.8" -> "1980000".
// A text that is not a number, or whose result leaves 64 bits, gives "0".
QString ToOV2Units(QStringView text);
// The same as a number; nullopt when the text is not a number.
std::optional<qint64> toOv2UnitsValue(QStringView text);

// OV2 units to degrees with exactly 5 decimals: "5212345" -> "52.12345", "-1" ->
// "-0.00001". A text that is not an integer reads as 0.
QString FromOV2Units(QStringView text);
QString formatOv2Degrees(qint64 units);
