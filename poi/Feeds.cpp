// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/Feeds.h"

#include "platform/XmlGuard.h"
#include "core/Ov2Units.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <functional>

namespace Feeds {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Feeds", text);
}

// One entry of a feed, read on its own: a feed of a million entries never becomes a
// million objects at once. Each element keeps only its own text; the text of all
// inside it is joined when asked, so nested elements never hold copies of their
// children's text (a few levels of that would take gigabytes).
struct Element {
    QString name;
    QString own;                        // its own text, without the children's
    std::vector<qsizetype> childAt;     // where in `own` each child stands
    QXmlStreamAttributes attributes;
    std::vector<Element> children;

    // All the text inside, as a document model's text() gives it.
    QString text() const
    {
        if (children.empty())
            return own;
        QString all;
        qsizetype from = 0;
        for (size_t i = 0; i < children.size(); ++i) {
            all += QStringView(own).sliced(from, childAt[i] - from);
            all += children[i].text();
            from = childAt[i];
        }
        all += QStringView(own).sliced(from);
        return all;
    }
    const Element *child(const char *tag) const
    {
        const QString wanted = QString::fromUtf8(tag);
        for (const Element &c : children)
            if (c.name == wanted)
                return &c;
        return nullptr;
    }
    QString childText(const char *tag) const
    {
        const Element *c = child(tag);
        return c ? c->text() : QString();
    }
    QString attribute(const char *key) const { return attributes.value(QLatin1String(key)).toString(); }
};

// Reads the element whose start the reader stands on, to its end.
void readElement(QXmlStreamReader &r, Element &e)
{
    e.name = r.name().toString();
    e.attributes = r.attributes();
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::StartElement:
            e.childAt.push_back(e.own.size());
            e.children.emplace_back();
            readElement(r, e.children.back());
            break;
        case QXmlStreamReader::Characters:
            if (!r.isWhitespace())
                e.own += r.text();
            break;
        case QXmlStreamReader::EndElement:
            return;
        default:
            break;
        }
    }
}

// Calls `entry` for each child element of the root, in order, until it returns
// false; only when the root is named `root` (any root when empty). Returns the
// message of a body that is refused.
QString forEachEntry(const QByteArray &bytes, const char *root, const std::function<bool(const Element &)> &entry)
{
    if (bytes.size() > MaxBytes)
        return tooLargeMessage();
    if (const QString why = xmlRefusal(bytes, MaxBytes); !why.isEmpty())
        return refusedMessage(why);
    // A broken body adds nothing: the whole text is walked once before any entry.
    {
        QXmlStreamReader check(bytes);
        while (!check.atEnd())
            check.readNext();
        if (check.hasError())
            return notXmlMessage();
    }
    QXmlStreamReader r(bytes);
    while (!r.atEnd() && r.readNext() != QXmlStreamReader::StartElement) {
    }
    if (r.atEnd() || (*root && r.name() != QLatin1String(root)))
        return {};
    while (!r.atEnd()) {
        const QXmlStreamReader::TokenType t = r.readNext();
        if (t == QXmlStreamReader::EndElement)
            break;
        if (t != QXmlStreamReader::StartElement)
            continue;
        Element e;
        readElement(r, e);
        if (!entry(e))
            break;
    }
    return {};
}

// "0", "0.000", "-0e5": the road authority's mark of an entry without a place.
bool isZero(const QString &text)
{
    static const QRegularExpression nonZeroMantissa(QStringLiteral("^[^eE]*[1-9]"));
    return !nonZeroMantissa.match(text).hasMatch();
}

// The start or the end of a mobile-feed obstruction; false when the entry lacks it.
bool addSection(const Element &entry, const char *element, const QString &name, std::vector<Point> &out)
{
    const Element *section = entry.child(element);
    const Element *lon = section ? section->child("geo_long") : nullptr;
    const Element *lat = section ? section->child("geo_lat") : nullptr;
    if (!lon || !lat)
        return false;
    const QString lonText = lon->text(), latText = lat->text();
    if (isCoordinate(lonText) && isCoordinate(latText))
        out.push_back({lonText, latText, name});
    return true;
}

// The text of a path of first children ("" when any is missing).
QString pathText(const Element &e, std::initializer_list<const char *> path)
{
    const Element *at = &e;
    for (const char *tag : path)
        if (!(at = at->child(tag)))
            return {};
    return at->text();
}

} // namespace

QString eventText(const QString &code)
{
    static const QHash<QString, const char *> texts{
        {QStringLiteral("I05"), " Rajd"},
        {QStringLiteral("I06"), " Pielgrzymka"},
        {QStringLiteral("I07"), " Zawody sportowe"},
        {QStringLiteral("I08"), " Demonstracja"},
        {QStringLiteral("I09"), " Uroczysto"},
        {QStringLiteral("I10"), " Przejazd ważnej osobistości"},
        {QStringLiteral("K00"), " Katastrofa budowlana"},
        {QStringLiteral("K01"), " Katastrofa ekologiczna"},
        {QStringLiteral("K02"), " Pożar"},
        {QStringLiteral("K04"), " Powódź"},
        {QStringLiteral("S00"), " Brak informacji"},
        {QStringLiteral("U33"), " Roboty drogowe"},
        {QStringLiteral("R00"), " Zderzenie pojazdów w ruchu - czołowe"},
        {QStringLiteral("R01"), " Zderzenie pojazdów w ruchu - boczne"},
        {QStringLiteral("R02"), " Zderzenie pojazdów w ruchu - tylne"},
        {QStringLiteral("R03"), " Najechanie pojazdu na pieszego"},
        {QStringLiteral("R04"), " Najechanie pojazdu na pojazd unieruchomiony"},
        {QStringLiteral("R05"), " Najechanie pojazdu na drzewo, słup"},
        {QStringLiteral("R06"), " Najechanie pojazdu na zaporę kolejową"},
        {QStringLiteral("R07"), " Najechanie pojazdu na urządzenie drogowe"},
        {QStringLiteral("R08"), " Najechanie pojazdu na zwierzę"},
        {QStringLiteral("R09"), " Wywrócenie pojazdu"},
        {QStringLiteral("U27"), " Remont mostu"},
    };
    const auto it = texts.constFind(code);
    return it == texts.constEnd() ? QString() : QString::fromUtf8(*it);
}

QDate endDate(const QString &dataLikwidacji)
{
    static const QRegularExpression ymd(QStringLiteral("^(\\d{1,4})-(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch m = ymd.match(dataLikwidacji.section(u'T', 0, 0));
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QString poiDescription(QStringView d)
{
    while (!d.isEmpty() && d.front().unicode() <= 32)
        d = d.mid(1);
    while (!d.isEmpty() && d.back().unicode() <= 32)
        d.chop(1);
    return d.toString();
}

bool isCoordinate(const QString &text)
{
    return toOv2UnitsValue(text).has_value();
}

Result GDDKiA(const QByteArray &xml, const QDate &today)
{
    static const char *const switches[] = {"ruch_wahadlowy", "sygnalizacja_swietlna", "awaria_mostu",
                                           "ruch_2_kierunkowy", "droga_zamknieta"};
    Result r;
    r.error = forEachEntry(xml, "", [&](const Element &e) {
        const Element *lon = e.child("geo_long");
        const Element *lat = e.child("geo_lat");
        // A missing or unreadable place would put the entry at 0,0.
        if (!lon || !lat)
            return true;
        const QString lonText = lon->text(), latText = lat->text();
        if (!isCoordinate(lonText) || !isCoordinate(latText) || isZero(lonText) || isZero(latText))
            return true;
        QString name = e.childText("typ");
        name += eventText(pathText(e, {"rodzaj", "poz"}));
        name += u' ' + pathText(e, {"czasy_oczekiwania", "czas_oczekiwania", "pn_pt"});
        for (const char *s : switches)
            if (e.childText(s) == QLatin1String("True"))
                name += u' ' + QString::fromLatin1(s);
        if (const QString dl = e.childText("dl"); !dl.isEmpty())
            name += QStringLiteral(" na odcinku ") + dl + QStringLiteral("km");
        if (const QString limit = e.childText("ogr_predkosc"); !limit.isEmpty())
            name += QStringLiteral(" ogr. do ") + limit + QStringLiteral("km/h");
        if (!e.childText("objazd").isEmpty())
            name += QStringLiteral(" objazd");
        QDate end;
        if (const QString until = e.childText("data_likwidacji"); !until.isEmpty()) {
            name += QStringLiteral(" do ") + until.section(u'T', 0, 0);
            end = endDate(until);
        }
        for (const char *s : {"nazwa_odcinka", "woj", "nr_drogi"})
            if (const QString t = e.childText(s); !t.isEmpty())
                name += u' ' + t;
        if (end.isValid() && today > end)
            name.prepend(QStringLiteral("----"));
        r.points.push_back({lonText, latText, name});
        return true;
    });
    return r;
}

Result GDDKiAMobi(const QByteArray &xml)
{
    Result r;
    r.error = forEachEntry(xml, "", [&](const Element &e) {
        if (e.name != QLatin1String("utrudnienie"))
            return true;
        const QString delay = e.childText("opoznienie");
        const QString event = delay.isEmpty() ? QString() : e.childText("rodzaj_zdarzenia") + u' ' + delay;
        const QString tail = event + u' ' + e.childText("komentarz");
        // A broken entry ends the walk; what was added stays.
        return addSection(e, "początek_odcinka", QStringLiteral("Początek ") + tail, r.points)
               && addSection(e, "koniec_odcinka", QStringLiteral("Koniec ") + tail, r.points);
    });
    return r;
}

Result krakow(const QByteArray &body)
{
    Result r;
    QByteArray xml = body;
    if (xml.startsWith("\xEF\xBB\xBF"))
        xml.remove(0, 3);
    const QLocale c = QLocale::c();
    QString failed;
    r.error = forEachEntry(xml, "data", [&](const Element &m) {
        if (m.name != QLatin1String("marker"))
            return true;
        const QString lonText = m.attribute("long");
        const QString latText = m.attribute("lat");
        bool lonOk = false, latOk = false;
        const double lon = c.toDouble(lonText, &lonOk);
        const double lat = c.toDouble(latText, &latOk);
        if (!lonOk || !latOk) {
            failed = notNumberMessage(lonOk ? latText : lonText);
            return false;
        }
        if (lon > 19.522705 && lon < 20.398178 && lat > 49.907903 && lat < 50.204154 && isCoordinate(lonText)
            && isCoordinate(latText))
            r.points.push_back({lonText, latText, m.attribute("desc")});
        return true;
    });
    if (r.error.isEmpty())
        r.error = failed;
    return r;
}

Result zakopane(const QByteArray &xml)
{
    Result r;
    r.error = forEachEntry(xml, "dane", [&](const Element &m) {
        const QString lon = m.attribute("lon");
        const QString lat = m.attribute("lat");
        if (m.name == QLatin1String("marker") && isCoordinate(lon) && isCoordinate(lat))
            r.points.push_back({lon, lat, m.attribute("nazwa")});
        return true;
    });
    return r;
}

Result webPage(const QByteArray &body, const QString &address)
{
    Result r;
    if (body.size() > MaxBytes) {
        r.error = tooLargeMessage();
        return r;
    }
    const QString text = QString::fromUtf8(body);
    const QString key = QStringLiteral("GLatLng");
    for (qsizetype p = text.indexOf(key); p >= 0; p = text.indexOf(key, p + key.size())) {
        const qsizetype o = text.indexOf(u'(', p);
        const qsizetype c = text.indexOf(u',', p);
        const qsizetype e = text.indexOf(u')', p);
        if (o < 0 || c < 0 || e < 0 || !(o < c && c < e && e < p + 50))
            continue;
        const QString lat = text.mid(o + 1, c - o - 1);
        const QString lon = text.mid(c + 1, e - c - 1);
        if (isCoordinate(lon) && isCoordinate(lat))
            r.points.push_back({lon, lat, address});
    }
    return r;
}

QString notXmlMessage()
{
    return tr("The answer is not an XML document that can be read");
}

QString refusedMessage(const QString &reason)
{
    return tr("The answer is not an XML document that can be read: %1").arg(reason);
}

QString tooLargeMessage()
{
    return tr("The answer is larger than 32 MB");
}

QString notNumberMessage(const QString &text)
{
    return tr("'%1' is not a valid floating point value").arg(text);
}

} // namespace Feeds
