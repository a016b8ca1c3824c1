// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/PoiTextExport.h"

#include "core/RBParamsTable.h"
#include "platform/AtomicFile.h"
#include "platform/ChunkedOut.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"

#include <QFileInfo>

#include <functional>

namespace {

char *putCleaned(char *d, QByteArrayView text)
{
    for (char c : text)
        *d++ = (c == '"' || c == ',') ? '_' : c;
    return d;
}

} // namespace

void putPoiTextLine(ChunkedOut &out, QByteArrayView lon, QByteArrayView lat, QByteArrayView desc, PoiTextFormat format)
{
    const bool quoted = format == PoiTextFormat::QuotedCsv;
    char *d = out.reserve(size_t(lon.size() + lat.size() + desc.size()) + 6);
    d = putCleaned(d, lon);
    *d++ = ',';
    d = putCleaned(d, lat);
    *d++ = ',';
    if (quoted)
        *d++ = '"';
    d = putCleaned(d, desc);
    if (quoted)
        *d++ = '"';
    *d++ = '\r';
    *d++ = '\n';
    out.advance(d);
}

QByteArrayView poiTextNumber(char (&buf)[12], qint32 v)
{
    char *e = buf + sizeof buf, *d = e;
    quint32 a = v < 0 ? 0u - quint32(v) : quint32(v);
    do {
        *--d = char('0' + a % 10);
        a /= 10;
    } while (a);
    if (v < 0)
        *--d = '-';
    return QByteArrayView(d, e - d);
}

namespace {

void putLines(const TRBParamsTable &table, PoiTextFormat format, const DeviceCodec &codec, ChunkedOut &out)
{
    QByteArray lon, lat, desc;
    for (int r = 1; r < table.RowCount(); ++r) {
        const TRBParams &row = table.Row(r);
        lon.resize(0);
        lat.resize(0);
        desc.resize(0);
        codec.appendBytes(lon, row.FieldView(1));
        codec.appendBytes(lat, row.FieldView(2));
        codec.appendBytes(desc, row.FieldView(3));
        putPoiTextLine(out, lon, lat, desc, format);
    }
}

void putLines(const std::vector<GeoPoint> &points, PoiTextFormat format, const DeviceCodec &codec, ChunkedOut &out)
{
    char lon[12], lat[12];
    QByteArray desc;
    for (const GeoPoint &p : points) {
        desc.resize(0);
        codec.appendBytes(desc, p.name);
        putPoiTextLine(out, poiTextNumber(lon, p.lon), poiTextNumber(lat, p.lat), desc, format);
    }
}

} // namespace

void writePoiText(const QString &fileName, const std::function<void(ChunkedOut &)> &fill)
{
    const QString error = AtomicFile::writeStreamed(fileName, fill);
    if (!error.isEmpty())
        throw KorvixError(fileName + QStringLiteral(": ") + error);
}

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
    return ChunkedOut::collect([&](ChunkedOut &out) { putLines(table, format, codec, out); });
}

QByteArray poiTextExport(const std::vector<GeoPoint> &points, PoiTextFormat format, const DeviceCodec &codec)
{
    return ChunkedOut::collect([&](ChunkedOut &out) { putLines(points, format, codec, out); });
}

// Streams through the save file: a million lines are never held whole.
void ExportPoiText(const TRBParamsTable &table, const QString &fileName, PoiTextFormat format,
                   const DeviceCodec &codec)
{
    writePoiText(fileName, [&](ChunkedOut &out) { putLines(table, format, codec, out); });
}
