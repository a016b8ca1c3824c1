// SPDX-License-Identifier: GPL-3.0-or-later
// The service menu's hex export commands: the chooser, a cancel, and the error box.
#include "platform/Folders.h"
#include "services/HexExportMenu.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QMenu>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {
struct Chooser {
    QString answer, folder, filter;
    int asked = 0;
    Chooser()
    {
        HexExportMenu::chooseFile = [this](QWidget *, const QString &f, const QString &filter) {
            ++asked;
            folder = f;
            this->filter = filter;
            return answer;
        };
    }
};

QAction *entry(QMenu &menu, const char *text)
{
    for (QAction *a : menu.actions())
        if (a->text() == QLatin1String(text))
            return a;
    return nullptr;
}
} // namespace

TEST(HexExportMenu, ServiceMenuEntriesConvertTheChosenFile)
{
    TempFolder t;
    QWidget window;
    QMenu menu;
    HexExportMenu::addTo(&menu, &window);
    ASSERT_NE(entry(menu, "ExeToHex"), nullptr);
    ASSERT_NE(entry(menu, "BinToHex"), nullptr);

    Chooser chooser;
    chooser.answer = t.write(QStringLiteral("a.bin"), "\x0a");
    entry(menu, "ExeToHex")->trigger();
    EXPECT_EQ(chooser.folder, Folders::UserDataFolder());
    EXPECT_EQ(chooser.filter, QStringLiteral("Any file (*)"));
    EXPECT_EQ(readAll(t.file(QStringLiteral("a.txt"))), "0A");
    entry(menu, "BinToHex")->trigger();
    EXPECT_EQ(chooser.filter, QStringLiteral("Any File (*)"));
    EXPECT_EQ(readAll(t.file(QStringLiteral("a.txt"))), "Const\r\na.bin = \r\n  '0A';");

    chooser.answer.clear(); // cancelled: nothing happens
    entry(menu, "ExeToHex")->trigger();
    EXPECT_EQ(chooser.asked, 3);
    EXPECT_EQ(readAll(t.file(QStringLiteral("a.txt"))), "Const\r\na.bin = \r\n  '0A';");
}

TEST(HexExportMenu, ATxtFileEndsInTheErrorBoxAndStaysAsItWas)
{
    TempFolder t;
    QWidget window;
    Chooser chooser;
    chooser.answer = t.write(QStringLiteral("notes.txt"), "keep");
    QString shown;
    onNextModal([&](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            shown = box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
        }
        w->close();
    });
    HexExportMenu::BinToHex1Click(&window);
    EXPECT_TRUE(shown.contains(QStringLiteral("notes.txt"))) << shown.toStdString();
    EXPECT_EQ(readAll(chooser.answer), "keep");
    EXPECT_EQ(QDir(t.path()).entryList(QDir::Files), QStringList{"notes.txt"});
}
