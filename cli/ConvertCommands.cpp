// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli convert IN OUT: POI lists and itineraries between OV2, ITN, GPX, KML and
// CSV, chosen by the files' extensions, with the editors' own readers and writers.
#include "cli/Commands.h"

#include "core/RBParamsTable.h"
#include "itn/ItnFormat.h"
#include "exchange/KmlImport.h"
#include "platform/AtomicFile.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/FileReader.h"
#include "exchange/Gpx.h"
#include "exchange/KmlExport.h"
#include "poi/Ov2Reader.h"
#include "core/Ov2Units.h"
#include "poi/Ov2Writer.h"
#include "exchange/PoiTextExport.h"

#include <QFileInfo>

namespace {

// A route (an itinerary, a GPX route or track, a KML line) stays a route; anything
// else is a list of points.
struct Points {
    std::vector<GeoPoint> points;
    bool route = false;
    QString title;
};

const char *const kEndings = ".ov2, .itn, .gpx, .kml or .csv";

qint32 units(const QString &degrees)
{
    const std::optional<qint64> v = toOv2UnitsValue(degrees);
    if (!v || *v < INT_MIN || *v > INT_MAX)
        throw KorvixError(QStringLiteral("not a coordinate: ") + degrees);
    return qint32(*v);
}

void readOv2(const QString &path, const DeviceCodec &codec, Points &in)
{
    Ov2Data data;
    if (const QString error = readOv2File(path, data); !error.isEmpty())
        throw KorvixError(withOpenFailure(error, Ov2Texts::cantOpen(), path));
    in.points.reserve(data.pois.size());
    for (const Ov2Poi &p : data.pois)
        in.points.push_back({p.lon, p.lat, codec.toUnicode(data.text(p))});
}

void readItn(const QString &path, const DeviceCodec &codec, Points &in)
{
    TRBParamsTable table;
    table.SetColCount(5);
    table.AppendRow();
    for (TRBParams &row : Itn::readFile(path, codec))
        table.AppendRow(std::move(row));
    in.points = Gpx::pointsOfRows(table, Itn::FlagColumn);
    in.route = true;
}

void readGpx(const QString &path, Points &in)
{
    GpxContent gpx;
    if (const QString error = Gpx::readFile(path, gpx); !error.isEmpty())
        throw KorvixError(error);
    in.route = gpx.waypoints.empty();
    in.title = gpx.routeName;
    in.points = std::move(gpx.waypoints);
    for (auto *more : {&gpx.routePoints, &gpx.trackPoints})
        in.points.insert(in.points.end(), more->begin(), more->end());
}

// A regular file of at most `cap` bytes, never waited on.
QByteArray readInput(const QString &path, qint64 cap)
{
    QString error;
    std::optional<QByteArray> bytes = FileReader::read(path, cap, &error);
    if (!bytes)
        throw KorvixError(error);
    return std::move(*bytes);
}

void readKml(const QString &path, Points &in)
{
    const QByteArray bytes = readInput(path, Itn::MaxKmlBytes);
    const Itn::KmlPoints kml = Itn::ImportKML(bytes);
    if (!kml.valid)
        throw KorvixError(kml.reason.isEmpty() ? Itn::invalidKmlMessage() : Itn::invalidKmlMessage() + QStringLiteral(": ") + kml.reason);
    const QString noAddress = QStringLiteral(" : ");
    for (const Itn::ImportedPoint &p : kml.points) {
        // The import puts the address before the name; without one only the separator is left.
        const QString name = p.name.startsWith(noAddress) ? p.name.mid(noAddress.size()) : p.name;
        in.points.push_back({units(p.lon), units(p.lat), name});
    }
    in.route = bytes.contains("<LineString");
}

// Our own CSV: longitude, latitude (OV2 units) and the description, which may be
// quoted.
void readCsv(const QString &path, const DeviceCodec &codec, Points &in)
{
    const QByteArray bytes = readInput(path, Itn::MaxInputBytes);
    int lineNumber = 0;
    for (QByteArrayView line : QByteArrayView(bytes).toByteArray().split('\n')) {
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype c1 = line.indexOf(',');
        const qsizetype c2 = c1 < 0 ? -1 : line.indexOf(',', c1 + 1);
        const auto lon = parseOv2Integer(c1 < 0 ? line : line.first(c1));
        const auto lat = c1 < 0 ? std::nullopt : parseOv2Integer(line.sliced(c1 + 1, (c2 < 0 ? line.size() : c2) - c1 - 1));
        if (!lon || !lat)
            throw KorvixError(QStringLiteral("line %1: not a longitude and latitude in 1/100000 degree").arg(lineNumber));
        QByteArrayView desc = c2 < 0 ? QByteArrayView() : line.sliced(c2 + 1);
        if (desc.size() >= 2 && desc.front() == '"' && desc.back() == '"')
            desc = desc.sliced(1, desc.size() - 2);
        in.points.push_back({*lon, *lat, codec.toUnicode(desc)});
    }
}

TRBParamsTable rowsOf(const std::vector<GeoPoint> &points, bool itinerary)
{
    TRBParamsTable table;
    table.SetColCount(5);
    table.Reserve(int(points.size()) + 1);
    table.AppendRow();
    for (const GeoPoint &p : points) {
        TRBParams &row = table.AppendRow();
        row.SetField(1, QString::number(p.lon));
        row.SetField(2, QString::number(p.lat));
        row.SetField(3, p.name);
        if (itinerary)
            row.SetField(Itn::FlagColumn, QStringLiteral("0"));
    }
    return table;
}

// Returns the files written (an itinerary of more than 48 points is split as the
// editor splits it). `csvCodec`: the CSV's characters; UTF-8 CSV has LF line ends, as
// desktop tools read it, a code page the device's CR LF.
QStringList write(const QString &path, const Points &in, const DeviceCodec &codec, const DeviceCodec &csvCodec)
{
    if (hasSuffix(path, {"gpx"})) {
        GpxContent gpx;
        (in.route ? gpx.routePoints : gpx.waypoints) = in.points;
        gpx.routeName = in.title;
        Gpx::save(path, gpx);
    } else if (hasSuffix(path, {"kml"})) {
        const QString title = in.title.isEmpty() ? QFileInfo(path).completeBaseName() : in.title;
        KmlExport::save(path, in.points, in.route ? KmlExport::Kind::Route : KmlExport::Kind::Points, title);
    } else if (hasSuffix(path, {"ov2"})) {
        Ov2PointList list;
        list.reserve(in.points.size());
        for (const GeoPoint &p : in.points)
            list.add(p.lon, p.lat, codec.fromUnicode(p.name));
        SaveOV2(path, list);
    } else if (hasSuffix(path, {"itn"})) {
        return Itn::writeRows(path, rowsOf(in.points, true), int(in.points.size()) > Itn::MaxPoints, codec);
    } else {
        QByteArray text = poiTextExport(rowsOf(in.points, false), PoiTextFormat::PlainCsv, csvCodec);
        if (!csvCodec.isSingleByte())
            text.replace("\r\n", "\n");
        if (const QString why = AtomicFile::write(path, text); !why.isEmpty())
            throw KorvixError(why);
    }
    return {path};
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
    const auto known = [](const QString &p) { return hasSuffix(p, {"ov2", "itn", "gpx", "kml", "csv"}); };
    if (!known(inPath)) {
        fileError(err, inPath, QStringLiteral("Can't read this kind of file: the input must end in ") + kEndings);
        return 2;
    }
    if (!known(outPath))
        return refuseOutput(err, outPath, QLatin1String(kEndings));
    const DeviceCodec codec = DeviceCodec::fromSettings();
    Points in;
    try {
        if (hasSuffix(inPath, {"ov2"}))
            readOv2(inPath, codec, in);
        else if (hasSuffix(inPath, {"itn"}))
            readItn(inPath, codec, in);
        else if (hasSuffix(inPath, {"gpx"}))
            readGpx(inPath, in);
        else if (hasSuffix(inPath, {"kml"}))
            readKml(inPath, in);
        else
            readCsv(inPath, csvCodec, in);
    } catch (const KorvixError &e) {
        return fileError(err, inPath, e.message());
    }
    if (in.points.empty())
        return fileError(err, inPath, QStringLiteral("no points to convert"));
    try {
        const QStringList written = write(outPath, in, codec, csvCodec);
        if (written.size() > 1)
            for (const QString &f : written)
                out << f << '\n';
    } catch (const KorvixError &e) {
        return fileError(err, outPath, e.message());
    }
    return 0;
}

const CliRegistrar registrar({QStringLiteral("convert"),
                              QStringLiteral("IN OUT [--codepage 1250]: between .ov2, .itn, .gpx, .kml and .csv by extension (CSV in UTF-8 unless a code page is named)"),
                              &convert});

} // namespace
