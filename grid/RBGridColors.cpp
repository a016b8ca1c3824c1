// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGrids.h"

#include <algorithm>

// ---------------------------------------------------------------------------------
// Colours

namespace {
constexpr int HLSMAX = 240;
constexpr int RGBMAX = 255;

int hueToRGB(int n1, int n2, int hue)
{
    if (hue < 0)
        hue += HLSMAX;
    if (hue > HLSMAX)
        hue -= HLSMAX;
    if (hue < HLSMAX / 6)
        return n1 + (((n2 - n1) * hue + HLSMAX / 12) / (HLSMAX / 6));
    if (hue < HLSMAX / 2)
        return n2;
    if (hue < (HLSMAX * 2) / 3)
        return n1 + (((n2 - n1) * (((HLSMAX * 2) / 3) - hue) + HLSMAX / 12) / (HLSMAX / 6));
    return n1;
}
} // namespace

QColor ColorHLSToRGB(int hue, int luminance, int saturation)
{
    if (saturation == 0) {
        const int v = (luminance * RGBMAX) / HLSMAX;
        return QColor(v, v, v);
    }
    int magic2;
    if (luminance <= HLSMAX / 2)
        magic2 = (luminance * (HLSMAX + saturation) + HLSMAX / 2) / HLSMAX;
    else
        magic2 = luminance + saturation - ((luminance * saturation) + HLSMAX / 2) / HLSMAX;
    const int magic1 = 2 * luminance - magic2;
    auto channel = [&](int h) {
        return std::clamp((hueToRGB(magic1, magic2, h) * RGBMAX + HLSMAX / 2) / HLSMAX, 0, 255);
    };
    return QColor(channel(hue + HLSMAX / 3), channel(hue), channel(hue - HLSMAX / 3));
}

void ColorRGBToHLS(const QColor &c, int &hue, int &luminance, int &saturation)
{
    const int r = c.red(), g = c.green(), b = c.blue();
    const int cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
    luminance = (((cMax + cMin) * HLSMAX) + RGBMAX) / (2 * RGBMAX);
    if (cMax == cMin) {
        saturation = 0;
        hue = (HLSMAX * 2) / 3;
        return;
    }
    if (luminance <= HLSMAX / 2)
        saturation = (((cMax - cMin) * HLSMAX) + ((cMax + cMin) / 2)) / (cMax + cMin);
    else
        saturation = (((cMax - cMin) * HLSMAX) + ((2 * RGBMAX - cMax - cMin) / 2))
                     / (2 * RGBMAX - cMax - cMin);
    const int d = cMax - cMin;
    const int rd = (((cMax - r) * (HLSMAX / 6)) + (d / 2)) / d;
    const int gd = (((cMax - g) * (HLSMAX / 6)) + (d / 2)) / d;
    const int bd = (((cMax - b) * (HLSMAX / 6)) + (d / 2)) / d;
    if (r == cMax)
        hue = bd - gd;
    else if (g == cMax)
        hue = (HLSMAX / 3) + rd - bd;
    else
        hue = ((2 * HLSMAX) / 3) + gd - rd;
    if (hue < 0)
        hue += HLSMAX;
    if (hue > HLSMAX)
        hue -= HLSMAX;
}

QColor ColorAdjustLuma(const QColor &c, int n, bool scale)
{
    int h, l, s;
    ColorRGBToHLS(c, h, l, s);
    if (scale) {
        if (n > 0)
            l += ((HLSMAX - l) * n) / 1000;
        else
            l += (l * n) / 1000;
    } else {
        l += (n * HLSMAX) / 1000;
    }
    return ColorHLSToRGB(h, std::clamp(l, 0, HLSMAX), s);
}

QColor ColorFromNumber(TRBColor number)
{
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

TRBColor NumberFromColor(const QColor &c)
{
    return TRBColor(c.red()) | (TRBColor(c.green()) << 8) | (TRBColor(c.blue()) << 16);
}

bool ParseColorNumber(QStringView text, TRBColor &number)
{
    QStringView t = text.trimmed();
    bool ok = false;
    qlonglong v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || v < 0 || v > 0xFFFFFFFFLL)
        return false;
    number = TRBColor(v);
    return true;
}

const std::array<TRBPaletteEntry, 16> &RBGridPalette()
{
    static const std::array<TRBPaletteEntry, 16> palette = [] {
        std::array<TRBPaletteEntry, 16> p;
        p[0] = {Qt::black, Qt::white, Qt::black};
        for (int k = 1; k <= 15; ++k) {
            const QColor strong = ColorHLSToRGB(150 - 10 * k, 120, 240);
            p[size_t(k)] = {strong, ColorAdjustLuma(strong, 500, true), QColor(Qt::black)};
        }
        return p;
    }();
    return palette;
}
