// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QList>
#include <QStringList>

class QTranslator;

// The language of the program's texts: a code per executable ("ENU", "PLK"), read at
// start; the texts come from a companion file named like the program with the code
// as extension (korvix.PLK), else the built-in English ones are used.
namespace Language {

QStringList languageList(); // "ENU=English", "PLK=Polski"
// The language of the built-in texts, in use when nothing else is chosen.
QString builtInCode(); // "ENU"

// $XDG_CONFIG_HOME/Korvix/language.ini, key = the executable's absolute path.
QString storeFile();
QString storedCode(const QString &executablePath);
void storeCode(const QString &executablePath, const QString &code);

// The companion file for `code` beside the executable or in the data folders, or empty.
QString companionFile(const QString &executablePath, const QString &code);

// Installs the texts of `code` into the application: the program's own from its
// companion file and Qt's own (dialog buttons, edit menus) from Qt's translations, so
// no English is left in a Polish window. The translators installed are returned; they
// belong to the application.
QList<QTranslator *> install(const QString &executablePath, const QString &code);

} // namespace Language
