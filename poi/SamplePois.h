// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// POI files for the sample device: a few hundred POIs around Kraków in several
// category files written by our own writer (the larger ones with nested skipper
// blocks), each with a 22 x 22 icon (and one with a 44 x 44 large icon) beside it.
// Returns the .ov2 files written; throws KorvixError when a file cannot be written.
QStringList writeSamplePois(const QString &mapFolder);

// A 24-bit bottom-up BMP of width x height pixels; `pixel(x, y)` gives 0x00RRGGBB
// with y = 0 the top row.
template <typename PixelFn>
QByteArray bmp24(int width, int height, PixelFn pixel);
QByteArray bmp24Header(int width, int height);

template <typename PixelFn>
QByteArray bmp24(int width, int height, PixelFn pixel)
{
    QByteArray out = bmp24Header(width, height);
    const int stride = (width * 3 + 3) & ~3;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const quint32 c = pixel(x, y);
            out.append(char(c & 0xFF)).append(char((c >> 8) & 0xFF)).append(char((c >> 16) & 0xFF));
        }
        out.append(QByteArray(stride - width * 3, '\0'));
    }
    return out;
}
