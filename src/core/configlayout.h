// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/windowlayout.h"

namespace chronivel {

// The configuration dialog's geometry at a zoom of 0..4: a square as wide as
// the main window, whose right-hand crescent holds the fields, each placed
// and sized as a multiple of the zoom factor.
struct ConfigLayout {
    int zoomFactor = 1;
    int side = BaseSide;
    Box cancel, ok, fade;
    Box protocolLabel, protocolName;
    Box pictureLabel, pictureName;
    Box colorLabel, panelColor;
    Box lapsLabel, laps, lock;
    Box minLap;  // left of OK, as the fading box is right of it
    Box timerLabel, countDown;
};

// `side` is the main window's width.
ConfigLayout LayoutConfig(int zoom, int side);

// How far each window moves at each step of the slide, and how many steps:
// the dialog comes out from behind the main window by 74 of its steps.
inline constexpr int SlideSteps = 74;
constexpr int SlideStep(int zoom)
{
    return ValidZoom(zoom) + 1;
}

}  // namespace chronivel
