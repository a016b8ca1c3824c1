// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/XmlGuard.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {
QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}

// An element with `count` attributes, as a hostile file would carry it.
QByteArray crowded(int count, const QByteArray &name = "e")
{
    QByteArray e = "<" + name;
    for (int i = 0; i < count; ++i)
        e += " a" + QByteArray::number(i) + "=\"\"";
    return e + "/>";
}

QByteArray utf16le(const QByteArray &ascii)
{
    QByteArray out("\xFF\xFE", 2);
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// The scan fed one byte at a time: pieces must not change its answer.
QString refusalByteByByte(const QByteArray &bytes)
{
    XmlScan scan;
    for (char c : bytes)
        if (!scan.feed(&c, 1))
            break;
    scan.finish();
    return scan.reason();
}
} // namespace

TEST(XmlGuard, AcceptsPlainDocumentsWithCharacterReferencesAndAPlainDoctype)
{
    EXPECT_TRUE(harmlessXml(QByteArray("<?xml version=\"1.0\"?><kml><name>A &amp; B &#322;</name></kml>")));
    EXPECT_TRUE(harmlessXml(QByteArray("<!DOCTYPE rss><rss><item/></rss>")));
    EXPECT_TRUE(harmlessXml(QByteArray("<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"x[y].dtd\"><svg/>")));
    EXPECT_TRUE(harmlessXml(QStringLiteral("<gpx><wpt lat=\"1\" lon=\"2\"/></gpx>")));
    // Markup inside values, comments and CDATA is no markup.
    const QByteArray tricky = "<r a=\"&gt;&lt;&quot;&apos;\" b='>' c=\"/>\"><!-- <x " + crowded(2000) + " --><![CDATA[" + crowded(2000)
                              + " <a><a><a>]]><?pi " + crowded(2000) + "?></r>";
    EXPECT_EQ(xmlRefusal(tricky), QString());
    EXPECT_EQ(refusalByteByByte(tricky), QString());
}

TEST(XmlGuard, RefusesEntityAndAttributeDeclarationsAndReferencesOfEveryKind)
{
    // Internal expansion, the nested "billion laughs" and an external one.
    EXPECT_FALSE(harmlessXml(QByteArray("<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>")));
    EXPECT_FALSE(harmlessXml(QByteArray("<!DOCTYPE r [<!ENTITY a \"aa\"><!ENTITY b \"&a;&a;\">]><r>&b;</r>")));
    EXPECT_FALSE(harmlessXml(QByteArray("<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>")));
    // Declared but never used still says the text is not a plain document.
    EXPECT_FALSE(harmlessXml(QStringLiteral("<!DOCTYPE r [<!ENTITY e \"x\">]><r/>")));
    // A reference to an entity nobody declared.
    EXPECT_FALSE(harmlessXml(QByteArray("<r>&undeclared;</r>")));
    EXPECT_EQ(xmlRefusal(QByteArrayView("<r a=\"&x;\"/>")), QStringLiteral("references to entities are not accepted"));
    EXPECT_EQ(xmlRefusal(QByteArrayView("<!DOCTYPE r [<!-- ] --><!ENTITY e \"x\">]><r/>")),
              QStringLiteral("entity declarations are not accepted"));
    // Defaults would give every element attributes its tag never shows.
    QByteArray defaults = "<!DOCTYPE r [<!ATTLIST e";
    for (int i = 0; i < 5000; ++i)
        defaults += " a" + QByteArray::number(i) + " CDATA \"x\"";
    defaults += ">]><r><e/></r>";
    EXPECT_EQ(xmlRefusal(defaults), QStringLiteral("attribute declarations are not accepted"));
    EXPECT_EQ(refusalByteByByte(defaults), QStringLiteral("attribute declarations are not accepted"));
}

TEST(XmlGuard, RefusesNestingBeyondTheLimitAndBrokenText)
{
    EXPECT_TRUE(harmlessXml(nested(XmlMaxDepth)));
    EXPECT_FALSE(harmlessXml(nested(XmlMaxDepth + 1)));
    // An empty element one level too deep counts as well.
    EXPECT_FALSE(harmlessXml(QByteArray("<a>").repeated(XmlMaxDepth) + "<b/>" + QByteArray("</a>").repeated(XmlMaxDepth)));
    EXPECT_EQ(xmlRefusal(nested(150000)), QStringLiteral("the elements nest deeper than 256 levels"));
    EXPECT_FALSE(harmlessXml(QByteArray("<r><a></r>")));
    EXPECT_FALSE(harmlessXml(QByteArray("not xml")));
    EXPECT_FALSE(harmlessXml(QByteArray()));
}

TEST(XmlGuard, RefusesTooManyAttributesPerElementAndInAll)
{
    EXPECT_TRUE(harmlessXml("<r>" + crowded(XmlMaxAttributes) + "</r>"));
    const QString perElement = QStringLiteral("an element has more than 1000 attributes");
    EXPECT_EQ(xmlRefusal("<r>" + crowded(XmlMaxAttributes + 1) + "</r>"), perElement);
    // What takes the parser a minute is refused by the scan at once.
    const QByteArray hostile = "<gpx>" + crowded(200000, "wpt") + "</gpx>";
    EXPECT_EQ(xmlRefusal(hostile), perElement);
    EXPECT_FALSE(harmlessXml(hostile));
    EXPECT_EQ(xmlRefusal(utf16le(hostile)), perElement);
    EXPECT_EQ(refusalByteByByte(utf16le(hostile)), perElement);
    EXPECT_EQ(xmlRefusal(QString::fromUtf8(hostile)), perElement);
    // Namespace declarations are attributes too, and so are blanks around "=".
    QByteArray spaced = "<r";
    for (int i = 0; i <= XmlMaxAttributes; ++i)
        spaced += " xmlns:n" + QByteArray::number(i) + " =\n'u" + QByteArray::number(i) + "'";
    EXPECT_EQ(xmlRefusal(spaced + "/>"), perElement);

    // Many elements just below the limit add up to the same minute.
    const QByteArray full = crowded(XmlMaxAttributes);
    const int allowed = int(XmlMaxAttributePairs / (qint64(XmlMaxAttributes) * (XmlMaxAttributes - 1) / 2));
    EXPECT_EQ(xmlRefusal("<r>" + full.repeated(allowed) + "</r>"), QString());
    EXPECT_EQ(xmlRefusal("<r>" + full.repeated(allowed + 1) + "</r>"),
              QStringLiteral("the elements carry too many attributes in all"));
}

TEST(XmlGuard, RefusesTextBeyondItsSize)
{
    const QByteArray doc = "<r>" + QByteArray(100, 'x') + "</r>";
    EXPECT_EQ(xmlRefusal(doc, doc.size()), QString());
    EXPECT_FALSE(xmlRefusal(doc, doc.size() - 1).isEmpty());
    EXPECT_TRUE(xmlRefusal(QByteArray(3 << 20, ' '), 2 << 20).contains(QLatin1String("larger than 2 MB")));
}

TEST(XmlGuard, AGuardedDeviceEndsTheParserBeforeTheRefusedPiece)
{
    QByteArray bytes = "<gpx><wpt lat=\"1\" lon=\"2\"/>" + crowded(200000, "wpt") + "</gpx>";
    QBuffer source(&bytes);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    XmlGuardedDevice guarded(source);
    QXmlStreamReader r(&guarded);
    int elements = 0;
    while (!r.atEnd())
        if (r.readNext() == QXmlStreamReader::StartElement)
            ++elements;
    EXPECT_TRUE(r.hasError());
    EXPECT_LT(elements, 3);
    EXPECT_EQ(guarded.reason(), QStringLiteral("an element has more than 1000 attributes"));

    // A harmless text passes whole.
    QByteArray plain = "<gpx><wpt lat=\"1\" lon=\"2\"/><wpt lat=\"3\" lon=\"4\"/></gpx>";
    QBuffer plainSource(&plain);
    ASSERT_TRUE(plainSource.open(QIODevice::ReadOnly));
    XmlGuardedDevice plainGuarded(plainSource);
    QXmlStreamReader p(&plainGuarded);
    elements = 0;
    while (!p.atEnd())
        if (p.readNext() == QXmlStreamReader::StartElement)
            ++elements;
    EXPECT_FALSE(p.hasError()) << p.errorString().toStdString();
    EXPECT_EQ(elements, 3);
    EXPECT_TRUE(plainGuarded.reason().isEmpty());
}

TEST(XmlGuard, NamespacesDeclaredAroundAnElementAreLimitedNotThoseOfSiblings)
{
    const auto declaring = [](const QByteArray &name, int count, const QByteArray &prefix) {
        QByteArray e = "<" + name;
        for (int i = 0; i < count; ++i)
            e += " xmlns:" + prefix + QByteArray::number(i) + "=\"urn:" + QByteArray::number(i) + "\"";
        return e;
    };
    const QString refused = QStringLiteral("more than 100 namespaces are declared around an element");
    EXPECT_EQ(xmlRefusal(declaring("r", XmlMaxNamespaces, "p") + "/>"), QString());
    EXPECT_EQ(xmlRefusal(declaring("r", XmlMaxNamespaces, "p") + " xmlns=\"urn:default\"/>"), refused);
    // Nested declarations add up; closed elements' declarations are gone.
    EXPECT_EQ(xmlRefusal(declaring("r", 60, "p") + ">" + declaring("a", 41, "q") + "/></r>"), refused);
    EXPECT_EQ(xmlRefusal(declaring("r", 60, "p") + ">" + declaring("a", 40, "q") + "></a>" + declaring("b", 40, "q")
                         + "/></r>"),
              QString());
    // A writer that declares its extension's namespace on every point.
    QByteArray points = "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\">";
    for (int i = 0; i < 10000; ++i)
        points += "<wpt lat=\"1\" lon=\"2\"><extensions><x:e xmlns:x=\"urn:x\" xmlns:y=\"urn:y\"/></extensions></wpt>";
    EXPECT_EQ(xmlRefusal(points + "</gpx>"), QString());
    // Attributes merely starting like a declaration are no declarations.
    QByteArray lookalikes = "<r";
    for (int i = 0; i < 200; ++i)
        lookalikes += " xmlnsx" + QByteArray::number(i) + "=\"\"";
    EXPECT_EQ(xmlRefusal(lookalikes + "/>"), QString());
    EXPECT_EQ(refusalByteByByte(declaring("r", 60, "p") + ">" + declaring("a", 41, "q") + "/></r>"), refused);
}
