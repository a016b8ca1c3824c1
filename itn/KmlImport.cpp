#include "itn/KmlImport.h"

#include "grid/RBParams.h"
#include "itn/ItnFormat.h"
#include "platform/XmlGuard.h"

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
    QDomDocument doc;
    if (!parseXml(bytes, doc)) {
        KmlPoints bad;
        bad.valid = false;
        return bad;
    }
    return ImportKML(doc);
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

void convertPlacemarks(const QDomNode &node, QStringList &rows)
{
    const TRBCharSet comma{','};
    for (QDomNode p = firstChildNamed(node, QStringLiteral("Placemark")); !p.isNull(); p = p.nextSibling()) {
        const QString name = p.firstChildElement(QStringLiteral("name")).text();
        const QDomElement coordinates =
            p.firstChildElement(QStringLiteral("Point")).firstChildElement(QStringLiteral("coordinates"));
        if (coordinates.isNull())
            continue;
        TRBParams f;
        f.ParseFields(coordinates.text(), 0, comma, RBConventions::doubleQuote(), RBConventions::blankSet());
        rows.append(QString::number(degreesToUnits(f.FieldView(0))) + u'\t'
                    + QString::number(degreesToUnits(f.FieldView(1))) + u'\t' + rowField(name));
    }
}
} // namespace

bool KmlPasteRows(QString &text)
{
    QDomDocument doc;
    if (!parseXml(text, doc))
        return false;
    QStringList rows;
    const QDomElement root = doc.documentElement();
    if (!root.isNull()) {
        for (QDomNode d = firstChildNamed(root, QStringLiteral("Document")); !d.isNull(); d = d.nextSibling()) {
            for (QDomNode f = firstChildNamed(d, QStringLiteral("Folder")); !f.isNull(); f = f.nextSibling())
                convertPlacemarks(f, rows);
            convertPlacemarks(d, rows);
        }
    }
    text = rows.join(QStringLiteral("\r\n"));
    return true;
}

} // namespace Itn
