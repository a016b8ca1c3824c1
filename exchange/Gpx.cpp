// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/Gpx.h"

#include "core/CoordinateCells.h"
#include "core/RBParamsTable.h"
#include "platform/AtomicFile.h"
#include "platform/ChunkedOut.h"
#include "platform/Error.h"
#include "platform/FileReader.h"
#include "platform/XmlGuard.h"
#include "exchange/GpxXml.h"
#include "core/Ov2Units.h"

#include <QBuffer>
#include <QFile>
#include <QXmlStreamReader>
#include <cstring>
#include <string_view>

namespace {
bool xmlUnfit(const QString &s, qsizetype i)
{
    const char16_t c = s.at(i).unicode();
    if ((c < 0x20 && c != u'\t' && c != u'\n') || c == u'\r' || c == 0xFFFE || c == 0xFFFF)
        return true;
    if (QChar::isHighSurrogate(c))
        return i + 1 >= s.size() || !QChar::isLowSurrogate(s.at(i + 1).unicode());
    return QChar::isLowSurrogate(c) && (i == 0 || !QChar::isHighSurrogate(s.at(i - 1).unicode()));
}
} // namespace

QString xmlSafe(const QString &text)
{
    // Most texts are fit as they are: no copy then.
    qsizetype i = 0;
    while (i < text.size() && !xmlUnfit(text, i))
        ++i;
    if (i == text.size())
        return text;
    QString s = text;
    for (; i < text.size(); ++i)
        if (xmlUnfit(text, i))
            s[i] = QChar::isSurrogate(text.at(i).unicode()) ? QChar(QChar::ReplacementCharacter) : QChar(u' ');
    return s;
}

namespace Gpx {

namespace {

// GPX longitudes lie in [-180, 180): a list's 180 or 190 degrees is the same place
// written as -180 or -170. A latitude beyond the poles is no place at all.
qint64 gpxLongitude(qint32 lon)
{
    const qint64 turn = 36000000;
    qint64 l = (qint64(lon) + turn / 2) % turn;
    if (l < 0)
        l += turn;
    return l - turn / 2;
}

// A million waypoints are written straight into the output, no text object per
// value: the document's few element kinds need no general XML writer.
void put(ChunkedOut &out, std::string_view s)
{
    std::memcpy(out.take(s.size()), s.data(), s.size());
}

// Degrees with exactly five decimals, as formatOv2Degrees writes them.
void putDegrees(ChunkedOut &out, qint64 units)
{
    char *p = out.reserve(24), *start = p;
    quint64 v = units < 0 ? quint64(-units) : quint64(units);
    if (units < 0)
        *p++ = '-';
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v || n < 6);
    while (n > 5)
        *p++ = digits[--n];
    *p++ = '.';
    while (n > 0)
        *p++ = digits[--n];
    out.advance(start + (p - start));
}

// Text content in UTF-8 with &, < and > escaped and what XML cannot carry made fit
// (see xmlSafe).
void putText(ChunkedOut &out, const QString &text)
{
    const qsizetype n = text.size();
    char *p = out.reserve(size_t(n) * 5 + 8), *start = p;
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text.at(i).unicode();
        if (c < 0x80) {
            if (c == '&') {
                std::memcpy(p, "&amp;", 5);
                p += 5;
            } else if (c == '<') {
                std::memcpy(p, "&lt;", 4);
                p += 4;
            } else if (c == '>') {
                std::memcpy(p, "&gt;", 4);
                p += 4;
            } else {
                *p++ = (c < 0x20 && c != '\t' && c != '\n') ? ' ' : char(c);
            }
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            c = QChar::surrogateToUcs4(char16_t(c), text.at(++i).unicode());
        } else if (QChar::isSurrogate(c)) {
            c = QChar::ReplacementCharacter;
        } else if (c == 0xFFFE || c == 0xFFFF) {
            *p++ = ' ';
            continue;
        }
        if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *p++ = char(0xE0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        } else {
            *p++ = char(0xF0 | (c >> 18));
            *p++ = char(0x80 | ((c >> 12) & 0x3F));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *p++ = char(0x80 | (c & 0x3F));
    }
    out.advance(start + (p - start));
}

void writePoint(ChunkedOut &out, std::string_view element, std::string_view indent, const GeoPoint &p)
{
    if (p.lat < -9000000 || p.lat > 9000000)
        throw KorvixError(QCoreApplication::translate("Gpx", "The latitude %1 of \"%2\" lies beyond the poles")
                              .arg(formatOv2Degrees(p.lat), p.name));
    put(out, indent);
    put(out, "<");
    put(out, element);
    put(out, " lat=\"");
    putDegrees(out, p.lat);
    put(out, "\" lon=\"");
    putDegrees(out, gpxLongitude(p.lon));
    if (p.name.isEmpty()) {
        put(out, "\"/>\n");
        return;
    }
    put(out, "\">\n");
    put(out, indent);
    put(out, " <name>");
    putText(out, p.name);
    put(out, "</name>\n");
    put(out, indent);
    put(out, "</");
    put(out, element);
    put(out, ">\n");
}

QString invalidAt(qint64 line, const QString &reason)
{
    return QCoreApplication::translate("Gpx", "Invalid GPX file, line %1: %2").arg(line).arg(reason);
}

std::optional<qint32> coordinate(QStringView text, qint64 limit)
{
    const std::optional<qint64> v = toOv2UnitsValue(text);
    if (!v || *v < -limit || *v > limit)
        return std::nullopt;
    return qint32(*v);
}

} // namespace

void write(ChunkedOut &out, const GpxContent &content)
{
    put(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" version=\"1.1\" creator=\"Korvix\">\n");
    for (const GeoPoint &p : content.waypoints)
        writePoint(out, "wpt", " ", p);
    if (!content.routePoints.empty()) {
        put(out, " <rte>\n");
        if (!content.routeName.isEmpty()) {
            put(out, "  <name>");
            putText(out, content.routeName);
            put(out, "</name>\n");
        }
        for (const GeoPoint &p : content.routePoints)
            writePoint(out, "rtept", "  ", p);
        put(out, " </rte>\n");
    }
    put(out, "</gpx>\n");
}

QByteArray toBytes(const GpxContent &content)
{
    return ChunkedOut::collect([&content](ChunkedOut &out) { write(out, content); });
}

void save(const QString &path, const GpxContent &content)
{
    const QString error = AtomicFile::writeStreamed(path, [&content](ChunkedOut &out) { write(out, content); });
    if (!error.isEmpty())
        throw KorvixError(error);
}

QString read(QIODevice &device, GpxContent &out)
{
    // The guard sees every piece before the parser does: a refused one never reaches it.
    XmlGuardedDevice guarded(device, MaxBytes);
    QXmlStreamReader r(&guarded);
    GpxContent got;
    int depth = 0;
    int pointDepth = 0, routeDepth = 0; // depth of the open point / route, 0 = none
    std::vector<GeoPoint> *target = nullptr;
    GeoPoint point;
    bool rootSeen = false;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::DTD:
            if (!r.entityDeclarations().isEmpty() || r.text().contains(QLatin1String("<!ENTITY")))
                return invalidAt(r.lineNumber(),
                                 QCoreApplication::translate("Gpx", "entity declarations are not accepted"));
            break;
        case QXmlStreamReader::EntityReference:
            return invalidAt(r.lineNumber(), QCoreApplication::translate("Gpx", "entity declarations are not accepted"));
        case QXmlStreamReader::StartElement: {
            if (++depth > MaxDepth)
                return invalidAt(r.lineNumber(), QCoreApplication::translate("Gpx", "the elements nest too deeply"));
            const QStringView name = r.name();
            if (depth == 1) {
                if (name != u"gpx")
                    return invalidAt(r.lineNumber(), QCoreApplication::translate("Gpx", "the root element is not gpx"));
                rootSeen = true;
                break;
            }
            if (pointDepth && depth == pointDepth + 1 && name == u"name") {
                point.name = r.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth; // the end element was read with the text
                break;
            }
            if (routeDepth && depth == routeDepth + 1 && name == u"name") {
                const QString routeName = r.readElementText(QXmlStreamReader::IncludeChildElements);
                if (got.routeName.isEmpty())
                    got.routeName = routeName;
                --depth;
                break;
            }
            if (pointDepth)
                break;
            std::vector<GeoPoint> *list = name == u"wpt"     ? &got.waypoints
                                          : name == u"rtept" ? &got.routePoints
                                          : name == u"trkpt" ? &got.trackPoints
                                                             : nullptr;
            if (list) {
                const auto lat = coordinate(r.attributes().value(QLatin1String("lat")), 9000000);
                const auto lon = coordinate(r.attributes().value(QLatin1String("lon")), 18000000);
                if (!lat || !lon)
                    return invalidAt(r.lineNumber(),
                                     QCoreApplication::translate("Gpx", "a point without a valid latitude and longitude"));
                point = GeoPoint{*lon, *lat, QString()};
                target = list;
                pointDepth = depth;
            } else if (name == u"rte") {
                routeDepth = depth;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (depth == pointDepth) {
                target->push_back(std::move(point));
                point = GeoPoint();
                pointDepth = 0;
            } else if (depth == routeDepth) {
                routeDepth = 0;
            }
            --depth;
            break;
        default:
            break;
        }
    }
    if (r.hasError())
        return invalidAt(r.lineNumber(), guarded.reason().isEmpty() ? r.errorString() : guarded.reason());
    if (!rootSeen)
        return invalidFile();
    out = std::move(got);
    return {};
}

QString read(const QByteArray &bytes, GpxContent &out)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, out);
}

QString readFile(const QString &path, GpxContent &out)
{
    QFile f;
    if (const QString error = FileReader::open(f, path, MaxBytes); !error.isEmpty())
        return error;
    // The reader's own messages name the file like the file reader's do.
    const QString error = read(f, out);
    return error.isEmpty() ? error : path + QStringLiteral(": ") + error;
}

std::vector<GeoPoint> thin(const std::vector<GeoPoint> &points, size_t count)
{
    const size_t n = points.size();
    if (count >= n)
        return points;
    std::vector<GeoPoint> out;
    if (count == 0)
        return out;
    out.reserve(count);
    if (count == 1) {
        out.push_back(points.front());
        return out;
    }
    for (size_t i = 0; i < count; ++i)
        out.push_back(points[(i * (n - 1) + (count - 1) / 2) / (count - 1)]);
    return out;
}

std::vector<GeoPoint> pointsOfRows(const TRBParamsTable &table, int lastColumn)
{
    std::vector<GeoPoint> out;
    out.reserve(size_t(std::max(0, table.RowCount() - 1)));
    for (int r = 1; r < table.RowCount(); ++r) {
        const TRBParams &row = table.Row(r);
        bool othersEmpty = true;
        for (int c = 3; c <= lastColumn && othersEmpty; ++c)
            othersEmpty = row.FieldView(c).isEmpty();
        const auto at = CoordinateCells::rowPosition(r, row.FieldView(CoordinateCells::LonColumn),
                                                     row.FieldView(CoordinateCells::LatColumn), othersEmpty);
        if (at)
            out.push_back({at->lon, at->lat, row.GetField(3)});
    }
    return out;
}

} // namespace Gpx
