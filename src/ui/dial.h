// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

class QPainter;

namespace chronivel {

// The plate's colour at the dial's centre; the window takes its colour from there.
inline const QColor kDialCentreColor(170, 186, 192);

// The built-in face: a round stopwatch dial with a metallic ring and a
// grey-blue plate marked in seconds, white outside the ring. Drawn afresh for
// each size rather than scaled, so the ticks stay crisp at every zoom.
QImage DrawDial(const QSize& size);
// The same onto `painter`, `size` in its pixels, over a white background
// already there: a window paints only what it must show, and keeps no copy.
void PaintDial(QPainter& painter, const QSize& size);

}  // namespace chronivel
