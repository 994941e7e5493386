// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/windowplace.h"

#include <algorithm>

namespace chronivel {

bool ZoomFits(int zoom, const Box& available)
{
    const int side = BaseSide * (ValidZoom(zoom) + 1);
    return side <= available.width && side <= available.height;
}

int FittingZoom(int zoom, const Box& available)
{
    for (int z = ValidZoom(zoom); z > 0; --z)
        if (ZoomFits(z, available)) return z;
    return 0;
}

int NextFittingZoom(int zoom, const Box& available)
{
    const int next = (ValidZoom(zoom) + 1) % ZoomSteps;
    return ZoomFits(next, available) ? next : 0;
}

Box KeptInside(const Box& window, const Box& available)
{
    const auto inside = [](int start, int length, int areaStart, int areaLength) {
        return std::max(areaStart, std::min(start, areaStart + areaLength - length));
    };
    return {inside(window.left, window.width, available.left, available.width),
            inside(window.top, window.height, available.top, available.height), window.width, window.height};
}

}  // namespace chronivel
