// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli ov2 ...: OV2 files from the command line.
#include "cli/Commands.h"

#include "core/CoordinateCells.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "poi/Ov2Reader.h"
#include "core/Ov2Units.h"
#include "poi/Ov2Writer.h"
#include "poi/PoiDump.h"
#include "poi/Ov2TextExport.h"

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

int dump(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli ov2 dump FILE\n";
        return 2;
    }
    Ov2Data data;
    if (const QString error = readOv2File(args[0], data); !error.isEmpty())
        return fileError(err, args[0], withOpenFailure(error, Ov2Texts::cantOpen(), args[0]));
    return writeRaw(out, err, poiDumpLines(data, DeviceCodec::fromSettings()));
}

// Rows of longitude TAB latitude TAB description in OV2 units; later fields (a
// dump's type/level) are ignored, a dump's escapes are undone.
int write(const QStringList &args, QTextStream &, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli ov2 write OUT.ov2 < rows.tsv\n";
        return 2;
    }
    QByteArray text;
    if (!readStandardInput(text, err))
        return 1;
    const DeviceCodec codec = DeviceCodec::fromSettings();
    Ov2PointList list;
    qsizetype pos = 0;
    int row = 0;
    while (pos < text.size()) {
        qsizetype eol = text.indexOf('\n', pos);
        if (eol < 0)
            eol = text.size();
        QByteArrayView line(text.constData() + pos, eol - pos);
        pos = eol + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        ++row;
        const qsizetype t1 = line.indexOf('\t');
        const qsizetype t2 = t1 < 0 ? -1 : line.sliced(t1 + 1).indexOf('\t');
        const QByteArrayView lon = t1 < 0 ? line : line.first(t1);
        const QByteArrayView rest = t1 < 0 ? QByteArrayView() : line.sliced(t1 + 1);
        const QByteArrayView lat = t2 < 0 ? rest : rest.first(t2);
        QByteArrayView desc = t2 < 0 ? QByteArrayView() : rest.sliced(t2 + 1);
        const qsizetype t3 = desc.indexOf('\t');
        if (t3 >= 0)
            desc = desc.first(t3);
        // Checked as the editor's save checks its rows: nothing is written on a fault.
        std::optional<GeoPoint> at;
        try {
            at = CoordinateCells::rowPosition(row, lon, lat, desc.isEmpty());
        } catch (const KorvixError &e) {
            return fileError(err, args[0], e.message());
        }
        if (at)
            list.add(at->lon, at->lat, poiDumpUnescape(desc, codec));
    }
    try {
        SaveOV2(args[0], list);
    } catch (const KorvixError &e) {
        return fileError(err, args[0], e.message());
    }
    return 0;
}

int exportText(const QStringList &args, QTextStream &, QTextStream &err)
{
    PoiTextFormat format;
    if (args.size() != 3 || !poiTextFormatFromName(args[0], &format)) {
        err << "usage: korvix-cli ov2 export csv|asc|qcsv IN.ov2 OUT\n";
        return 2;
    }
    Ov2Data data;
    if (const QString error = readOv2File(args[1], data); !error.isEmpty())
        return fileError(err, args[1], withOpenFailure(error, Ov2Texts::cantOpen(), args[1]));
    try {
        ExportPoiText(data, args[2], format);
    } catch (const KorvixError &e) {
        return fileError(err, args[2], e.message());
    }
    return 0;
}

int check(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli ov2 check FILE\n";
        return 2;
    }
    Ov2Data data;
    if (const QString error = loadOv2Bytes(args[0], data); !error.isEmpty())
        return fileError(err, args[0], withOpenFailure(error, Ov2Texts::cantOpen(), args[0]));
    const Ov2CheckStats st = checkOv2(data);
    out << "bytes\t" << st.fileSize << '\n';
    for (int t = 0; t < 256; ++t)
        if (st.typeCounts[t])
            out << "type " << t << '\t' << st.typeCounts[t] << '\n';
    out << "pois\t" << st.pois << '\n';
    out << "skippers\t" << st.skippers << '\n';
    out << "depth\t" << st.maxDepth << '\n';
    out << "leaves\t" << st.leaves << '\n';
    if (st.leaves)
        out << "leaf pois\tmin " << st.leafPoisMin << "\tmax " << st.leafPoisMax << "\tmean "
            << QString::number(double(st.leafPoisTotal) / double(st.leaves), 'f', 1) << '\n';
    if (st.shortSkippers)
        out << "warning\t" << st.shortSkippers << " skipper records shorter than 21 bytes (empty areas)\n";
    if (st.overhangingAreas)
        out << "warning\t" << st.overhangingAreas << " nested areas end past their parent's end\n";
    if (st.poisOutsideBounds)
        out << "warning\t" << st.poisOutsideBounds << " POIs lie outside their skipper's rectangle\n";
    if (st.skippersPastEnd)
        out << "warning\t" << st.skippersPastEnd << " skipper records claim more bytes than the file holds\n";
    out.flush();
    if (!st.error.isEmpty())
        return fileError(err, args[0], st.error);
    return 0;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"dump", dump}, {"write", write}, {"export", exportText}, {"check", check}},
                         "ov2 dump|write|export|check ...");
}

const CliRegistrar registrar({QStringLiteral("ov2"),
                              QStringLiteral("dump FILE | write OUT.ov2 < rows.tsv | export csv|asc|qcsv IN OUT | check FILE"),
                              &run});

} // namespace
