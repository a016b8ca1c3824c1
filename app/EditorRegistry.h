// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TMainForm;

// Attaches every editor window kind of the program to the main window: the tree's
// open and new commands, the file menu entries, the service menu items.
void registerEditors(TMainForm &form);
