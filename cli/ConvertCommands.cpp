// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli convert IN OUT: POI lists and itineraries between the formats of the point
// format table (OV2, ITN, GPX, KML, CSV), chosen by the files' extensions.
#include "cli/Commands.h"

#include "exchange/FormatTable.h"
#include "itn/ItnPointFormat.h"
#include "platform/DeviceCodec.h"
#include "poi/Ov2PointFormat.h"
#include "poi/Ov2Reader.h"

#include <QFileInfo>

namespace {

// The device's own formats, then the exchange formats.
const FormatTable &formats()
{
    static const FormatTable table = FormatTable{&ov2PointFormat(), &itnPointFormat()} + FormatTable::exchange();
    return table;
}

// "--codepage NAME" anywhere among the arguments: the CSV's characters (1250, 1252 or
// UTF-8, the default). Taken out of `args`; false when NAME is missing.
bool takeCsvCodePage(QStringList &args, DeviceCodec *codec)
{
    QString name = QStringLiteral("UTF-8");
    if (!takeOption(args, QStringLiteral("--codepage"), &name))
        return false;
    *codec = DeviceCodec(DeviceCodec::kindFromName(name));
    return true;
}

int convert(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QStringList args = arguments;
    DeviceCodec csvCodec;
    if (!takeCsvCodePage(args, &csvCodec) || args.size() != 2) {
        err << "usage: korvix-cli convert IN OUT [--codepage 1250|1252|UTF-8] (each " << formats().endings()
            << "; CSV is UTF-8 unless a code page is named)\n";
        return 2;
    }
    const QString &inPath = args[0], &outPath = args[1];
    const PointFormat *reader = formats().forPath(inPath);
    const PointFormat *writer = formats().forPath(outPath);
    if (!reader || !reader->canRead()) {
        fileError(err, inPath, QStringLiteral("Can't read this kind of file: the input must end in ") + formats().endings());
        return 2;
    }
    if (!writer || !writer->canWrite())
        return refuseOutput(err, outPath, formats().endings());
    const DeviceCodec codec = DeviceCodec::fromSettings();
    const PointCodecs codecs{codec, csvCodec};
    PointSet in;
    // The OV2 reader's message for a file it cannot open gets the system's reason, as
    // in every ov2 command.
    if (const QString error = reader->read(inPath, codecs, in); !error.isEmpty())
        return fileError(err, inPath, withOpenFailure(error, Ov2Texts::cantOpen(), inPath));
    if (in.points.empty())
        return fileError(err, inPath, QStringLiteral("no points to convert"));
    // A KML document is named after its file when the input gives no name.
    if (in.title.isEmpty() && writer == formats().forSuffix(u"kml"))
        in.title = QFileInfo(outPath).completeBaseName();
    QStringList written;
    if (const QString error = writer->write(outPath, in, codecs, written); !error.isEmpty())
        return fileError(err, outPath, error);
    if (written.size() > 1)
        for (const QString &f : written)
            out << f << '\n';
    return 0;
}

const CliRegistrar registrar({QStringLiteral("convert"),
                              QStringLiteral("IN OUT [--codepage 1250]: between .ov2, .itn, .gpx, .kml and .csv by extension (CSV in UTF-8 unless a code page is named)"),
                              &convert});

} // namespace
