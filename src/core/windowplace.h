// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/windowlayout.h"

namespace chronivel {

// Where the main window may be on a screen: whole inside the area that
// panels and docks leave free, so that no control is ever out of reach.

// Whether the window at `zoom` (0..ZoomSteps-1) fits inside `available`.
bool ZoomFits(int zoom, const Box& available);
// The largest zoom up to `zoom` whose window fits; 0 where none does.
int FittingZoom(int zoom, const Box& available);
// The zoom after `zoom` in the cycle 1, 2, …, 5, 1, skipping the sizes that
// do not fit: after the largest that fits comes 1 again.
int NextFittingZoom(int zoom, const Box& available);
// `window` moved as little as it takes to lie inside `available`; one that
// is larger keeps its top-left corner inside, with its menu button and readout.
Box KeptInside(const Box& window, const Box& available);

}  // namespace chronivel
