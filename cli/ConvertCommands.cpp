// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli convert IN OUT: POI lists and itineraries between OV2, ITN, GPX, KML and
// CSV, chosen by the files' extensions, with the editors' own readers and writers.
#include "cli/Commands.h"

#include "core/RBParamsTable.h"
#include "exchange/FormatTable.h"
#include "exchange/Gpx.h"
#include "itn/ItnFormat.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Writer.h"

#include <QFileInfo>

namespace {

// The device's own formats beside the exchange table's: OV2 lists and ITN routes.
class Ov2Format final : public PointFormat {
public:
    QStringList suffixes() const override { return {QStringLiteral("ov2")}; }
    bool canRead() const override { return true; }
    bool canWrite() const override { return true; }

    QString read(const QString &path, const PointCodecs &codecs, PointSet &out) const override
    {
        Ov2Data data;
        if (const QString error = readOv2File(path, data); !error.isEmpty())
            return withOpenFailure(error, Ov2Texts::cantOpen(), path);
        out.points.reserve(data.pois.size());
        for (const Ov2Poi &p : data.pois)
            out.points.push_back({p.lon, p.lat, codecs.device.toUnicode(data.text(p))});
        return {};
    }

    QString write(const QString &path, const PointSet &in, const PointCodecs &codecs, QStringList &written) const override
    {
        Ov2PointList list;
        list.reserve(in.points.size());
        for (const GeoPoint &p : in.points)
            list.add(p.lon, p.lat, codecs.device.fromUnicode(p.name));
        try {
            SaveOV2(path, list);
        } catch (const KorvixError &e) {
            return e.message();
        }
        written.append(path);
        return {};
    }
};

class ItnFormat final : public PointFormat {
public:
    QStringList suffixes() const override { return {QStringLiteral("itn")}; }
    bool canRead() const override { return true; }
    bool canWrite() const override { return true; }

    QString read(const QString &path, const PointCodecs &codecs, PointSet &out) const override
    {
        try {
            TRBParamsTable table;
            table.SetColCount(5);
            table.AppendRow();
            for (TRBParams &row : Itn::readFile(path, codecs.device))
                table.AppendRow(std::move(row));
            out.points = Gpx::pointsOfRows(table, Itn::FlagColumn);
        } catch (const KorvixError &e) {
            return e.message();
        }
        out.route = true;
        return {};
    }

    // More than 48 points are split as the editor splits them.
    QString write(const QString &path, const PointSet &in, const PointCodecs &codecs, QStringList &written) const override
    {
        TRBParamsTable table;
        table.SetColCount(5);
        table.Reserve(int(in.points.size()) + 1);
        table.AppendRow();
        for (const GeoPoint &p : in.points) {
            TRBParams &row = table.AppendRow();
            row.SetField(1, QString::number(p.lon));
            row.SetField(2, QString::number(p.lat));
            row.SetField(3, p.name);
            row.SetField(Itn::FlagColumn, QStringLiteral("0"));
        }
        try {
            written += Itn::writeRows(path, table, int(in.points.size()) > Itn::MaxPoints, codecs.device);
        } catch (const KorvixError &e) {
            return e.message();
        }
        return {};
    }
};

const FormatTable &formats()
{
    static const Ov2Format ov2;
    static const ItnFormat itn;
    static const FormatTable table = FormatTable{&ov2, &itn} + FormatTable::exchange();
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
        err << "usage: korvix-cli convert IN OUT [--codepage 1250|1252|UTF-8] (each .ov2, .itn, .gpx, .kml or .csv; "
               "CSV is UTF-8 unless a code page is named)\n";
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
    if (const QString error = reader->read(inPath, codecs, in); !error.isEmpty())
        return fileError(err, inPath, error);
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
