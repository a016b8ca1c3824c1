// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QString>

#include <vector>

// The scheme's preview: a schematic map whose pixels are entry numbers minus 1, so
// that replacing its colour table redraws the map in a scheme's colours.
namespace ClrPreview {

constexpr int Width = 300, Height = 600;
constexpr int TableSize = 72;
// The replacement picture a user may put into CommonDataFolder.
constexpr const char *ReplacementName = "schem.bmp";

// The built-in picture: 8 bits per pixel, a colour table of 72 entries.
QImage builtIn();
// The replacement from `folder` when there is one that loads, else the built-in one.
QImage load(const QString &folder);

enum class Outcome { Applied, NoColorTable, TooManyEntries };
// Puts `colors` (colour numbers, red in the low byte) into the picture's colour table
// from entry 0 on. A scheme beyond 256 entries leaves the picture as it was.
Outcome apply(QImage &picture, const std::vector<quint32> &colors);
// The text shown when the picture has no colour table.
QString noColorTableMessage();

} // namespace ClrPreview
