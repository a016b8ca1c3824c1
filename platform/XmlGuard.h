#pragma once
// The check every reader of outside XML makes before it builds anything from it.
#include <QByteArray>
#include <QString>

class QXmlStreamReader;

// Deeper nesting than any real document; it only serves to exhaust the stack.
constexpr int XmlMaxDepth = 256;

// Walks the whole text once: true when it is well-formed, declares and references no
// entity (external ones, or the nested expansions of a "billion laughs") and nests no
// deeper than XmlMaxDepth.
bool harmlessXml(QXmlStreamReader &r);
bool harmlessXml(const QByteArray &bytes);
bool harmlessXml(const QString &text);
