// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "core/timetext.h"

namespace chronivel {

// Where the big digits of the second monitor go: one row of nine digits with
// its three separators for a frame's size and the format, and the rows of the
// whole window for its size. Sizes are in the window system's pixels, font
// sizes in points.

struct BigBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const BigBox&, const BigBox&) = default;
};

// The digit controls are numbered 1..9 from the left (hours tens .. thousandths);
// the separators are the hour mark ":", the minute mark "." and the decimal comma ",".
enum class BigLabel { Hour, Min, Sec };
inline constexpr int BigDigitCount = 9;
inline constexpr int BigLabelCount = 3;

struct BigRowLayout {
    int digitWidth = 0;       // w
    int thickness = 0;        // v, half a segment's stroke
    int digitHeight = 0;      // 0.9 of the frame's height
    std::array<int, BigDigitCount> lefts{};  // Digit1..Digit9; with hours hidden the first two lie left of the frame, hidden
    std::array<bool, BigDigitCount> digitVisible{};
    std::array<BigBox, BigLabelCount> labels{};  // indexed by BigLabel
    std::array<bool, BigLabelCount> labelVisible{};
    int labelPointSize = 0;

    const BigBox& Label(BigLabel label) const { return labels[static_cast<int>(label)]; }
    bool LabelVisible(BigLabel label) const { return labelVisible[static_cast<int>(label)]; }
};

// The row for a frame `width` × `height` pixels large. Nine (or fewer, with
// fewer decimal places or hours hidden) digits share the width, narrowed
// where their gaps would carry the last one past the frame; a frame too
// small for that still gets digits one pixel wide with a one-pixel stroke and
// a one-point font, never a size of 0.
BigRowLayout LayoutBigRow(int width, int height, const TimeFormat& format);

// round(n × 0.9) with halves to even, exactly, in integers.
int NineTenths(int n);

// The window's fonts, in points: the title's from the window's width, the
// other panels' from the title's. At least 1.
struct MonitorFonts {
    int title = 0;
    int panels = 0;
};
MonitorFonts MonitorFontSizes(int windowWidth);

// The six rows from top to bottom. Each spans the window's width.
struct MonitorRows {
    BigBox title, lab1, frame1, lab2, frame2, bottom;
};

// The rows of a window `width` × `height` large whose title font's lines are
// `titleLine` pixels high (its ascent and descent: a title only as high as
// the font's size cuts off the descenders) and whose other panels' font is
// `panelPixels` high (as the fonts of MonitorFontSizes turn out on the
// screen). The second row starts at half the height, or right below the
// first frame when that reaches further; the second frame fills what is left
// above the bottom panel.
MonitorRows LayoutMonitorRows(int width, int height, int titleLine, int panelPixels);

}  // namespace chronivel
