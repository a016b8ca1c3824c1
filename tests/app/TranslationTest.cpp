// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestSupport.h"

#include <QDomDocument>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct Message {
    QString context, source, translation;
    bool finished = false;
};

QList<Message> readTs(const QByteArray &xml)
{
    QList<Message> out;
    QDomDocument doc;
    if (!doc.setContent(xml))
        return out;
    for (QDomElement ctx = doc.documentElement().firstChildElement("context"); !ctx.isNull();
         ctx = ctx.nextSiblingElement("context")) {
        const QString name = ctx.firstChildElement("name").text();
        for (QDomElement m = ctx.firstChildElement("message"); !m.isNull(); m = m.nextSiblingElement("message")) {
            const QDomElement t = m.firstChildElement("translation");
            out.append({name, m.firstChildElement("source").text(), t.text(),
                        t.attribute("type").isEmpty() && !t.text().isEmpty()});
        }
    }
    return out;
}

QStringList placeholders(const QString &text)
{
    QStringList out;
    static const QRegularExpression re("%\\d+");
    for (auto it = re.globalMatch(text); it.hasNext();)
        out << it.next().captured();
    out.sort();
    return out;
}

} // namespace

// Every text the program can show has its Polish translation, with the same %1
// placeholders, so a new text without one fails here rather than in front of a user.
TEST(Translations, EveryTextOfTheProgramHasItsPolishTranslation)
{
    TempFolder tmp;
    const QString fresh = tmp.file("fresh.ts");
    QProcess lupdate;
    lupdate.setWorkingDirectory(KORVIX_SOURCE_DIR);
    QStringList args = QString(KORVIX_LUPDATE_ARGS).split(';');
    lupdate.start(KORVIX_LUPDATE, args + QStringList({"-ts", fresh}));
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    const QList<Message> program = readTs(readAll(fresh));
    ASSERT_GT(program.size(), 50);
    const QList<Message> committed = readTs(readAll(KORVIX_SOURCE_DIR "/assets/translations/korvix_pl.ts"));
    QHash<QString, Message> known;
    for (const Message &m : committed)
        known.insert(m.context + '\n' + m.source, m);
    QStringList missing, broken;
    for (const Message &m : program) {
        const auto it = known.constFind(m.context + '\n' + m.source);
        if (it == known.constEnd() || !it->finished)
            missing << m.context + ": " + m.source;
        else if (placeholders(m.source) != placeholders(it->translation))
            broken << m.context + ": " + m.source;
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.size() << " texts without Polish (run the korvix_update_translations target "
                                   << "and translate them):\n" << missing.join('\n').toStdString();
    EXPECT_TRUE(broken.isEmpty()) << "placeholders lost in translation:\n" << broken.join('\n').toStdString();
}
