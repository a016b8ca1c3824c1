// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>
#include <QList>

// The tree's base icon list, 22 x 22, drawn by the program itself; the indexes are
// those of TreeIcon.
QList<QIcon> baseTreeIcons();
// A POI file's bitmap drawn, stretched, into a new 22 x 22 picture.
QIcon poiBitmapIcon(const QString &bitmapPath);

enum class SharedCommand;
// Toolbar pictures of the shared commands and the window commands.
QIcon commandIcon(SharedCommand command);
QIcon windowCommandIcon(const QString &name); // "cascade", "tileH", "tileV"
