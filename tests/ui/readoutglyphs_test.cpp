// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/readoutglyphs.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "core/readoutdigits.h"
#include "core/sevensegment.h"

namespace chronivel {
namespace {

const QColor kLime(0, 255, 0);
const QColor kBlack(0, 0, 0);

QImage Image(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Lit pixels as a set of (x, y), after checking that every pixel is lime or black.
std::set<std::pair<int, int>> LitPixels(const QImage& image)
{
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == kLime) {
                lit.insert({x, y});
            } else {
                EXPECT_EQ(c, kBlack) << "pixel " << x << "," << y;
            }
        }
    }
    return lit;
}

// Rows with at least one lit pixel, top to bottom.
std::set<int> LitRows(const QImage& image)
{
    std::set<int> rows;
    for (const auto& pixel : LitPixels(image)) rows.insert(pixel.second);
    return rows;
}

// Runs of consecutive lit rows, as (first, last).
std::vector<std::pair<int, int>> LitBands(const QImage& image)
{
    std::vector<std::pair<int, int>> bands;
    for (int row : LitRows(image)) {
        if (!bands.empty() && bands.back().second == row - 1) {
            bands.back().second = row;
        } else {
            bands.push_back({row, row});
        }
    }
    return bands;
}

TEST(ReadoutGlyphs, DigitsAreLimeOnBlackAtAnySize)
{
    for (const QSize size : {DigitGlyphSize, DigitGlyphSize * 2, DigitGlyphSize * 5}) {
        std::set<std::set<std::pair<int, int>>> shapes;
        for (int digit = 0; digit <= 9; ++digit) {
            const QImage image = Image(DigitGlyph(digit, size));
            EXPECT_EQ(image.size(), size);
            const auto lit = LitPixels(image);
            EXPECT_FALSE(lit.empty()) << "digit " << digit;
            EXPECT_EQ(image.pixelColor(0, 0), kBlack);
            EXPECT_EQ(image.pixelColor(size.width() - 1, size.height() - 1), kBlack);
            shapes.insert(lit);
        }
        EXPECT_EQ(shapes.size(), 10u) << "each digit looks different at " << size.width() << "x" << size.height();
    }
}

TEST(ReadoutGlyphs, DigitsLightTheirSegments)
{
    // A pixel inside each segment of a 16 × 25 glyph, in the order of the
    // segment bits: top, middle, bottom, upper left, upper right, lower left,
    // lower right.
    const QPoint inside[] = {{7, 2}, {7, 12}, {7, 22}, {2, 7}, {13, 7}, {2, 17}, {13, 17}};
    for (int digit = 0; digit <= 9; ++digit) {
        const QImage image = Image(DigitGlyph(digit));
        for (int i = 0; i < 7; ++i) {
            const bool lit = (DigitPatterns[digit] & segment::Masks[i]) != 0;
            EXPECT_EQ(image.pixelColor(inside[i]), lit ? kLime : kBlack) << "digit " << digit << " segment " << i;
        }
    }
}

TEST(ReadoutGlyphs, ZoomedDigitsAreDrawnAtTheirSizeNotBlownUp)
{
    const QImage small = Image(DigitGlyph(8));
    const QImage large = Image(DigitGlyph(8, DigitGlyphSize * 5));
    // The one-pixel rim stays one pixel: the top bar is lit from row 1 at both sizes.
    EXPECT_EQ(small.pixelColor(8, 0), kBlack);
    EXPECT_EQ(small.pixelColor(8, 1), kLime);
    EXPECT_EQ(large.pixelColor(40, 0), kBlack);
    EXPECT_EQ(large.pixelColor(40, 1), kLime);
    // And the bars keep their weight: five times the lit rows, within a rim or two.
    const auto smallBands = LitBands(small.copy(8, 0, 1, small.height()));
    const auto largeBands = LitBands(large.copy(40, 0, 1, large.height()));
    ASSERT_EQ(smallBands.size(), 3u);
    ASSERT_EQ(largeBands.size(), 3u);
    const int smallBar = smallBands[0].second - smallBands[0].first + 1;
    const int largeBar = largeBands[0].second - largeBands[0].first + 1;
    EXPECT_NEAR(largeBar, 5 * smallBar, 4);
}

TEST(ReadoutGlyphs, BlankPositionsShowNothing)
{
    for (int digit : {ReadoutDigits::Blank, -1, ReadoutDigits::NothingDrawn, 11}) {
        const QImage image = Image(DigitGlyph(digit));
        EXPECT_EQ(image.size(), DigitGlyphSize);
        EXPECT_TRUE(LitPixels(image).empty()) << "digit " << digit;
    }
    const QImage blank = Image(BlankGlyph(DigitGlyphSize * 3));
    EXPECT_EQ(blank.size(), DigitGlyphSize * 3);
    EXPECT_TRUE(LitPixels(blank).empty());
}

TEST(ReadoutGlyphs, SeparatorsSitWhereTheirCharactersDo)
{
    for (int zoom : {1, 2, 5}) {
        const QSize size = SeparatorGlyphSize * zoom;
        const int bottom = size.height() - 1;
        const QImage colon = Image(SeparatorGlyph(ColonGlyph, size));
        const QImage point = Image(SeparatorGlyph(PointGlyph, size));
        const QImage comma = Image(SeparatorGlyph(CommaGlyph, size));
        EXPECT_EQ(colon.size(), size);

        // Two marks of the same height, one above and one below the middle.
        const auto marks = LitBands(colon);
        ASSERT_EQ(marks.size(), 2u) << "zoom " << zoom;
        EXPECT_EQ(marks[0].second - marks[0].first, marks[1].second - marks[1].first);
        EXPECT_LT(marks[0].second, bottom / 2);
        EXPECT_GT(marks[1].first, bottom / 2);
        EXPECT_NEAR(marks[0].first + marks[1].second, bottom, 1) << "placed evenly about the middle";
        EXPECT_EQ(LitPixels(colon.copy(0, marks[0].first, size.width(), marks[0].second - marks[0].first + 1)),
                  LitPixels(colon.copy(0, marks[1].first, size.width(), marks[1].second - marks[1].first + 1)))
            << "both marks alike";

        // The point: one mark in the lower part, clear of the bottom edge.
        const auto dot = LitBands(point);
        ASSERT_EQ(dot.size(), 1u);
        EXPECT_GT(dot[0].first, bottom / 2);
        EXPECT_LT(dot[0].second, bottom);

        // The comma: one mark that reaches the bottom edge.
        const auto tail = LitBands(comma);
        ASSERT_EQ(tail.size(), 1u);
        EXPECT_GT(tail[0].first, bottom / 2);
        EXPECT_EQ(tail[0].second, bottom);
    }
}

TEST(ReadoutGlyphs, UnknownSeparatorIsBlack)
{
    const QImage image = Image(SeparatorGlyph(3));
    EXPECT_EQ(image.size(), SeparatorGlyphSize);
    EXPECT_TRUE(LitPixels(image).empty());
}

TEST(ReadoutGlyphs, StrokeKeepsItsWeightAsTheDigitsGrow)
{
    const GlyphStroke base = DigitGlyphStroke(DigitGlyphSize);
    GlyphStroke previous = base;
    for (int zoom = 2; zoom <= 5; ++zoom) {
        const GlyphStroke stroke = DigitGlyphStroke(DigitGlyphSize * zoom);
        EXPECT_EQ(stroke.thickness, base.thickness * zoom) << "zoom " << zoom;
        EXPECT_GE(stroke.separation, previous.separation) << "zoom " << zoom;
        EXPECT_LT(stroke.separation, stroke.thickness) << "zoom " << zoom;
        previous = stroke;
    }
    // Tiny glyphs still get a stroke that fits.
    const GlyphStroke tiny = DigitGlyphStroke(QSize(4, 6));
    EXPECT_GE(tiny.thickness, 1);
    EXPECT_LE(2 * tiny.thickness, 4);
}

TEST(ReadoutGlyphs, SpeakerShowsWhetherSoundIsOn)
{
    for (int zoom : {1, 5}) {
        const QSize size = SpeakerGlyphSize * zoom;
        const QImage on = Image(SpeakerGlyph(true, size));
        const QImage off = Image(SpeakerGlyph(false, size));
        EXPECT_EQ(on.size(), size);
        EXPECT_EQ(off.size(), size);
        EXPECT_NE(on, off);

        // Transparent around the drawing; the loudspeaker itself is solid.
        EXPECT_EQ(on.pixelColor(0, 0).alpha(), 0);
        EXPECT_EQ(off.pixelColor(size.width() - 1, size.height() - 1).alpha(), 0);
        const QPoint body(6 * zoom, 15 * zoom);
        EXPECT_EQ(on.pixelColor(body).alpha(), 255);
        EXPECT_EQ(off.pixelColor(body), on.pixelColor(body));

        // Only the crossed-out one has red in it.
        auto reds = [](const QImage& image) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.alpha() == 255 && c.red() > 150 && c.green() < 60) ++count;
                }
            }
            return count;
        };
        EXPECT_EQ(reds(on), 0);
        EXPECT_GT(reds(off), 0);
    }
}

}  // namespace
}  // namespace chronivel
