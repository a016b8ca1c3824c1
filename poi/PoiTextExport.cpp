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
    const bool quoted = format == PoiTextFormat::QuotedCsv;
    // A million lines: sized once, filled through a pointer.
    qint64 bound = 0;
    for (const Ov2Poi &p : data.pois)
        bound += 11 + 1 + 11 + 1 + 2 + 2 + qint64(p.textLen);
    QByteArray out;
    if (data.pois.empty()) {
        appendLine(out, {}, {}, {}, quoted);
        return out;
    }
    out.resize(qsizetype(bound));
    char *d = out.data();
    auto putInt = [&d](qint32 v) {
        char buf[12];
        int n = 0;
        quint32 a = v < 0 ? 0u - quint32(v) : quint32(v);
        do {
            buf[n++] = char('0' + a % 10);
            a /= 10;
        } while (a);
        if (v < 0)
            *d++ = '-';
        while (n)
            *d++ = buf[--n];
    };
    for (const Ov2Poi &p : data.pois) {
        putInt(p.lon);
        *d++ = ',';
        putInt(p.lat);
        *d++ = ',';
        if (quoted)
            *d++ = '"';
        const QByteArrayView text = data.text(p);
        for (char c : text)
            *d++ = (c == '"' || c == ',') ? '_' : c;
        if (quoted)
            *d++ = '"';
        *d++ = '\r';
        *d++ = '\n';
    }
    out.truncate(d - out.constData());
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
