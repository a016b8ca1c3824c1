// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/KmlExport.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "exchange/GpxXml.h"
#include "core/Ov2Units.h"

#include <QXmlStreamWriter>

namespace KmlExport {

namespace {
QString coordinates(const GeoPoint &p)
{
    return formatOv2Degrees(p.lon) + u',' + formatOv2Degrees(p.lat) + QStringLiteral(",0");
}
} // namespace

void write(ChunkedOut &out, const std::vector<GeoPoint> &points, Kind kind, const QString &title)
{
    ChunkedXmlDevice device(out);
    QXmlStreamWriter w(&device);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("kml"));
    w.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    w.writeStartElement(QStringLiteral("Document"));
    if (!title.isEmpty())
        w.writeTextElement(QStringLiteral("name"), xmlSafe(title));
    if (kind == Kind::Route && !points.empty()) {
        // The import skips this placemark: it has no Point.
        w.writeStartElement(QStringLiteral("Placemark"));
        if (!title.isEmpty())
            w.writeTextElement(QStringLiteral("name"), xmlSafe(title));
        w.writeStartElement(QStringLiteral("LineString"));
        w.writeTextElement(QStringLiteral("tessellate"), QStringLiteral("1"));
        QString line;
        line.reserve(qsizetype(points.size()) * 24);
        for (const GeoPoint &p : points) {
            if (!line.isEmpty())
                line += u' ';
            line += coordinates(p);
        }
        w.writeTextElement(QStringLiteral("coordinates"), line);
        w.writeEndElement();
        w.writeEndElement();
    }
    const QString placemark = QStringLiteral("Placemark"), name = QStringLiteral("name"),
                  point = QStringLiteral("Point"), coords = QStringLiteral("coordinates");
    for (const GeoPoint &p : points) {
        w.writeStartElement(placemark);
        w.writeTextElement(name, xmlSafe(p.name));
        w.writeStartElement(point);
        w.writeTextElement(coords, coordinates(p));
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndDocument();
}

QByteArray toBytes(const std::vector<GeoPoint> &points, Kind kind, const QString &title)
{
    return ChunkedOut::collect([&](ChunkedOut &out) { write(out, points, kind, title); });
}

void save(const QString &path, const std::vector<GeoPoint> &points, Kind kind, const QString &title)
{
    const QString error = AtomicFile::writeStreamed(path, [&](ChunkedOut &out) { write(out, points, kind, title); });
    if (!error.isEmpty())
        throw KorvixError(error);
}

} // namespace KmlExport
