// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sevensegment.h"

namespace chronivel {

namespace {

SegmentPolygon Hexagon(std::uint8_t mask, const std::array<SegmentVertex, 6>& vertices)
{
    return SegmentPolygon{mask, 6, vertices};
}

// A bar lying across, its top edge at y0.
SegmentPolygon Across(std::uint8_t mask, int y0, int w, int t, int s)
{
    return Hexagon(mask, {{{s + t, y0 + t},
                           {2 * t + s, y0},
                           {w - 2 * t - s, y0},
                           {w - t - s, y0 + t},
                           {w - 2 * t - s, y0 + 2 * t},
                           {2 * t + s, y0 + 2 * t}}});
}

// An upright bar, its left edge at x0 and the top of its half of the digit at y0.
SegmentPolygon Upright(std::uint8_t mask, int x0, int y0, int halfH, int t, int s)
{
    return Hexagon(mask, {{{x0, y0 + 2 * t + s},
                           {x0 + t, y0 + t + s},
                           {x0 + 2 * t, y0 + 2 * t + s},
                           {x0 + 2 * t, y0 + halfH - t - s},
                           {x0 + t, y0 + halfH - s},
                           {x0, y0 + halfH - t - s}}});
}

}  // namespace

std::array<SegmentPolygon, segment::Count> SegmentPolygons(int width, int height, int thickness, int separation)
{
    const int w = width - 1;
    const int h = height - 1;
    const int halfH = h / 2;
    const int t = thickness;
    const int s = separation;
    const int right = w - 2 * t;
    const int lower = halfH - t;

    SegmentPolygon point{segment::Point, 3, {}};
    point.vertices[0] = {w, h};
    point.vertices[1] = {w - 2 * t + s, h};
    point.vertices[2] = {w, h - 2 * t + s};

    return {Across(segment::Top, 0, w, t, s),
            Across(segment::Middle, halfH - t, w, t, s),
            Across(segment::Bottom, h - 2 * t, w, t, s),
            Upright(segment::UpperLeft, 0, 0, halfH, t, s),
            Upright(segment::UpperRight, right, 0, halfH, t, s),
            Upright(segment::LowerLeft, 0, lower, halfH, t, s),
            Upright(segment::LowerRight, right, lower, halfH, t, s),
            point};
}

}  // namespace chronivel
