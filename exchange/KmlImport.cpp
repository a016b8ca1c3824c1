// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/KmlImport.h"

#include "core/RBParams.h"
#include "platform/XmlGuard.h"

#include <QXmlStreamReader>

#include <functional>
#include <limits>

#include <QCoreApplication>

namespace Itn {

bool parseXml(const QByteArray &bytes, QDomDocument &doc)
{
    if (!harmlessXml(bytes))
        return false;
    return bool(doc.setContent(bytes, false));
}

bool parseXml(const QString &text, QDomDocument &doc)
{
    if (!harmlessXml(text))
        return false;
    return bool(doc.setContent(text, false));
}

namespace {
QDomNode firstChildNamed(const QDomNode &parent, const QString &name)
{
    for (QDomNode n = parent.firstChild(); !n.isNull(); n = n.nextSibling())
        if (n.nodeName() == name)
            return n;
    return {};
}
} // namespace

namespace {

// The import and the paste read KML as a stream: a document model of a large file
// takes twenty times its size. Both first make sure the whole text is harmless and
// well-formed, so a broken end adds nothing.
bool readable(QXmlStreamReader &check)
{
    check.setNamespaceProcessing(false);
    while (!check.atEnd())
        check.readNext();
    return !check.hasError();
}

// What a walk over one element learns, in the roles its parent gives it.
struct Seen {
    QString text; // all the text inside (AsText)
    // AsPlacemark: the text of the first "name" and "address" children, and of the
    // first "coordinates" child of the first "Point" child.
    QString name, address, coordinates;
    bool named = false, addressed = false, pointSeen = false, located = false;
    // AsPoint: the text of the first "coordinates" child.
    QString pointCoordinates;
    bool hasCoordinates = false;
};

enum Role : unsigned {
    AsText = 1,
    AsPoint = 2,
    AsPlacemark = 4,
    AsFolder = 8,    // the paste: children from the first "Placemark" on are placemarks
    AsContainer = 16 // the import: children named "Placemark" are placemarks
};

// Walks the element the reader stands on to its end (the guard bounds the depth).
// Placemarks found as children of a folder or container go to `found`, in order.
Seen walk(QXmlStreamReader &r, unsigned role, const std::function<void(const Seen &)> &found)
{
    Seen seen;
    bool placemarkRun = false;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QStringView q = r.qualifiedName();
            unsigned childRole = role & AsText;
            const bool isName = (role & AsPlacemark) && !seen.named && q == u"name";
            const bool isAddress = (role & AsPlacemark) && !seen.addressed && q == u"address";
            const bool isPoint = (role & AsPlacemark) && !seen.pointSeen && q == u"Point";
            const bool isCoordinates = (role & AsPoint) && !seen.hasCoordinates && q == u"coordinates";
            if (isName || isAddress || isCoordinates)
                childRole |= AsText;
            if (isPoint)
                childRole |= AsPoint;
            if ((role & AsFolder) && q == u"Placemark")
                placemarkRun = true;
            const bool candidate = ((role & AsFolder) && placemarkRun) || ((role & AsContainer) && q == u"Placemark");
            if (candidate)
                childRole |= AsPlacemark;
            const Seen child = walk(r, childRole, found);
            if (role & AsText)
                seen.text += child.text;
            if (isName) {
                seen.name = child.text;
                seen.named = true;
            }
            if (isAddress) {
                seen.address = child.text;
                seen.addressed = true;
            }
            if (isPoint) {
                seen.pointSeen = true;
                seen.located = child.hasCoordinates;
                seen.coordinates = child.pointCoordinates;
            }
            if (isCoordinates) {
                seen.hasCoordinates = true;
                seen.pointCoordinates = child.text;
            }
            if (candidate && child.located)
                found(child);
            break;
        }
        case QXmlStreamReader::Characters:
            // Blank runs between elements are no text, as in a document model.
            if ((role & AsText) && !r.isWhitespace())
                seen.text += r.text();
            break;
        case QXmlStreamReader::EndElement:
            return seen;
        default:
            break;
        }
    }
    return seen;
}

// The import's point of a placemark; false without an altitude.
bool importedPoint(const Seen &p, ImportedPoint &out)
{
    const QString &c = p.coordinates;
    const qsizetype c1 = c.indexOf(u',');
    const qsizetype c2 = c1 < 0 ? -1 : c.indexOf(u',', c1 + 1);
    if (c2 < 0)
        return false; // no altitude: not a point of this import
    out = {c.left(c1), c.mid(c1 + 1, c2 - c1 - 1),
           p.named ? p.address + QStringLiteral(" : ") + p.name : QStringLiteral("?")};
    return true;
}

} // namespace

KmlPoints ImportKML(const QDomDocument &doc)
{
    KmlPoints out;
    const QDomNode kml = firstChildNamed(doc, QStringLiteral("kml"));
    QDomNode container = kml.isNull() ? QDomNode() : firstChildNamed(kml, QStringLiteral("Document"));
    if (!kml.isNull() && container.isNull())
        container = firstChildNamed(kml, QStringLiteral("Folder"));
    if (container.isNull()) {
        out.valid = false;
        return out;
    }
    const QString placemark = QStringLiteral("Placemark");
    for (QDomNode p = firstChildNamed(container, placemark); !p.isNull(); p = p.nextSibling()) {
        if (p.nodeName() != placemark)
            continue;
        const QDomElement address = p.firstChildElement(QStringLiteral("address"));
        const QDomElement nameElement = p.firstChildElement(QStringLiteral("name"));
        const QString name = nameElement.isNull()
                                 ? QStringLiteral("?")
                                 : address.text() + QStringLiteral(" : ") + nameElement.text();
        const QDomElement coordinates =
            p.firstChildElement(QStringLiteral("Point")).firstChildElement(QStringLiteral("coordinates"));
        if (coordinates.isNull())
            continue;
        const QString c = coordinates.text();
        const qsizetype c1 = c.indexOf(u',');
        const qsizetype c2 = c1 < 0 ? -1 : c.indexOf(u',', c1 + 1);
        if (c2 < 0)
            continue; // no altitude: not a point of this import
        out.points.push_back({c.left(c1), c.mid(c1 + 1, c2 - c1 - 1), name});
    }
    return out;
}

KmlPoints ImportKML(const QByteArray &bytes)
{
    KmlPoints out;
    out.valid = false;
    out.reason = xmlRefusal(bytes);
    if (!out.reason.isEmpty())
        return out;
    if (QXmlStreamReader check(bytes); !readable(check))
        return out;
    QXmlStreamReader r(bytes);
    r.setNamespaceProcessing(false);
    if (!r.readNextStartElement() || r.qualifiedName() != u"kml")
        return out;
    // The first "Document", or without one the first "Folder", which may come before it.
    std::vector<ImportedPoint> document, folder;
    bool documentSeen = false, folderSeen = false;
    while (r.readNextStartElement()) {
        const bool isDocument = !documentSeen && r.qualifiedName() == u"Document";
        const bool isFolder = !documentSeen && !folderSeen && r.qualifiedName() == u"Folder";
        if (!isDocument && !isFolder) {
            r.skipCurrentElement();
            continue;
        }
        std::vector<ImportedPoint> &into = isDocument ? document : folder;
        walk(r, AsContainer, [&into](const Seen &p) {
            ImportedPoint point;
            if (importedPoint(p, point))
                into.push_back(std::move(point));
        });
        documentSeen = documentSeen || isDocument;
        folderSeen = folderSeen || isFolder;
    }
    if (!documentSeen && !folderSeen)
        return out;
    out.points = std::move(documentSeen ? document : folder);
    out.valid = true;
    return out;
}

QString invalidKmlMessage()
{
    return QCoreApplication::translate("Itn", "Invalid Kml file");
}

namespace {
// A name goes into one field of a tab-separated row.
QString rowField(QString s)
{
    for (QChar &c : s)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return s;
}

QString pasteRow(const Seen &p)
{
    TRBParams f;
    f.ParseFields(p.coordinates, 0, TRBCharSet{','}, RBConventions::doubleQuote(), RBConventions::blankSet());
    return QString::number(degreesToUnits(f.FieldView(0))) + u'\t' + QString::number(degreesToUnits(f.FieldView(1)))
           + u'\t' + rowField(p.name);
}
} // namespace

bool KmlPasteRows(QString &text)
{
    if (!xmlRefusal(text).isEmpty())
        return false;
    if (QXmlStreamReader check(text); !readable(check))
        return false;
    QXmlStreamReader r(text);
    r.setNamespaceProcessing(false);
    QStringList rows;
    if (r.readNextStartElement()) {
        // Every element of the root from the first "Document" on: the placemarks of
        // its folders (with the siblings after the first folder), then its own.
        bool documents = false;
        while (r.readNextStartElement()) {
            documents = documents || r.qualifiedName() == u"Document";
            if (!documents) {
                r.skipCurrentElement();
                continue;
            }
            QStringList own;
            bool folderRun = false, placemarkRun = false;
            while (r.readNextStartElement()) {
                folderRun = folderRun || r.qualifiedName() == u"Folder";
                placemarkRun = placemarkRun || r.qualifiedName() == u"Placemark";
                const Seen e = walk(r, (folderRun ? AsFolder : 0) | (placemarkRun ? AsPlacemark : 0),
                                    [&rows](const Seen &p) { rows.append(pasteRow(p)); });
                if (placemarkRun && e.located)
                    own.append(pasteRow(e));
            }
            rows += own;
        }
    }
    text = rows.join(QStringLiteral("\r\n"));
    return true;
}

namespace {
bool isBlank(QChar c) { return c.unicode() <= 32 || c.isSpace(); }

// Decimal text to units on its digits. False when it is not a number.
bool exactUnits(QStringView text, qint64 &result)
{
    qsizetype i = 0, n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    while (n > i && isBlank(text[n - 1]))
        --n;
    if (i >= n)
        return false;
    bool negative = false;
    if (text[i] == u'+' || text[i] == u'-') {
        negative = text[i] == u'-';
        ++i;
    }
    QString digits;           // all mantissa digits
    int pointPos = -1;        // digits before the point
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            digits.append(c);
        else if (c == u'.' && pointPos < 0)
            pointPos = int(digits.size());
        else
            break;
    }
    if (digits.isEmpty())
        return false;
    if (pointPos < 0)
        pointPos = int(digits.size());
    int exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            expNegative = text[i] == u'-';
            ++i;
        }
        if (i >= n)
            return false;
        for (; i < n; ++i) {
            const QChar c = text[i];
            if (c < u'0' || c > u'9')
                return false;
            if (exponent < 100000)
                exponent = exponent * 10 + (c.unicode() - '0');
        }
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return false;
    // The integer part of digits x 10^(5 + exponent - fraction digits).
    const qint64 intDigits = qint64(pointPos) + 5 + exponent;
    quint64 v = 0;
    for (qint64 k = 0; k < intDigits; ++k) {
        const unsigned d = k < digits.size() ? unsigned(digits[k].unicode() - '0') : 0;
        if (v > (std::numeric_limits<quint64>::max() - d) / 10)
            return false;
        v = v * 10 + d;
        if (v > quint64(std::numeric_limits<qint64>::max()))
            return false;
    }
    result = negative ? -qint64(v) : qint64(v);
    return true;
}
} // namespace

qint64 degreesToUnits(QStringView text)
{
    qint64 v = 0;
    return exactUnits(text, v) ? v : 0;
}

} // namespace Itn
