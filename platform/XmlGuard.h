// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check every reader of outside XML makes before its parser sees the text.
//
// Qt's parser checks each attribute against all earlier ones of its element, so an
// element of 200,000 attributes costs a minute; a document model of a deep nesting
// costs minutes more. The guard refuses such text with a quick scan of the raw bytes
// that runs ahead of the parser: it counts start tags' attributes, the namespaces
// declared around each element and the nesting,
// and it refuses entity and attribute declarations (external entities, the nested
// expansions of a "billion laughs", defaults that add attributes the tags never show)
// and references to any but the five predefined entities.
#include "platform/FileReader.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>

#include <memory>

class QXmlStreamReader;

// Deeper nesting than any real document; it only serves to exhaust the stack.
constexpr int XmlMaxDepth = 256;
// Real elements carry a handful; thousands only serve to slow the parser.
constexpr int XmlMaxAttributes = 1000;
// The parser looks a name's namespace up among all those declared around it: real
// documents declare a few, each thousands at every level only slow every element.
constexpr int XmlMaxNamespaces = 100;
// The parser's work on attributes grows with the square of their number per element:
// the sum of n * (n - 1) / 2 over all elements is kept below this (half a second).
constexpr qint64 XmlMaxAttributePairs = 200'000'000;

// The scan, fed piece by piece: bytes as they come from a file, or decoded text.
// UTF-16 and UTF-32 bytes are recognised by their first bytes.
class XmlScan {
public:
    explicit XmlScan(qint64 maxBytes = FileReader::MaxXmlBytes);
    ~XmlScan();
    XmlScan(const XmlScan &) = delete;
    XmlScan &operator=(const XmlScan &) = delete;

    // False once the text is refused.
    bool feed(const char *data, qint64 size);
    bool feed(QStringView text);
    // The end of the bytes: a few held back to learn the encoding are looked at.
    bool finish();

    bool refused() const;
    // Why, e.g. "the elements nest deeper than 256 levels"; empty while accepted.
    QString reason() const;

private:
    struct State;
    std::unique_ptr<State> d;
};

// The reason a whole text is refused, or an empty text.
QString xmlRefusal(QByteArrayView bytes, qint64 maxBytes = FileReader::MaxXmlBytes);
QString xmlRefusal(QStringView text, qint64 maxBytes = FileReader::MaxXmlBytes);

// A read-only device handing another device's bytes on through a scan: the parser
// reading from it never sees the piece that was refused (it ends there with an
// error), so a file is guarded as it streams. Check reason() when parsing fails.
class XmlGuardedDevice : public QIODevice {
public:
    explicit XmlGuardedDevice(QIODevice &source, qint64 maxBytes = FileReader::MaxXmlBytes);
    ~XmlGuardedDevice() override;
    bool isSequential() const override { return true; }
    QString reason() const { return m_scan.reason(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice &m_source;
    XmlScan m_scan;
};

// True when the text passes the scan and is well-formed (a whole walk of the parser).
bool harmlessXml(const QByteArray &bytes);
bool harmlessXml(const QString &text);
// The same checks made on a reader's tokens, for text that was not scanned: entity
// declarations and references, depth and the number of attributes.
bool harmlessXml(QXmlStreamReader &r);
