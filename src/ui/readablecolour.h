// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

namespace chronivel {

// How far apart two colours are for the eye, as WCAG 2 measures it: from 1
// (the same lightness) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// `wanted` when it reads on `background` with at least `ratio`; otherwise
// `wanted` taken toward black or white (whichever stands out more from the
// background), only as far as it takes to reach the ratio, so it keeps
// what it can of its hue.
QColor ReadableOn(const QColor& wanted, const QColor& background, double ratio = 4.5);

}  // namespace chronivel
