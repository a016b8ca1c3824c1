// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/LayerRoads.h"

#include "map/LayerScript.h"
#include "map/MapScript.h"
#include "platform/Error.h"
#include "platform/Progress.h"
#include "platform/XmlGuard.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace LayerRoads {

double longitudeOf(double x)
{
    return x / 7 + 13.343;
}

double latitudeOf(double y)
{
    return 55.7 - y / 11;
}

namespace {

struct Point {
    QString lat, lng;
};

std::optional<Point> convert(QStringView x, QStringView y)
{
    if (!MapScript::isPlainDecimal(x) || !MapScript::isPlainDecimal(y))
        return std::nullopt;
    return Point{LayerScript::degrees15(latitudeOf(y.toDouble())), LayerScript::degrees15(longitudeOf(x.toDouble()))};
}

bool isBlank(QChar c)
{
    // Writers break long point lists over lines and tabs as freely as over blanks.
    return c == u' ' || c == u'\n' || c == u'\r' || c == u'\t';
}

// The "x,y" pairs are read in place: a line of millions of points is not copied.
void sendLine(QStringView points, QStringView colour, int width, IMapCalls &out, ProgressTicker &ticker, int &done)
{
    bool any = false;
    const qsizetype n = points.size();
    for (qsizetype i = 0; i < n;) {
        while (i < n && isBlank(points[i]))
            ++i;
        const qsizetype start = i;
        while (i < n && !isBlank(points[i]))
            ++i;
        const QStringView pair = points.sliced(start, i - start);
        const qsizetype c1 = pair.indexOf(u',');
        if (c1 <= 0)
            continue;
        const qsizetype c2 = pair.indexOf(u',', c1 + 1);
        const QStringView y = pair.sliced(c1 + 1, (c2 < 0 ? pair.size() : c2) - c1 - 1);
        if (y.isEmpty())
            continue;
        const auto p = convert(pair.first(c1), y);
        if (!p)
            continue;
        if (!any)
            out.send(LayerScript::polylineClear());
        any = true;
        out.send(LayerScript::polylineAdd(p->lat, p->lng));
        ticker.tick(++done);
    }
    if (any)
        out.send(LayerScript::polyline(colour, width));
}

// A label group of "pik": its first "text" child with all the text inside it.
void sendLabel(QXmlStreamReader &r, IMapCalls &out)
{
    const QString t = r.attributes().value(QLatin1String("transform")).toString();
    QString text;
    bool found = false;
    while (r.readNextStartElement()) {
        if (!found && r.qualifiedName() == u"text") {
            text = r.readElementText(QXmlStreamReader::IncludeChildElements);
            found = true;
        } else {
            r.skipCurrentElement();
        }
    }
    if (!text.contains(QLatin1String("30")))
        return;
    const qsizetype open = t.indexOf(u'('), comma = t.indexOf(u','), close = t.indexOf(u')');
    if (open < 0 || comma < open || close < comma)
        return;
    const auto p = convert(QStringView(t).mid(open + 1, comma - open - 1).trimmed(),
                           QStringView(t).mid(comma + 1, close - comma - 1).trimmed());
    if (p)
        out.send(MapScript::poi(p->lat, p->lng, text));
}

// Stops the reader on the start of the map's "svg" element: the root, or a child of it.
bool findSvg(QXmlStreamReader &r)
{
    if (!r.readNextStartElement())
        return false;
    if (r.qualifiedName() == u"svg")
        return true;
    while (r.readNextStartElement()) {
        if (r.qualifiedName() == u"svg")
            return true;
        r.skipCurrentElement();
    }
    return false;
}

QString cantRead(const QString &why)
{
    return QCoreApplication::translate("LayerRoads", "The SVG map can't be read: %1").arg(why);
}

} // namespace

void send(const QByteArray &svg, IMapCalls &out, IProgress *progress)
{
    if (const QString why = xmlRefusal(svg); !why.isEmpty())
        throw KorvixError(cantRead(why));
    // Read as a stream, twice: a broken map sends nothing, and no document model of
    // it is ever built (it would take a hundred times the file).
    {
        QXmlStreamReader check(svg);
        check.setNamespaceProcessing(false);
        while (!check.atEnd())
            check.readNext();
        if (check.hasError())
            throw KorvixError(QCoreApplication::translate("LayerRoads", "The SVG map can't be read: %1 (line %2, column %3)")
                                  .arg(check.errorString())
                                  .arg(check.lineNumber())
                                  .arg(check.columnNumber()));
    }
    QXmlStreamReader r(svg);
    r.setNamespaceProcessing(false);
    if (!findSvg(r))
        return;
    if (progress)
        progress->SetStatus(QCoreApplication::translate("LayerRoads", "Drawing the road network"));
    ProgressTicker ticker(progress);
    int done = 0;
    while (r.readNextStartElement()) {
        if (r.qualifiedName() != u"g") {
            r.skipCurrentElement();
            continue;
        }
        const QStringView id = r.attributes().value(QLatin1String("id"));
        const bool country = id == u"Polska";
        if (country || id == u"autostrady" || id == u"gpr2000") {
            while (r.readNextStartElement()) {
                if (r.qualifiedName() == u"polyline" || r.qualifiedName() == u"polygon") {
                    const QXmlStreamAttributes attributes = r.attributes();
                    sendLine(attributes.value(QLatin1String("points")), country ? u"#00ff00" : u"#ff0000", country ? 6 : 2,
                             out, ticker, done);
                }
                r.skipCurrentElement();
            }
        } else if (id == u"pik") {
            while (r.readNextStartElement()) {
                if (r.qualifiedName() == u"g")
                    sendLabel(r, out);
                else
                    r.skipCurrentElement();
            }
        } else {
            r.skipCurrentElement();
        }
    }
    if (progress)
        progress->SetStatus(QString());
}

} // namespace LayerRoads
