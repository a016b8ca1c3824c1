// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

// What `korvix` is started with: devices to add, files to open (as file managers and
// xdg-open pass them) and the service switch.
struct CommandLine {
    QStringList deviceFolders; // absolute
    QStringList files;         // absolute
    bool superUser = false;    // "-SuperUser" or "/superuser", any case
};

// `args` without the program's own name; relative paths are taken from `workingFolder`.
CommandLine parseCommandLine(const QStringList &args, const QString &workingFolder);
