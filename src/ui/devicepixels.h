// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QSize>
#include <QtMath>

namespace chronivel {

// `size` in the device pixels of a screen whose device pixel ratio is `ratio`.
inline QSize DevicePixels(QSize size, qreal ratio)
{
    return {qRound(size.width() * ratio), qRound(size.height() * ratio)};
}

// The pixmap `draw` makes at the device size of `size`, marked with its ratio:
// drawn as at that size, it shows on such a screen with every pixel.
template <typename Draw>
QPixmap AtRatio(QSize size, qreal ratio, Draw draw)
{
    QPixmap pixmap = draw(DevicePixels(size, ratio));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

}  // namespace chronivel
