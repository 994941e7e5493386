// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/readablecolour.h"

#include <algorithm>
#include <cmath>

namespace chronivel {

namespace {

double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c)
{
    return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}

QColor Mixed(const QColor& from, const QColor& to, double share)
{
    const auto channel = [share](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()));
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& wanted, const QColor& background, double ratio)
{
    if (ContrastRatio(wanted, background) >= ratio) return wanted;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor& toward = ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
    // The first step that reads is the nearest to `wanted`; 64 steps are finer than the eye tells apart.
    constexpr int Steps = 64;
    for (int step = 1; step < Steps; ++step) {
        const QColor candidate = Mixed(wanted, toward, static_cast<double>(step) / Steps);
        if (ContrastRatio(candidate, background) >= ratio) return candidate;
    }
    return toward;
}

}  // namespace chronivel
