// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QSize>

namespace chronivel {

// The small pictures on the window face's buttons, drawn at the size shown so
// that a zoomed window keeps sharp edges. Transparent around the picture.

inline constexpr QSize PauseGlyphSize(11, 13);
inline constexpr QSize AlarmClockGlyphSize(15, 16);

// Each is `size` in device-independent pixels, drawn with all the pixels of
// a screen of device pixel ratio `ratio`.

// Two upright bars: the run can be paused.
QPixmap PauseGlyph(QSize size = PauseGlyphSize, qreal ratio = 1);
// A triangle pointing right: the paused run can go on.
QPixmap PlayGlyph(QSize size = PauseGlyphSize, qreal ratio = 1);
// A tick, and a cross: the configuration dialog's OK and Cancel.
QPixmap OkGlyph(QSize size, qreal ratio = 1);
QPixmap CancelGlyph(QSize size, qreal ratio = 1);
// A small alarm clock; `ringing` adds the rays of an armed alarm.
QPixmap AlarmClockGlyph(bool ringing, QSize size = AlarmClockGlyphSize, qreal ratio = 1);

}  // namespace chronivel
