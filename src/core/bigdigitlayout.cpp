// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/bigdigitlayout.h"

#include <algorithm>

namespace chronivel {

int NineTenths(int n)
{
    const int tenths = n * 9;
    int rounded = tenths / 10;
    const int rest = tenths % 10;
    if (rest > 5 || (rest == 5 && rounded % 2 != 0)) ++rounded;
    return rounded;
}

BigRowLayout LayoutBigRow(int width, int height, const TimeFormat& format)
{
    const int places = format.DecimalPlaces();
    const int h = format.HoursOn() ? 1 : 0;
    const bool hms = format.ShowsHours();
    BigRowLayout row;
    // A frame narrower than its digit count (or not laid out yet) would give
    // w = 0, and so v = 0 and a label font of 0 points. A one-pixel digit with
    // a one-pixel stroke overflows such a frame to the right, which is all a
    // frame that small can show anyway.
    const int last = 5 + places;  // the last digit shown, 0-based
    int w = std::max(1, width / (places + 6 + 3 * h));
    for (;; --w) {
        const int v = std::max(1, w / 8);
        int step = w + v;
        const int c = step / 2;
        const int g = hms ? c : 0;
        // The seconds-only rows set their digits a stroke further apart,
        // which the share of the width above does not allow for: without
        // the hours their last digit would reach past the frame.
        if (!hms) step += v;
        // The gap after each digit before the next one: the minutes and
        // seconds pairs are set apart by g, the fraction by c.
        const int gapAfter[BigDigitCount] = {0, g, 0, g, 0, c, 0, 0, 0};
        row.lefts[0] = 2 * v - (1 - h) * (2 * step + g + v);
        for (int i = 1; i < BigDigitCount; ++i) row.lefts[i] = row.lefts[i - 1] + step + gapAfter[i - 1];
        row.digitWidth = w;
        row.thickness = v;
        if (w == 1 || row.lefts[last] + w <= width) break;
    }
    row.digitHeight = std::max(0, NineTenths(height));
    // Without the hours the first two digits lie left of the frame.
    for (int i = 0; i < BigDigitCount; ++i) row.digitVisible[i] = i >= 2 * (1 - h) && i <= last;

    // Each label spans the gap from the digit before it to the digit after
    // it, and reaches a stroke's width below the digits.
    const int before[BigLabelCount] = {1, 3, 5};  // Digit2, Digit4, Digit6 (0-based)
    for (int l = 0; l < BigLabelCount; ++l) {
        const int left = row.lefts[before[l]] + row.digitWidth;
        row.labels[l] = {left, 0, row.lefts[before[l] + 1] - left, row.digitHeight + 2 * row.thickness};
    }
    row.labelVisible = {hms && format.HoursOn(), hms, true};
    row.labelPointSize = row.digitWidth;
    return row;
}

MonitorFonts MonitorFontSizes(int windowWidth)
{
    const int title = std::max(1, windowWidth / 20);
    return {title, std::max(1, title / 3 * 2)};
}

MonitorRows LayoutMonitorRows(int width, int height, int titleLine, int panelPixels)
{
    const int titleHeight = titleLine;
    const int labHeight = panelPixels * 5 / 4;
    const int bottomHeight = titleHeight / 3 * 2;
    const int frameHeight = std::max(0, (height - titleHeight - bottomHeight - 2 * labHeight) / 100 * 58);

    MonitorRows rows;
    rows.title = {0, 0, width, titleHeight};
    rows.lab1 = {0, titleHeight, width, labHeight};
    rows.frame1 = {0, rows.lab1.top + labHeight, width, frameHeight};
    rows.lab2 = {0, std::max(height / 2, rows.frame1.top + frameHeight), width, labHeight};
    rows.bottom = {0, height - bottomHeight, width, bottomHeight};
    const int frame2Top = rows.lab2.top + labHeight;
    rows.frame2 = {0, frame2Top, width, std::max(0, rows.bottom.top - frame2Top)};
    return rows;
}

}  // namespace chronivel
