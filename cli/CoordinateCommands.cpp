// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include "core/CoordinateInput.h"
#include "core/CoordinateText.h"

#include <algorithm>

namespace {
// What a list's longitude or latitude cell makes of TEXT: its units, or both for a pair.
int cellCoord(const QString &which, const QString &text, QTextStream &out, QTextStream &err)
{
    using namespace CoordinateInput;
    QString why;
    QStringView first, second;
    if (splitPair(text, &first, &second)) {
        if (const auto p = readPair(text, PairOrder::LatLon, &why)) {
            out << "Lng: " << p->lon << " | Lat: " << p->lat << '\n';
            return 0;
        }
    } else if (const auto v = read(text, which == QLatin1String("lat") ? Axis::Latitude : Axis::Longitude, &why)) {
        out << *v << '\n';
        return 0;
    }
    err << "korvix-cli: \"" << text << "\": " << why << '\n';
    return 1;
}

int coord(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() >= 3 && args[0] == QLatin1String("--cell")
        && (args[1] == QLatin1String("lon") || args[1] == QLatin1String("lat")))
        return cellCoord(args[1], args.mid(2).join(QLatin1Char(' ')), out, err);
    if (args.isEmpty() || args[0] == QLatin1String("--cell")) {
        err << "usage: korvix-cli coord TEXT | coord --cell lon|lat TEXT\n";
        return 2;
    }
    // The shell splits "19.935, 50.062" into words; the dialog sees one line.
    const QString text = args.join(QLatin1Char(' '));
    // Without a single digit there is no coordinate at all (the dialog would show zeros).
    if (!std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); })) {
        err << "korvix-cli: \"" << text << "\": no coordinate in this text\n";
        return 1;
    }
    const CoordinatePair pair = parseCoordinatePair(text);
    for (CoordinateDisplay d : {CoordinateDisplay::Degrees, CoordinateDisplay::Minutes,
                                CoordinateDisplay::Seconds, CoordinateDisplay::TomTom})
        out << coordinateDisplayLines(pair, d).join(QStringLiteral(" | ")) << '\n';
    return 0;
}

const CliRegistrar registrar({QStringLiteral("coord"),
                              QStringLiteral("TEXT   the coordinate dialog's four displays of TEXT; "
                                             "--cell lon|lat TEXT: what a list cell makes of TEXT"),
                              coord});
} // namespace
