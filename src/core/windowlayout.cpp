// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/windowlayout.h"

#include <algorithm>

#include "core/displayformat.h"

namespace chronivel {

WindowLayout LayoutWindow(int zoom, int format, int decimalPlaces, bool hoursOn)
{
    WindowLayout l;
    const int a = ValidZoom(zoom) + 1;
    const auto& lefts = DisplayFormats[ValidFormat(format)].lefts;
    const auto left = [&lefts](int image) { return lefts[image - 1]; };
    l.zoomFactor = a;
    l.side = BaseSide * a;

    // Hidden hours take the hour digits' room: the panel narrows and the
    // minutes move to its left edge.
    const int d = hoursOn ? -2 : left(7) - 2;
    const int e = d * a / 2;
    const int places = decimalPlaces >= 1 && decimalPlaces <= 3 ? decimalPlaces : 3;
    const int panelLeft[] = {31, 23, 15};
    const int panelWidth[] = {159, 177, 195};
    l.panel = {panelLeft[places - 1] * a + e, 91 * a, (panelWidth[places - 1] - d) * a, 33 * a};
    l.panelBevel = 2 * a;

    const int u = hoursOn ? 0 : left(7) - 3;
    for (int image = 1; image <= 12; ++image) {
        l.images[image] = {(left(image) - u) * a, 4 * a, (image <= 9 ? 16 : 4) * a, 25 * a};
        const bool hourPart = image == 8 || image == 9 || image == 10;
        const bool unusedFraction = (image == 1 && places < 3) || (image == 2 && places < 2);
        l.imageVisible[image] = !(hourPart && !hoursOn) && !unusedFraction;
    }

    l.panelDate = {45 * a, 46 * a, 131 * a, 25 * a};
    l.alarmButton = {l.panelDate.left + l.panelDate.width, 46 * a, 23 * a, 25 * a};
    l.cmdStartStop = {122 * a, 126 * a, 58 * a, 25 * a};
    l.bPause = {180 * a, 126 * a, 19 * a, 25 * a};
    l.bestTime = {80 * a, 71 * a, 96 * a, 20 * a};
    l.lapList = {44 * a, 154 * a, 138 * a, 21 * a};
    l.cmdLap = {85 * a, 179 * a, 57 * a, 25 * a};
    l.ledCountDown = {36 * a, 127 * a, CountDownLedSize.width * a, CountDownLedSize.height * a};
    // Placed against the start button, so they come after it.
    const int lockWidth = LockLedSize.width * a;
    const int lockHeight = LockLedSize.height * a;
    l.ledLock = {l.cmdStartStop.left - lockWidth - 2 * a, l.cmdStartStop.top + l.cmdStartStop.height - lockHeight - a,
                 lockWidth, lockHeight};
    l.labelSC = {l.ledCountDown.left + l.ledCountDown.width + 2 * a, l.ledCountDown.top - 4 * (a - 1), 0, 0};
    l.sbSound = {70 * a, 21 * a, 25 * a, 25 * a};
    l.mMenu = {97 * a, 13 * a, 33 * a, 33 * a};
    l.smMinimize = {132 * a, 21 * a, 25 * a, 25 * a};
    l.labelBest1 = {47 * a, 73 * a, 0, 0};
    l.labelBest2 = {46 * a, 72 * a, 0, 0};
    l.monthCalendar = {19 * a, 36 * a, 185 * a, 145 * a};

    l.dateFontPt = 12 * a;
    l.startStopFontPt = 9 * a;
    l.lapFontPt = 10 * a;
    l.lapListFontPt = 12 * (a - 1) + 8;
    l.calendarFontPt = 11 * (a - 1) + 8;
    return l;
}

Box CentredWindow(const Box& available, int side)
{
    return {std::max(available.left, available.left + (available.width - side) / 2),
            std::max(available.top, available.top + (available.height - side) / 2), side, side};
}

}  // namespace chronivel
