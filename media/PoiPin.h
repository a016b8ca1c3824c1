// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>

// The 22 x 22 pin in the program's navy: the category icon of a POI list that has none
// yet, in the editor and on the map alike.
QImage defaultPoiIcon();
