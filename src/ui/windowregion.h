// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QRegion>
#include <QSize>

namespace chronivel {

// The pixels one row of a rounded rectangle covers, first to last inclusive;
// empty when first > last.
struct TRowSpan {
    int first = 0;
    int last = -1;
    bool Empty() const { return first > last; }
};

// `bounds` spans [left, left + width) × [top, top + height); its corners are
// quarters of an ellipse `ellipse` wide and high, shrunk to fit the bounds.
// A pixel belongs to the shape when its centre does, so every row is symmetric.
TRowSpan RoundRectRow(const QRect& bounds, const QSize& ellipse, int y);
QRegion RoundRectRegion(const QRect& bounds, const QSize& ellipse);

// Negative values would give no rounding anyway, and above 100 the corner
// ellipse outgrows the window; both are clamped so the shape stays defined.
int ClampRoundPercent(int roundPercent);

// The corner ellipse: width × R div 100 by height × R div 100.
QSize CornerEllipse(int width, int height, int roundPercent);

// The window's shape: the rounded rectangle from (1, 1) to (width, height),
// so the top row and the left column are never part of it.
QRegion WindowRegion(int width, int height, int roundPercent);

// The configuration dialog's shape: the window's shape less the same shape
// two thirds of its width to the left, which is where the main window sits
// once the dialog is out: the crescent on its right.
QRegion CrescentRegion(int width, int height, int roundPercent);

}  // namespace chronivel
