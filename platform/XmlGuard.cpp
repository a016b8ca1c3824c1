#include "platform/XmlGuard.h"

#include <QXmlStreamReader>

bool harmlessXml(QXmlStreamReader &r)
{
    int depth = 0;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::DTD:
            if (!r.entityDeclarations().isEmpty() || r.text().contains(QLatin1String("<!ENTITY")))
                return false;
            break;
        case QXmlStreamReader::EntityReference:
            return false;
        case QXmlStreamReader::StartElement:
            if (++depth > XmlMaxDepth)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return !r.hasError();
}

bool harmlessXml(const QByteArray &bytes)
{
    QXmlStreamReader r(bytes);
    return harmlessXml(r);
}

bool harmlessXml(const QString &text)
{
    QXmlStreamReader r(text);
    return harmlessXml(r);
}
