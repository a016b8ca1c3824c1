#include "map/LayerRoads.h"

#include "grid/RBParams.h"
#include "map/LayerScript.h"
#include "map/MapScript.h"
#include "platform/Error.h"
#include "platform/Progress.h"

#include <QCoreApplication>
#include <QDomDocument>

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

void sendLine(const QDomElement &e, QStringView colour, int width, IMapCalls &out, ProgressTicker &ticker, int &done)
{
    QString points = e.attribute(QStringLiteral("points"));
    // Writers break long point lists over lines and tabs as freely as over blanks.
    for (QChar &c : points)
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    TRBParams pairs;
    pairs.ParseFields(points, 0, RBConventions::blankSet(), QString(), RBConventions::blankSet());
    QString script;
    TRBParams xy;
    bool any = false;
    for (int i = 0; i < pairs.Count(); ++i) {
        xy.ParseFields(pairs.FieldView(i), 0, TRBCharSet{','}, QString(), RBConventions::blankSet());
        if (xy.Count() < 2 || xy.FieldView(0).isEmpty() || xy.FieldView(1).isEmpty())
            continue;
        const auto p = convert(xy.FieldView(0), xy.FieldView(1));
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

void sendLabel(const QDomElement &g, IMapCalls &out)
{
    const QString text = g.firstChildElement(QStringLiteral("text")).text();
    if (!text.contains(QLatin1String("30")))
        return;
    const QString t = g.attribute(QStringLiteral("transform"));
    const qsizetype open = t.indexOf(u'('), comma = t.indexOf(u','), close = t.indexOf(u')');
    if (open < 0 || comma < open || close < comma)
        return;
    const auto p = convert(QStringView(t).mid(open + 1, comma - open - 1).trimmed(),
                           QStringView(t).mid(comma + 1, close - comma - 1).trimmed());
    if (p)
        out.send(MapScript::poi(p->lat, p->lng, text));
}

QDomElement svgElement(const QDomDocument &doc)
{
    const QDomElement root = doc.documentElement();
    if (root.tagName() == QLatin1String("svg"))
        return root;
    return root.firstChildElement(QStringLiteral("svg"));
}

} // namespace

void send(const QByteArray &svg, IMapCalls &out, IProgress *progress)
{
    QDomDocument doc;
    QString message;
    int line = 0, column = 0;
    if (!doc.setContent(svg, &message, &line, &column))
        throw KorvixError(QCoreApplication::translate("LayerRoads", "The SVG map can't be read: %1 (line %2, column %3)")
                              .arg(message)
                              .arg(line)
                              .arg(column));
    const QDomElement root = svgElement(doc);
    if (root.isNull())
        return;
    if (progress)
        progress->SetStatus(QCoreApplication::translate("LayerRoads", "Drawing the road network"));
    ProgressTicker ticker(progress);
    int done = 0;
    const QString g = QStringLiteral("g");
    for (QDomElement group = root.firstChildElement(g); !group.isNull(); group = group.nextSiblingElement(g)) {
        const QString id = group.attribute(QStringLiteral("id"));
        const bool country = id == QLatin1String("Polska");
        if (country || id == QLatin1String("autostrady") || id == QLatin1String("gpr2000")) {
            for (QDomElement e = group.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
                if (e.tagName() == QLatin1String("polyline") || e.tagName() == QLatin1String("polygon"))
                    sendLine(e, country ? u"#00ff00" : u"#ff0000", country ? 6 : 2, out, ticker, done);
        } else if (id == QLatin1String("pik")) {
            for (QDomElement e = group.firstChildElement(g); !e.isNull(); e = e.nextSiblingElement(g))
                sendLabel(e, out);
        }
    }
    if (progress)
        progress->SetStatus(QString());
}

} // namespace LayerRoads
