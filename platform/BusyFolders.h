// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Folders that must not be written for a while (a device being backed up), with the
// reason a writer is told. The shared atomic save asks here before it writes.
namespace BusyFolders {
void mark(const QString &folder, const QString &reason);
void release(const QString &folder);
// The reason when `path` is a busy folder or lies inside one, else an empty text.
QString refusal(const QString &path);
} // namespace BusyFolders
