// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRgb>

namespace chronivel {

// Whether a glyph pixel lets the button's face show, for the glyph's
// transparent colour `see` (its bottom-left pixel, unless set otherwise). A
// glyph with alpha says so pixel by pixel, and the colour of a clear pixel
// means nothing: `see` names a colour only when it is opaque, as in a bitmap
// without alpha, and then only opaque pixels of that colour vanish.
inline bool SeeThrough(QRgb pixel, QRgb see)
{
    return qAlpha(pixel) == 0 || (qAlpha(see) == 255 && pixel == see);
}

}  // namespace chronivel
