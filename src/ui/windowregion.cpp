// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windowregion.h"

#include <algorithm>
#include <cmath>

namespace chronivel {

TRowSpan RoundRectRow(const QRect& bounds, const QSize& ellipse, int y)
{
    if (bounds.width() <= 0 || bounds.height() <= 0 || y < bounds.top() || y > bounds.bottom()) return {};
    const double left = bounds.left();
    const double right = left + bounds.width();
    const double top = bounds.top();
    const double bottom = top + bounds.height();
    const double a = std::clamp(ellipse.width(), 0, bounds.width()) / 2.0;
    const double b = std::clamp(ellipse.height(), 0, bounds.height()) / 2.0;
    const double centreY = y + 0.5;

    double inset = 0.0;
    if (a > 0.0 && b > 0.0) {
        double dy = 0.0;
        if (centreY < top + b) dy = top + b - centreY;
        else if (centreY > bottom - b) dy = centreY - (bottom - b);
        if (dy > 0.0) {
            const double t = 1.0 - (dy / b) * (dy / b);
            if (t < 0.0) return {};
            inset = a - a * std::sqrt(t);
        }
    }
    // Pixel x is inside when its centre x + 0.5 lies within [left + inset, right - inset].
    return {static_cast<int>(std::ceil(left + inset - 0.5)), static_cast<int>(std::floor(right - inset - 0.5))};
}

QRegion RoundRectRegion(const QRect& bounds, const QSize& ellipse)
{
    QRegion region;
    // Rows with the same span are merged, so the straight sides cost one rectangle.
    int runTop = bounds.top();
    TRowSpan run = RoundRectRow(bounds, ellipse, runTop);
    const auto flush = [&](int endY) {
        if (!run.Empty() && endY > runTop) region += QRect(run.first, runTop, run.last - run.first + 1, endY - runTop);
    };
    for (int y = bounds.top() + 1; y <= bounds.bottom(); ++y) {
        const TRowSpan span = RoundRectRow(bounds, ellipse, y);
        if (span.first != run.first || span.last != run.last) {
            flush(y);
            run = span;
            runTop = y;
        }
    }
    flush(bounds.bottom() + 1);
    return region;
}

int ClampRoundPercent(int roundPercent)
{
    return std::clamp(roundPercent, 0, 100);
}

QSize CornerEllipse(int width, int height, int roundPercent)
{
    const int r = ClampRoundPercent(roundPercent);
    return {width * r / 100, height * r / 100};
}

QRegion WindowRegion(int width, int height, int roundPercent)
{
    if (width <= 1 || height <= 1) return {};
    return RoundRectRegion(QRect(1, 1, width - 1, height - 1), CornerEllipse(width, height, roundPercent));
}

QRegion CrescentRegion(int width, int height, int roundPercent)
{
    const QSize ellipse = CornerEllipse(width, height, roundPercent);
    const int left = -(width / 3) * 2;
    const int right = width / 3;
    return WindowRegion(width, height, roundPercent) - RoundRectRegion(QRect(left, 0, right - left, height), ellipse);
}

}  // namespace chronivel
