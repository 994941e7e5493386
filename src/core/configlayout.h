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
    Box bClose, bOK, cbTransparent;
    Box protocolLabel, protocolName;  // Label3, Edit_ProtocolName
    Box pictureLabel, pictureName;    // Label4, Edit_PictureName
    Box colorLabel, panelColor;       // Label2, PanelColor
    Box lapsLabel, laps, lock;        // Label5, seLAPs, seLock
    Box minLap;                       // seMinLap: left of OK, as the transparency box is right of it
    Box timerLabel, countDown;        // Label1, meCountDown
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
