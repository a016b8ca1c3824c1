// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli itn ... and kml ...: itineraries and the point imports from the command
// line.
#include "cli/Commands.h"
#include "poi/PoiDump.h"

#include "itn/ItnFormat.h"
#include "exchange/KmlImport.h"
#include "exchange/MapLink.h"
#include "exchange/TargeoImport.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Bytes as they are to standard output; 1 with the system's reason when they cannot go.
int writeRaw(QTextStream &out, QTextStream &err, const QByteArray &bytes)
{
    out.flush();
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) && std::fflush(stdout) == 0)
        return 0;
    err << "standard output: " << QString::fromLocal8Bit(std::strerror(errno)) << '\n';
    return 1;
}

bool readFile(const QString &path, QByteArray &bytes, QTextStream &err, qint64 maxBytes = Itn::MaxInputBytes)
{
    try {
        bytes = Itn::readInputFile(path, maxBytes);
    } catch (const KorvixError &e) {
        fileError(err, path, e.message());
        return false;
    }
    return true;
}

void appendRow(QByteArray &out, const QStringList &fields, const DeviceCodec &codec)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (i)
            out.append('\t');
        appendDumpEscaped(out, codec.fromUnicode(fields[i]), codec);
    }
    out.append('\n');
}

int dump(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli itn dump FILE\n";
        return 2;
    }
    QByteArray bytes;
    if (!readFile(args[0], bytes, err))
        return 1;
    const DeviceCodec codec = DeviceCodec::fromSettings();
    QByteArray text;
    for (const QString &line : Itn::splitLines(codec.toUnicode(bytes)))
        appendRow(text, Itn::lineFields(line), codec);
    return writeRaw(out, err, text);
}

// Rows of longitude TAB latitude TAB name TAB flag, escaped as "itn dump" writes them.
int write(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QStringList files = args;
    const bool split = files.removeAll(QStringLiteral("--split")) > 0;
    if (files.size() != 1) {
        err << "usage: korvix-cli itn write OUT [--split] < rows.tsv\n";
        return 2;
    }
    QByteArray text;
    if (!readStandardInput(text, err))
        return 1;
    const DeviceCodec codec = DeviceCodec::fromSettings();
    TRBParamsTable table;
    table.SetColCount(5);
    table.AppendRow();
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        TRBParams row;
        row.Append(QString());
        const QList<QByteArray> fields = line.split('\t');
        for (int c = 1; c <= 4 && c <= fields.size(); ++c) {
            const QString v = codec.toUnicode(poiDumpUnescape(fields[c - 1], codec));
            if (!v.isEmpty())
                row.SetField(c, v);
        }
        table.AppendRow(std::move(row));
    }
    // A last line ending adds no row.
    if (text.endsWith('\n') || text.isEmpty())
        table.SetRowCount(table.RowCount() - 1);
    // Empty input (a forgotten redirection) must not empty the file.
    bool anyPoint = false;
    for (int r = 1; r < table.RowCount() && !anyPoint; ++r)
        for (int c = 1; c <= 4 && !anyPoint; ++c)
            anyPoint = !table.Row(r).FieldView(c).isEmpty();
    if (!anyPoint)
        return fileError(err, files[0], QStringLiteral("There is no route point to save"));
    try {
        for (const QString &f : Itn::writeRows(files[0], table, split, codec))
            out << f << '\n';
    } catch (const KorvixError &e) {
        return fileError(err, files[0], e.message());
    }
    return 0;
}

int printPoints(QTextStream &out, QTextStream &err, const std::vector<Itn::ImportedPoint> &points, bool itn,
                const DeviceCodec &codec)
{
    QByteArray text;
    for (const Itn::ImportedPoint &p : points) {
        const Itn::PointCells c = Itn::pointCells(p.lon, p.lat, p.name);
        if (itn)
            appendRow(text, {c.lon, c.lat, c.name, c.flag}, codec);
        else
            appendRow(text, {c.lon, c.lat, c.name}, codec);
    }
    return writeRaw(out, err, text);
}

int targeo(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli itn targeo FILE.atm\n";
        return 2;
    }
    QByteArray bytes;
    if (!readFile(args[0], bytes, err))
        return 1;
    const DeviceCodec codec = DeviceCodec::fromSettings();
    return printPoints(out, err, Itn::ReadTargeoRoute(codec.toUnicode(bytes)), true, codec);
}

int link(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli itn link URL\n";
        return 2;
    }
    const DeviceCodec codec = DeviceCodec::fromSettings();
    if (const auto p = Itn::pointFromMapLink(args[0])) {
        return printPoints(out, err, {*p}, true, codec);
    }
    if (!Itn::isHttpLink(args[0])) {
        return fileError(err, args[0], Itn::noLinkMessage());
    }
    // Links without coordinates need the download; show what would be asked for.
    out << "fetch\t" << Itn::fetchUrl(Itn::kmlRequestUrl(args[0])).toString() << '\n';
    return 0;
}

int runItn(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"dump", dump}, {"write", write}, {"targeo", targeo}, {"link", link}},
                         "itn dump|write|targeo|link ...");
}

int runKml(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QStringList rest = args.mid(1);
    const bool itn = rest.removeAll(QStringLiteral("--itn")) > 0;
    const bool poi = rest.removeAll(QStringLiteral("--poi")) > 0;
    const QString sub = args.value(0);
    if (sub == QLatin1String("paste") && rest.size() == 1) {
        QByteArray bytes;
        if (!readFile(rest[0], bytes, err))
            return 1;
        QString text = QString::fromUtf8(bytes);
        Itn::KmlPasteRows(text);
        return writeRaw(out, err, text.toUtf8() + (text.isEmpty() ? "" : "\n"));
    }
    if (sub != QLatin1String("import") || rest.size() != 1 || itn == poi) {
        err << "usage: korvix-cli kml import FILE.kml --itn|--poi | kml paste FILE\n";
        return 2;
    }
    QByteArray bytes;
    if (!readFile(rest[0], bytes, err, Itn::MaxKmlBytes))
        return 1;
    const Itn::KmlPoints kml = Itn::ImportKML(bytes);
    if (printPoints(out, err, kml.points, itn, DeviceCodec::fromSettings()) != 0)
        return 1;
    if (!kml.valid) {
        return fileError(err, rest[0], Itn::invalidKmlMessage());
    }
    return 0;
}

const CliRegistrar itnRegistrar({QStringLiteral("itn"),
                                 QStringLiteral("dump FILE | write OUT [--split] < rows.tsv | targeo FILE.atm | link URL"),
                                 &runItn});
const CliRegistrar kmlRegistrar({QStringLiteral("kml"),
                                 QStringLiteral("import FILE.kml --itn|--poi | paste FILE"), &runKml});

} // namespace
