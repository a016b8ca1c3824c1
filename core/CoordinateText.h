// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// Coordinates typed or pasted by the user, read in several notations and shown in
// others. Values are kept as exact decimal numbers of arc seconds, so that every
// display equals exact arithmetic on the digits typed (30*23' shows 23 minutes, not
// 22'60"), whatever binary floating point would have made of them.

enum class CoordinateKind { EastWest, NorthSouth };

// The four displays of the coordinate dialog, in the order of its option buttons.
enum class CoordinateDisplay { Degrees, Minutes, Seconds, TomTom };

// A non-negative decimal number: digits (most significant first) over 10^scale.
struct ExactDecimal {
    std::vector<uint8_t> digits;   // no leading zeros; empty means zero
    int scale = 0;                 // count of digits after the decimal point

    bool isZero() const { return digits.empty(); }
    static ExactDecimal fromString(const QString &digitsAndPoint);   // "12.50", "7", ".5"
    QString toString() const;   // plain decimal, trailing fractional zeros dropped
};

// One coordinate: an exact amount of arc seconds with its sign.
struct ExactAngle {
    bool negative = false;
    ExactDecimal seconds;

    bool isZero() const { return seconds.isZero(); }
    // Decimal degrees as a double (infinite when the typed number is too large).
    double degrees() const;
};

// The reader of the coordinate dialog. Its position starts before the first character;
// each ParseCoordinate first steps over one character (the one that ended the
// previous value) and then reads sign, number and unit.
class CoordinateReader {
public:
    explicit CoordinateReader(const QString &text);
    ExactAngle ParseCoordinate(CoordinateKind kind);
    int position() const { return m_pos; }

private:
    QChar current() const;
    void advance() { if (m_pos < m_text.size()) ++m_pos; }
    void skipBlanks();
    ExactDecimal readNumber();

    QString m_text;
    int m_pos = -1;
};

struct CoordinatePair {
    ExactAngle lng;
    ExactAngle lat;
};

// lng first, then lat continuing where lng stopped.
CoordinatePair parseCoordinatePair(const QString &text);

// "general": the shortest decimal with up to 15 significant digits, rounded half away
// from zero; fixed notation for 0.00001 <= |x| < 10^15, else "1E-6", "1.5E20".
QString formatGeneral(double value);

// The value part of one line of a display ("19*56'6" for Seconds).
QString formatCoordinate(const ExactAngle &value, CoordinateDisplay display);
// The two lines of a display: "Lng: ..." and "Lat: ...".
QStringList coordinateDisplayLines(const CoordinatePair &pair, CoordinateDisplay display);
// The caption of a display's option button ("Stopnie", "Minuty", "Sekundy", "TomTom").
QString coordinateDisplayName(CoordinateDisplay display);
