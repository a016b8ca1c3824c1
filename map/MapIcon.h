// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The category icon the map shows for a POI list, and the folder of the map's files.

#include <QImage>
#include <QString>

namespace MapFiles {

// UserDataFolder + "GMap/".
QString folder();

// 22 x 22: `small` stretched into the inner 20 x 20 and a navy frame along the edge.
QImage framedIcon(const QImage &small);
// "image%3.3d.bmp" of `number`.
QString iconName(int number);
// Writes framedIcon(small) as iconName(number) into folder() (created when missing).
// Returns the name without folder, or an empty text when it could not be written.
QString writeIcon(const QImage &small, int number);

} // namespace MapFiles
