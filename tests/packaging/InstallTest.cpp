// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Language.h"
#include "tests/packaging/ProgramRun.h"
#include "tests/support/TestSupport.h"

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {
// This build installed by the real `cmake --install` into a fresh prefix.
class Install : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ProgramRun r = runProgram(QStringLiteral(KORVIX_CMAKE), {"--install", KORVIX_BINARY_DIR, "--prefix", prefix()});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    QString prefix() const { return m_tmp.file("usr"); }
    QString at(const QString &relative) const { return prefix() + '/' + relative; }

    // The commands `korvix-cli help` lists, from the installed program.
    QStringList helpCommands() const
    {
        const ProgramRun help = runProgram(at("bin/korvix-cli"), {"help"});
        QStringList names;
        static const QRegularExpression line(QStringLiteral("^  ([a-z0-9-]+)"), QRegularExpression::MultilineOption);
        for (auto it = line.globalMatch(QString::fromUtf8(help.out)); it.hasNext();)
            names << it.next().captured(1);
        return names;
    }

    TempFolder m_tmp;
};

QMap<QString, QString> desktopKeys(const QString &path)
{
    QMap<QString, QString> keys;
    const QStringList lines = QString::fromUtf8(readAll(path)).split('\n');
    if (lines.value(0) != QLatin1String("[Desktop Entry]"))
        return keys;
    for (const QString &l : lines)
        if (const int eq = l.indexOf('='); eq > 0)
            keys.insert(l.left(eq), l.mid(eq + 1));
    return keys;
}
} // namespace

TEST_F(Install, PutsProgramsTranslationAndMenuEntryInTheXdgFolders)
{
    for (const char *program : {"bin/korvix", "bin/korvix-cli"})
        EXPECT_TRUE(QFileInfo(at(program)).isExecutable()) << program;
    EXPECT_TRUE(QFileInfo(at("share/korvix/korvix.PLK")).isFile());
    EXPECT_TRUE(QFileInfo(at("share/man/man1/korvix-cli.1.gz")).isFile());
    EXPECT_TRUE(QFileInfo(at("share/man/man1/korvix.1.gz")).isFile());
    EXPECT_TRUE(QFileInfo(at("share/bash-completion/completions/korvix-cli")).isFile());

    // The menu entry starts an installed program and shows an installed icon.
    const QMap<QString, QString> entry = desktopKeys(at("share/applications/korvix.desktop"));
    ASSERT_FALSE(entry.isEmpty()) << "no [Desktop Entry] group first";
    EXPECT_EQ(entry.value("Type"), "Application");
    EXPECT_FALSE(entry.value("Name").isEmpty());
    EXPECT_TRUE(entry.value("Categories").endsWith(';'));
    EXPECT_TRUE(QFileInfo(at("bin/" + entry.value("Exec").section(' ', 0, 0))).isExecutable()) << entry.value("Exec").toStdString();
    const QString icon = entry.value("Icon");
    EXPECT_TRUE(QFileInfo(at("share/icons/hicolor/scalable/apps/" + icon + ".svg")).isFile()) << icon.toStdString();

    // Every size of the icon theme holds a PNG of that size, drawn (not left empty).
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString png = at(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon));
        const QImage image(png);
        ASSERT_FALSE(image.isNull()) << png.toStdString();
        EXPECT_EQ(image.size(), QSize(size, size)) << size;
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        EXPECT_GT(opaque, size * size / 2) << size;
    }
}

TEST_F(Install, TheInstalledProgramFindsItsPolishTextsInTheDataFolder)
{
    // Nothing beside the installed executable: the lookup must reach share/korvix.
    ASSERT_FALSE(QFileInfo::exists(at("bin/korvix.PLK")));
    const QString found = Language::companionFile(at("bin/korvix"), QStringLiteral("PLK"));
    EXPECT_EQ(found, QFileInfo(at("share/korvix/korvix.PLK")).absoluteFilePath());
    QTranslator polish;
    EXPECT_TRUE(polish.load(found));
    EXPECT_FALSE(polish.isEmpty());
}

TEST_F(Install, ManualPageRendersAndNamesEveryCommandOfTheHelp)
{
    const QStringList commands = helpCommands();
    ASSERT_GT(commands.size(), 10);
    // Installed compressed, as Debian's manual pages are.
    const ProgramRun unzipped = runProgram(QStringLiteral("gzip"), {"-dc", at("share/man/man1/korvix-cli.1.gz")});
    ASSERT_EQ(unzipped.code, 0);
    const QString plain = m_tmp.write("korvix-cli.1", unzipped.out);
    const ProgramRun groff = runProgram(QStringLiteral("groff"), {"-man", "-Tutf8", "-ww", "-P-c", plain});
    ASSERT_EQ(groff.code, 0) << groff.err.toStdString();
    EXPECT_EQ(groff.err, QByteArray()); // roff warnings: a text read as a request or escape
    // Rendered text, hyphenation and overstrike undone, compared by words.
    QString page = QString::fromUtf8(groff.out);
    page.replace(QRegularExpression(QStringLiteral(".\x08")), QString()).replace(QChar(0x2212), '-');
    EXPECT_TRUE(page.contains("Korvix " KORVIX_VERSION_TEXT));
    for (const QString &c : commands)
        EXPECT_TRUE(page.contains(QRegularExpression("\\n {7}" + QRegularExpression::escape(c) + "\\s"))) << c.toStdString();
    // Options keep their plain hyphens: every "-" of the source is the escaped minus sign.
    EXPECT_TRUE(page.contains("--force")) << page.toStdString();
    const QString source = QString::fromUtf8(unzipped.out);
    EXPECT_FALSE(source.contains(QRegularExpression(QStringLiteral("(^|[^\\\\])-")))) << source.toStdString();
}

TEST_F(Install, TheProgramsOwnManualPageRendersItsOptionsAndFiles)
{
    const ProgramRun unzipped = runProgram(QStringLiteral("gzip"), {"-dc", at("share/man/man1/korvix.1.gz")});
    ASSERT_EQ(unzipped.code, 0);
    const QString plain = m_tmp.write("korvix.1", unzipped.out);
    const ProgramRun groff = runProgram(QStringLiteral("groff"), {"-man", "-Tutf8", "-ww", "-P-c", plain});
    ASSERT_EQ(groff.code, 0) << groff.err.toStdString();
    EXPECT_EQ(groff.err, QByteArray());
    QString page = QString::fromUtf8(groff.out);
    page.replace(QRegularExpression(QStringLiteral(".\x08")), QString()).replace(QChar(0x2212), '-');
    EXPECT_TRUE(page.contains("Korvix " KORVIX_VERSION_TEXT)) << page.toStdString();
    for (const char *word : {"--device", "--version", "-SuperUser", "Korvix.ini", "language.ini", "korvix-cli(1)"})
        EXPECT_TRUE(page.contains(QLatin1String(word))) << word;
}

TEST_F(Install, BashCompletesCommandsAndTheirSubcommandsFromTheHelp)
{
    // The installed completion in a real bash, as the shell calls it after <Tab>.
    const auto complete = [&](const QString &line) {
        const QString script = QStringLiteral(
            "source \"$1\"; read -ra COMP_WORDS <<< \"$2\"; [ \"${2: -1}\" = ' ' ] && COMP_WORDS+=('');"
            "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _korvix_cli; printf '%s\\n' \"${COMPREPLY[@]}\"");
        const ProgramRun r = runProgram(QStringLiteral("bash"), {"-c", script, "bash", at("share/bash-completion/completions/korvix-cli"),
                                                    at("bin/korvix-cli") + ' ' + line},
                          m_tmp.path());
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        QStringList words = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
        words.sort();
        return words;
    };
    QStringList all = helpCommands();
    all.sort();
    EXPECT_EQ(complete(""), all);
    EXPECT_EQ(complete("o"), QStringList({"ov2"}));
    EXPECT_EQ(complete("help ch"), QStringList({"chk"}));
    // "export csv|asc|qcsv" lists values of one argument, not subcommands.
    EXPECT_EQ(complete("ov2 "), QStringList({"check", "dump", "export", "write"}));
    EXPECT_EQ(complete("kml "), QStringList({"import", "paste"}));
    EXPECT_EQ(complete("cab un"), QStringList({"unpack"}));
    // A command without subcommands takes file names.
    m_tmp.write("work/points.ov2");
    EXPECT_EQ(complete("dedup work/po"), QStringList({"work/points.ov2"}));
}
