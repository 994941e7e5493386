// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

namespace chronivel {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

// The main window's side at zoom 0; each zoom step adds as much again.
inline constexpr int BaseSide = 224;
inline constexpr int ZoomSteps = 5;
// A zoom of 0..ZoomSteps-1 as it is; anything else, such as a damaged stored value, is 0.
constexpr int ValidZoom(int zoom)
{
    return zoom >= 0 && zoom < ZoomSteps ? zoom : 0;
}

// The main window's geometry for a zoom of 0..4, a format and the hours
// switch: every size is a whole multiple of the zoom factor, and divisions
// truncate toward zero.
struct WindowLayout {
    int zoomFactor = 1;
    int side = BaseSide;         // the window is square
    Box panel;                   // the readout panel, in the window
    int panelBevel = 2;
    std::array<Box, 13> images{};        // 1..12, inside the panel
    std::array<bool, 13> imageVisible{};  // 1..12

    Box panelDate, alarmButton, cmdStartStop, bPause, bestTime, lapList, cmdLap, ledCountDown, ledLock,
        labelSC, sbSound, mMenu, smMinimize, labelBest1, labelBest2, monthCalendar;
    int dateFontPt = 12, startStopFontPt = 9, lapFontPt = 10, lapListFontPt = 8, calendarFontPt = 8;
};

// The LEDs' sizes at zoom 1; they grow with the zoom like everything else.
inline constexpr Box CountDownLedSize{0, 0, 16, 16};
inline constexpr Box LockLedSize{0, 0, 16, 12};

WindowLayout LayoutWindow(int zoom, int format, int decimalPlaces, bool hoursOn);

// Where a square window of `side` pixels goes after a zoom step: centred on
// `available`, the part of its screen that panels and docks leave free, but
// with its top-left corner never outside that part. A window larger than the
// area reaches past its right and bottom edges, keeping the menu button and
// the readout at its top in sight.
Box CentredWindow(const Box& available, int side);

}  // namespace chronivel
