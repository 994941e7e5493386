// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>

namespace chronivel {

// The pictures the main readout is built from: seven-segment digits and
// separators on black, lime or, while the countdown warns, red, and the loudspeaker of the sound button. They are drawn
// at the size they are shown at, so a zoomed window gets sharp edges instead
// of blown-up pixels. Each size is the one at zoom 1; zoom n shows n times it.

inline constexpr QSize DigitGlyphSize(16, 25);
inline constexpr QSize SeparatorGlyphSize(4, 25);
inline constexpr QSize SpeakerGlyphSize(31, 31);

// Position 0 of SeparatorGlyph: ':' between hours and minutes, 1 '.' before
// the seconds, 2 ',' before the fraction.
inline constexpr int ColonGlyph = 0;
inline constexpr int PointGlyph = 1;
inline constexpr int CommaGlyph = 2;

// The colours the digits and separators are lit in.
inline constexpr QRgb ReadoutLime = 0xff00ff00;
inline constexpr QRgb ReadoutWarningRed = 0xffff0000;

// Half-stroke and gap of the segments of a digit glyph of this size.
struct GlyphStroke {
    int thickness;
    int separation;
};
GlyphStroke DigitGlyphStroke(QSize size);

// Each glyph is `size` in device-independent pixels, drawn for a screen of
// device pixel ratio `ratio`: with `ratio` 2 it holds twice the pixels each
// way, drawn as at twice the size, so a high-density screen shows every one.

// Digit 0..9; anything else (such as ReadoutDigits::Blank) gives BlankGlyph.
QPixmap DigitGlyph(int digit, QSize size = DigitGlyphSize, qreal ratio = 1, QRgb ink = ReadoutLime);
// A digit position with no segment lit.
QPixmap BlankGlyph(QSize size = DigitGlyphSize, qreal ratio = 1);
// ColonGlyph, PointGlyph or CommaGlyph; anything else is plain black.
QPixmap SeparatorGlyph(int index, QSize size = SeparatorGlyphSize, qreal ratio = 1, QRgb ink = ReadoutLime);
// A loudspeaker with sound waves, or crossed out in red; transparent around it.
QPixmap SpeakerGlyph(bool soundOn, QSize size = SpeakerGlyphSize, qreal ratio = 1);

}  // namespace chronivel
