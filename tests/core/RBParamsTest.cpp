// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParams.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QStringList fields(const TRBParams &p)
{
    return p.ToStringList();
}

const TRBCharSet kBlank{' '};
const TRBCharSet kTab{'\t'};
const TRBCharSet kBar{'|'};
const TRBCharSet kComma{','};

struct ParseCase {
    const char *name;
    QString text;
    TRBCharSet separators;
    QString quotes;
    QStringList expected;
};

TEST(RBParams, ParseFieldsTable)
{
    const QString q = QStringLiteral("\"");
    const ParseCase cases[] = {
        {"itinerary line", QStringLiteral("1| 2 |\"x|y\"|"), kBar, q, {"1", "2", "x|y", ""}},
        {"quoted blanks are trimmed", QStringLiteral("\" a \""), kTab, q, {"a"}},
        {"doubled quote is no escape", QStringLiteral("\"a\"\"b\""), kTab, q, {"ab"}},
        {"quote opens mid-field", QStringLiteral("ab\"c,d\"e"), kComma, q, {"abc,de"}},
        {"quote left open runs to the end", QStringLiteral("a\t\"b\tc"), kTab, q, {"a", "b\tc"}},
        {"adjacent separators", QStringLiteral("a\t\tb"), kTab, q, {"a", "", "b"}},
        {"trailing separator", QStringLiteral("a\t"), kTab, q, {"a", ""}},
        {"lone separator", QStringLiteral("\t"), kTab, q, {"", ""}},
        {"no quotes: quote is plain", QStringLiteral("\"a b\""), kBlank, QString(),
         {"\"a", "b\""}},
        {"brackets nest", QStringLiteral("(a(b)c)d,e"), kComma, QStringLiteral("()"),
         {"a(b)cd", "e"}},
        {"bracket left open", QStringLiteral("x(a,(b"), kComma, QStringLiteral("()"),
         {"xa,(b"}},
        {"CR and LF removed", QStringLiteral("a\r\nb\tc\r"), kTab, q, {"ab", "c"}},
        {"TAB inside quotes", QStringLiteral("\"a\tb\"\tc"), kTab, q, {"a\tb", "c"}},
        {"equal pair acts as one quote", QStringLiteral("'a,b',c"), kComma,
         QStringLiteral("''"), {"a,b", "c"}},
    };
    for (const ParseCase &c : cases) {
        TRBParams p;
        p.ParseFields(c.text, 0, c.separators, c.quotes, kBlank);
        EXPECT_EQ(fields(p), c.expected) << c.name;
    }
}

TEST(RBParams, ParseFieldsKeep)
{
    TRBParams p{"7", "old", "older"};
    p.ParseFields(QString(), 1, kTab, QStringLiteral("\""), kBlank);
    EXPECT_EQ(fields(p), QStringList{"7"});

    TRBParams r{"7", "old", "older"};
    r.ParseFields(QStringLiteral("a\tb"), 1, kTab, QStringLiteral("\""), kBlank);
    EXPECT_EQ(fields(r), (QStringList{"7", "a", "b"}));

    TRBParams e{"x"};
    e.ParseFields(QString(), 0, kTab, QString(), kBlank);
    EXPECT_EQ(e.Count(), 0);
}

TEST(RBParams, SplitTextTable)
{
    struct Case {
        QString text, sep;
        QStringList expected;
    } cases[] = {
        {QStringLiteral("a\r\nb\r\n"), QStringLiteral("\r\n"), {"a", "b", ""}},
        {QString(), QStringLiteral("\r\n"), {""}},
        {QStringLiteral(" a \r\n b"), QStringLiteral("\r\n"), {"a", "b"}},
        // A separator cut off by the end still separates.
        {QStringLiteral("a\r"), QStringLiteral("\r\n"), {"a", ""}},
        // CR without LF is no separator; the CR is removed from the piece.
        {QStringLiteral("a\rb\r\nc"), QStringLiteral("\r\n"), {"ab", "c"}},
        {QStringLiteral("a\nb"), QStringLiteral("\n"), {"a", "b"}},
        {QStringLiteral("aXYXbXY"), QStringLiteral("XY"), {"a", "Xb", ""}},
    };
    for (const Case &c : cases) {
        TRBParams p{"stale"};
        p.SplitText(c.text, c.sep, kBlank);
        EXPECT_EQ(fields(p), c.expected) << c.text.toStdString();
    }
}

TEST(RBParams, JoinFields)
{
    const TRBParams p{"1", "Main St", "x"};
    const QString q = QStringLiteral("\"");
    EXPECT_EQ(p.JoinFields(1, QLatin1Char('\t'), q), QStringLiteral("\"Main St\"\tx"));
    EXPECT_EQ(p.JoinFields(0, QLatin1Char('|'), QString()), QStringLiteral("1|Main St|x"));
    EXPECT_EQ(p.JoinFields(0, QLatin1Char('|'), QString(QChar(0))), QStringLiteral("1|Main St|x"));
    EXPECT_EQ(p.JoinFields(0, QLatin1Char(','), QStringLiteral("[]"), 2),
              QStringLiteral("1,[Main St]"));
    EXPECT_EQ(p.JoinFields(3, QLatin1Char(','), q), QString());
    EXPECT_EQ(p.JoinFields(9, QLatin1Char(','), q), QString());

    // Separator inside a field quotes it; a quote alone is written unchanged.
    const TRBParams s{"a,b", "say\"hi", ""};
    EXPECT_EQ(s.JoinFields(0, QLatin1Char(','), q), QStringLiteral("\"a,b\",say\"hi,"));
}

TEST(RBParams, JoinThenParseRoundTrip)
{
    const TRBParams p{"", "Main St", "a\tb", "", "plain", " lead"};
    const QString line = p.JoinFields(1, QLatin1Char('\t'), QStringLiteral("\""));
    TRBParams back{"9"};
    back.ParseFields(line, 1, kTab, QStringLiteral("\""), kBlank);
    // Blanks at field ends do not survive: trimming follows quote removal.
    EXPECT_EQ(fields(back), (QStringList{"9", "Main St", "a\tb", "", "plain", "lead"}));
}

TEST(RBParams, RandomRowsRoundTripThroughTheClipboardForm)
{
    // Any fields without quotes, CR/LF or blanks at their ends come back unchanged.
    std::mt19937 rng(20261209);
    const QString alphabet = QStringLiteral("ab \t,|\u0105");
    for (int round = 0; round < 2000; ++round) {
        TRBParams row{"n"};
        const int nFields = int(rng() % 6);
        for (int f = 0; f < nFields; ++f) {
            QString t;
            const int len = int(rng() % 6);
            for (int i = 0; i < len; ++i)
                t += alphabet[int(rng() % alphabet.size())];
            row.Append(TrimChars(t, kBlank));
        }
        const QString line = row.JoinFields(1, QLatin1Char('\t'), QStringLiteral("\""));
        TRBParams back{"n", "stale"};
        back.ParseFields(line, 1, kTab, QStringLiteral("\""), kBlank);
        if (line.isEmpty()) { // an empty line has no fields at all
            EXPECT_EQ(back.Count(), 1);
            continue;
        }
        ASSERT_EQ(fields(back), fields(row)) << line.toStdString();
    }
}

TEST(RBParams, ArbitraryTextNeverBreaksTheTokenisers)
{
    std::mt19937 rng(7);
    const QString alphabet = QStringLiteral("\"()\t\r\n |,x");
    for (int round = 0; round < 3000; ++round) {
        QString t;
        const int len = int(rng() % 40);
        for (int i = 0; i < len; ++i)
            t += alphabet[int(rng() % alphabet.size())];
        TRBParams p;
        p.ParseFields(t, 0, kTab, QStringLiteral("()"), kBlank);
        EXPECT_LE(p.Count(), int(t.count(QLatin1Char('\t'))) + 1);
        p.ParseFields(t, 0, kBar, QStringLiteral("\""), kBlank);
        for (int i = 0; i < p.Count(); ++i)
            EXPECT_FALSE(p.GetField(i).contains(QLatin1Char('\r')));
        p.SplitText(t, u"\r\n", kBlank);
        EXPECT_EQ(p.Count(), int(t.count(QStringLiteral("\r\n"))) + 1 + (t.endsWith(QLatin1Char('\r')) ? 1 : 0));
    }
}

TEST(RBParams, GetAndSetFieldPadding)
{
    TRBParams p{"a", "b"};
    EXPECT_EQ(p.GetField(5), QString());
    EXPECT_EQ(p.GetField(-1), QString());
    EXPECT_EQ(p.Count(), 2);

    p.SetField(5, QStringLiteral("x\r\ny"));
    EXPECT_EQ(fields(p), (QStringList{"a", "b", "", "", "", "xy"}));

    p.SetField(0, QStringLiteral("keep\r\n"));
    EXPECT_EQ(p.GetField(0), QStringLiteral("keep\r\n"));
    p.SetField(1, QString());
    p.SetField(2, QStringLiteral("longer text"));
    EXPECT_EQ(fields(p), (QStringList{"keep\r\n", "", "longer text", "", "", "xy"}));
}

TEST(RBParams, ExchangeFieldsGrows)
{
    TRBParams p{"a"};
    p.ExchangeFields(0, 3);
    EXPECT_EQ(fields(p), (QStringList{"", "", "", "a"}));
    p.ExchangeFields(3, 1);
    EXPECT_EQ(fields(p), (QStringList{"", "a", "", ""}));
}

TEST(RBParams, ListOperations)
{
    TRBParams p;
    p.Append(u"one");
    p.Append(u"three");
    p.Insert(1, u"two");
    p.Insert(0, u"zero");
    EXPECT_EQ(fields(p), (QStringList{"zero", "one", "two", "three"}));
    p.Delete(2);
    EXPECT_EQ(fields(p), (QStringList{"zero", "one", "three"}));
    p.Delete(7);
    p.Truncate(2);
    EXPECT_EQ(fields(p), (QStringList{"zero", "one"}));
    p.Append(u"again");
    EXPECT_EQ(p.GetField(2), QStringLiteral("again"));

    TRBParams copy = p; // shared until written
    copy.SetField(0, QStringLiteral("changed"));
    EXPECT_EQ(p.GetField(0), QStringLiteral("zero"));
    EXPECT_NE(copy, p);

    p.LoadFromText(u"a\r\nb\nc\rd\r\n");
    EXPECT_EQ(fields(p), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(p.Text(), QStringLiteral("a\r\nb\r\nc\r\nd\r\n"));
    p.Clear();
    EXPECT_TRUE(p.IsEmpty());
}

TEST(RBParams, KeyValue)
{
    TRBParams p;
    p.SetValue(QStringLiteral("Name"), QStringLiteral("Ann"));
    p.SetValue(QStringLiteral("Zoom"), QStringLiteral("12"));
    EXPECT_EQ(p.GetValue(u"name"), QStringLiteral("Ann"));
    p.SetValue(QStringLiteral("NAME"), QStringLiteral("Bob=2"));
    EXPECT_EQ(p.Count(), 2);
    EXPECT_EQ(p.GetField(0), QStringLiteral("NAME=Bob=2"));
    EXPECT_EQ(p.GetValue(u"Name"), QStringLiteral("Bob=2"));
    EXPECT_EQ(p.GetValue(u"missing"), QString());
    // An entry without the separator has no name.
    p.Append(u"Zoo");
    EXPECT_EQ(p.IndexOfName(u"Zoo"), -1);
    p.SetNameValueSeparator(QLatin1Char(':'));
    p.Append(u"k:v");
    EXPECT_EQ(p.GetValue(u"K"), QStringLiteral("v"));
}

TEST(RBParams, TrimAndRemoveChars)
{
    EXPECT_EQ(TrimChars(u" ", kBlank), QString());
    EXPECT_EQ(TrimChars(u"     ", kBlank), QString());
    EXPECT_EQ(TrimChars(u"  a b  ", kBlank), QStringLiteral("a b"));
    EXPECT_EQ(TrimChars(u"xxaxx", TRBCharSet{'x'}), QStringLiteral("a"));
    EXPECT_EQ(TrimChars(u"", kBlank), QString());
    EXPECT_EQ(RemoveChars(TRBCharSet{'\r', '\n'}, u"a\r\nb\rc"), QStringLiteral("abc"));
    // Characters above 255 never belong to a set.
    EXPECT_EQ(TrimChars(QStringView(u"\u0120a"), TRBCharSet{'\x20'}), QStringLiteral("\u0120a"));
}

TEST(RBParams, LongFieldsSurvive)
{
    // Field ends above 16 bits must not wrap.
    const QString big(200000, QLatin1Char('x'));
    TRBParams p{"a", big, "b"};
    EXPECT_EQ(p.GetField(1).size(), big.size());
    EXPECT_EQ(p.GetField(2), QStringLiteral("b"));
    p.SetField(0, big);
    EXPECT_EQ(p.GetField(2), QStringLiteral("b"));
    EXPECT_EQ(p.GetField(1).size(), big.size());
}

} // namespace
