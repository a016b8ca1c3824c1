#include "poi/PoiTextExport.h"

#include "grid/RBParamsTable.h"
#include "platform/AtomicFile.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "poi/Ov2Reader.h"

#include <QFileInfo>

namespace {

void appendCleaned(QByteArray &out, QByteArrayView text)
{
    const qsizetype old = out.size();
    out.append(text);
    for (char *c = out.data() + old, *e = out.data() + out.size(); c != e; ++c)
        if (*c == '"' || *c == ',')
            *c = '_';
}

void appendLine(QByteArray &out, QByteArrayView lon, QByteArrayView lat, QByteArrayView desc, bool quoted)
{
    appendCleaned(out, lon);
    out.append(',');
    appendCleaned(out, lat);
    out.append(',');
    if (quoted)
        out.append('"');
    appendCleaned(out, desc);
    if (quoted)
        out.append('"');
    out.append("\r\n", 2);
}

void appendInt(QByteArray &out, qint64 v)
{
    char buf[24];
    int n = 0;
    const bool negative = v < 0;
    quint64 a = negative ? quint64(0) - quint64(v) : quint64(v);
    do {
        buf[n++] = char('0' + a % 10);
        a /= 10;
    } while (a);
    if (negative)
        out.append('-');
    while (n)
        out.append(buf[--n]);
}

void write(const QString &fileName, const QByteArray &bytes)
{
    const QString error = AtomicFile::write(fileName, bytes);
    if (!error.isEmpty())
        throw KorvixError(error);
}

} // namespace

bool poiTextFormatFromName(const QString &name, PoiTextFormat *format)
{
    const QString n = name.toLower();
    if (n == QLatin1String("csv"))
        *format = PoiTextFormat::PlainCsv;
    else if (n == QLatin1String("asc"))
        *format = PoiTextFormat::Asc;
    else if (n == QLatin1String("qcsv"))
        *format = PoiTextFormat::QuotedCsv;
    else
        return false;
    return true;
}

QString poiTextExportFileName(const QString &chosen, PoiTextFormat format)
{
    const QFileInfo fi(chosen);
    const QString ext = format == PoiTextFormat::Asc ? QStringLiteral(".asc") : QStringLiteral(".csv");
    const QString base = fi.suffix().isEmpty() ? chosen : chosen.left(chosen.size() - fi.suffix().size() - 1);
    return base + ext;
}

QByteArray poiTextExport(const TRBParamsTable &table, PoiTextFormat format, const DeviceCodec &codec)
{
    QByteArray out;
    const bool quoted = format == PoiTextFormat::QuotedCsv;
    QByteArray lon, lat, desc;
    for (int r = 1; r < table.RowCount(); ++r) {
        const TRBParams &row = table.Row(r);
        lon.resize(0);
        lat.resize(0);
        desc.resize(0);
        codec.appendBytes(lon, row.FieldView(1));
        codec.appendBytes(lat, row.FieldView(2));
        codec.appendBytes(desc, row.FieldView(3));
        appendLine(out, lon, lat, desc, quoted);
    }
    return out;
}

QByteArray poiTextExport(const Ov2Data &data, PoiTextFormat format)
{
    QByteArray out;
    const bool quoted = format == PoiTextFormat::QuotedCsv;
    out.reserve(qsizetype(data.pois.size()) * 40);
    QByteArray lon, lat;
    for (const Ov2Poi &p : data.pois) {
        lon.resize(0);
        lat.resize(0);
        appendInt(lon, p.lon);
        appendInt(lat, p.lat);
        appendLine(out, lon, lat, data.text(p), quoted);
    }
    // A list without POIs still holds its one empty row.
    if (data.pois.empty())
        appendLine(out, {}, {}, {}, quoted);
    return out;
}

void ExportPoiText(const TRBParamsTable &table, const QString &fileName, PoiTextFormat format,
                   const DeviceCodec &codec)
{
    write(fileName, poiTextExport(table, format, codec));
}

void ExportPoiText(const Ov2Data &data, const QString &fileName, PoiTextFormat format)
{
    write(fileName, poiTextExport(data, format));
}
