// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "app/ContentTree.h"

#include <QString>

class KorvixSettings;
struct TreeOptions;

// The tree as text: one node a line, two blanks of indent per level below the
// device node, the text, a blank and the icon index in brackets.
QString treeAsText(const TreeNode *device);

// The tree options the program uses, from the settings store.
TreeOptions treeOptionsFrom(const KorvixSettings &settings);
