// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include <functional>

class QMenu;
class QWidget;

// The service menu's "ExeToHex" and "BinToHex": choose a file, write its text beside it.
namespace HexExportMenu {
// The file chooser (start folder, filter); an empty answer is a cancel. Tests put
// their own here.
extern std::function<QString(QWidget *parent, const QString &folder, const QString &filter)> chooseFile;
// Each ends with the standard error box when the file cannot be read or written.
void ExeToHex1Click(QWidget *parent);
void BinToHex1Click(QWidget *parent);
void addTo(QMenu *serviceMenu, QWidget *parent);
} // namespace HexExportMenu
