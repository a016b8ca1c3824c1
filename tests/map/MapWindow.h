// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the browser tests of the map window share: pictures as the local servers send
// them and the window opened as a user sees it, online.
#include "map/GMaps.h"
#include "platform/Shell.h"
#include "tests/support/TestSupport.h"

#include <QColor>
#include <QImage>

#include <memory>

// A 256 x 256 PNG tile of one colour.
inline QByteArray solidTile(QColor colour)
{
    QImage img(256, 256, QImage::Format_RGB32);
    img.fill(colour);
    return encodedImage(img, "PNG");
}

// Shown at 800 x 600 and kept when closed, so the test decides when it goes.
inline std::unique_ptr<TGMaps> openMapWindow(IShell &shell)
{
    auto map = std::make_unique<TGMaps>(shell);
    map->setAttribute(Qt::WA_DeleteOnClose, false);
    map->isOnline = [] { return true; };
    map->resize(800, 600);
    map->show();
    return map;
}
