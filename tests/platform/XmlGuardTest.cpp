#include "platform/XmlGuard.h"

#include <gtest/gtest.h>

namespace {
QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}
} // namespace

TEST(XmlGuard, AcceptsPlainDocumentsWithCharacterReferencesAndAPlainDoctype)
{
    EXPECT_TRUE(harmlessXml(QByteArray("<?xml version=\"1.0\"?><kml><name>A &amp; B &#322;</name></kml>")));
    EXPECT_TRUE(harmlessXml(QByteArray("<!DOCTYPE rss><rss><item/></rss>")));
    EXPECT_TRUE(harmlessXml(QStringLiteral("<gpx><wpt lat=\"1\" lon=\"2\"/></gpx>")));
}

TEST(XmlGuard, RefusesEntityDeclarationsAndReferencesOfEveryKind)
{
    // Internal expansion, the nested "billion laughs" and an external one.
    EXPECT_FALSE(harmlessXml(QByteArray("<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>")));
    EXPECT_FALSE(harmlessXml(QByteArray("<!DOCTYPE r [<!ENTITY a \"aa\"><!ENTITY b \"&a;&a;\">]><r>&b;</r>")));
    EXPECT_FALSE(harmlessXml(QByteArray("<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>")));
    // Declared but never used still says the text is not a plain document.
    EXPECT_FALSE(harmlessXml(QStringLiteral("<!DOCTYPE r [<!ENTITY e \"x\">]><r/>")));
    // A reference to an entity nobody declared.
    EXPECT_FALSE(harmlessXml(QByteArray("<r>&undeclared;</r>")));
}

TEST(XmlGuard, RefusesNestingBeyondTheLimitAndBrokenText)
{
    EXPECT_TRUE(harmlessXml(nested(XmlMaxDepth)));
    EXPECT_FALSE(harmlessXml(nested(XmlMaxDepth + 1)));
    EXPECT_FALSE(harmlessXml(QByteArray("<r><a></r>")));
    EXPECT_FALSE(harmlessXml(QByteArray("not xml")));
    EXPECT_FALSE(harmlessXml(QByteArray()));
}
