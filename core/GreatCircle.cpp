// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/GreatCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double GreatCircleDistance(double lonA, double latA, double lonB, double latB)
{
    constexpr double rad = std::numbers::pi / 180.0;
    const double fa = latA * rad, fb = latB * rad;
    const double dl = std::abs(lonB * rad - lonA * rad);
    const double c = std::sin(fa) * std::sin(fb) + std::cos(fa) * std::cos(fb) * std::cos(dl);
    if (std::isnan(c))
        return -1;
    return GreatCircle::EarthRadius * std::acos(std::clamp(c, -1.0, 1.0));
}
