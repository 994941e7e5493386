// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/configlayout.h"

namespace chronivel {

ConfigLayout LayoutConfig(int zoom, int side)
{
    const int c = ValidZoom(zoom) + 1;
    const auto box = [c](int left, int top, int width, int height) {
        return Box{left * c, top * c, width * c, height * c};
    };
    ConfigLayout l;
    l.zoomFactor = c;
    l.side = side;
    const int button = 27 * c;
    const int centred = (side - button) / 2;
    l.cancel = {centred, 14 * c, button, button};
    l.ok = {centred, side - button - 13 * c, button, button};
    l.protocolLabel = box(72, 40, 73, 13);
    l.protocolName = box(72, 56, 105, 21);
    l.pictureLabel = box(78, 78, 46, 13);
    l.pictureName = box(80, 92, 113, 21);
    l.colorLabel = box(76, 118, 48, 13);
    l.panelColor = box(128, 115, 57, 21);
    l.lapsLabel = box(70, 142, 30, 13);
    l.laps = box(100, 139, 44, 22);
    l.lock = box(146, 139, 66, 22);  // its caption inside: "Lock 3600 s"
    l.timerLabel = box(60, 164, 38, 13);
    l.countDown = box(96, 162, 72, 21);
    l.minLap = {40 * c, l.ok.top, 56 * c, 21 * c};  // "99999 ms"
    l.fade = {130 * c, l.ok.top, 46 * c, 17 * c};
    return l;
}

}  // namespace chronivel
