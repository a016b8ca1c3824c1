// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The removable-media handler: a desktop entry in the user's applications folder
// offering "Explore your TomTom device" for a volume that is mounted.
namespace Autoplay {
QString desktopEntryPath();
// Returns an empty text on success, else the reason.
QString registerHandler(const QString &executablePath);
} // namespace Autoplay
