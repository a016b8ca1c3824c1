// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The program's folders, each with a trailing "/".
namespace Folders {
QString ProgramFolder();     // folder of the executable
QString UserDataFolder();    // $XDG_DATA_HOME/Korvix/
QString CommonDataFolder();  // $XDG_CACHE_HOME/Korvix/: work files and downloads
// Creates the two data folders with their missing parents.
void createDataFolders();
} // namespace Folders
