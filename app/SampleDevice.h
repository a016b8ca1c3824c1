// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Writes a device folder a user can explore: identity, markers, a map folder and the
// category folders, filled with content made by our own format code.
namespace SampleDevice {
// Returns an empty text on success, else the reason.
QString write(const QString &dir);
}
