#include "cli/Commands.h"

#include "poi/CoordinateText.h"

namespace {
int coord(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty()) {
        err << "usage: korvix-cli coord TEXT\n";
        return 2;
    }
    // The shell splits "19.935, 50.062" into words; the dialog sees one line.
    const CoordinatePair pair = parseCoordinatePair(args.join(QLatin1Char(' ')));
    for (CoordinateDisplay d : {CoordinateDisplay::Degrees, CoordinateDisplay::Minutes,
                                CoordinateDisplay::Seconds, CoordinateDisplay::TomTom})
        out << coordinateDisplayLines(pair, d).join(QStringLiteral(" | ")) << '\n';
    return 0;
}

const CliRegistrar registrar({QStringLiteral("coord"),
                              QStringLiteral("TEXT   the coordinate dialog's four displays of TEXT"), coord});
} // namespace
