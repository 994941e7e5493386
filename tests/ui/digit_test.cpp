// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/digit.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "core/sevensegment.h"

namespace chronivel {
namespace {

// A pixel well inside each segment of a 16 × 32 digit with thickness 2 and
// separation 1, in drawing order (top, middle, bottom, upper left, upper
// right, lower left, lower right, point).
constexpr QPoint kInside[segment::Count] = {{7, 2},  {7, 15}, {7, 29},  {2, 8},
                                            {13, 8}, {2, 21}, {13, 21}, {14, 30}};

class DigitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        digit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&digit));
        ASSERT_TRUE(QTest::qWaitFor([this] { return digit.PaintCount() > 0; }));
        paints = digit.PaintCount();
    }

    // Paints since the last call.
    int NewPaints()
    {
        const int now = digit.PaintCount();
        const int count = now - paints;
        paints = now;
        return count;
    }

    QImage Picture()
    {
        const QImage image = digit.grab().toImage().convertToFormat(QImage::Format_RGB32);
        paints = digit.PaintCount();
        return image;
    }

    TDigit digit;
    QSignalSpy overflows{&digit, &TDigit::overflow};
    int paints = 0;
};

TEST_F(DigitTest, StartsAsAYellowZeroOnBlack)
{
    EXPECT_EQ(digit.size(), QSize(16, 32));
    EXPECT_EQ(digit.Value(), 0);
    EXPECT_EQ(digit.ValueBinary(), DigitPatterns[0]);
    EXPECT_EQ(digit.ColorOn(), QColor(255, 255, 0));
    EXPECT_EQ(digit.ColorOff(), QColor(Qt::black));
    EXPECT_EQ(digit.Color(), QColor(Qt::black));
    EXPECT_EQ(digit.Thickness(), 2);
    EXPECT_EQ(digit.Separation(), 1);
    EXPECT_EQ(digit.BorderStyle(), TDigit::Border::Single);
    EXPECT_TRUE(digit.testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST_F(DigitTest, ADigitInRangeShowsItsPatternAtOnce)
{
    digit.SetValue(7);
    EXPECT_EQ(digit.Value(), 7);
    EXPECT_EQ(digit.ValueBinary(), DigitPatterns[7]);
    EXPECT_EQ(NewPaints(), 1);
    EXPECT_EQ(overflows.count(), 0);
}

TEST_F(DigitTest, AValueOutOfRangeShowsZeroAndOverflowsOnce)
{
    // From 0, so the value does not change, yet the digit overflows and repaints.
    digit.SetValue(10);
    EXPECT_EQ(digit.Value(), 0);
    EXPECT_EQ(digit.ValueBinary(), DigitPatterns[0]);
    ASSERT_EQ(overflows.count(), 1);
    EXPECT_EQ(overflows.takeFirst().at(0).value<TDigit*>(), &digit);
    EXPECT_EQ(NewPaints(), 1);

    digit.SetValue(3);
    NewPaints();
    digit.SetValue(-1);
    EXPECT_EQ(digit.Value(), 0);
    EXPECT_EQ(digit.ValueBinary(), DigitPatterns[0]);
    EXPECT_EQ(overflows.count(), 1);
    EXPECT_EQ(NewPaints(), 1);
}

TEST_F(DigitTest, TheValueItAlreadyHasChangesNothing)
{
    digit.SetValue(0);
    EXPECT_EQ(NewPaints(), 0);
    EXPECT_EQ(overflows.count(), 0);

    // Not even when the pattern was set directly since: the point stays alone.
    digit.SetValueBinary(segment::Point);
    EXPECT_EQ(NewPaints(), 1);
    digit.SetValue(0);
    EXPECT_EQ(digit.ValueBinary(), segment::Point);
    EXPECT_EQ(NewPaints(), 0);
    EXPECT_EQ(overflows.count(), 0);
}

TEST_F(DigitTest, PropertiesRepaintAtOnceOnlyWhenTheyChange)
{
    digit.SetValueBinary(DigitPatterns[0]);
    digit.SetColorOn(QColor(255, 255, 0));
    digit.SetColorOff(Qt::black);
    digit.SetBorderStyle(TDigit::Border::Single);
    EXPECT_EQ(NewPaints(), 0);

    digit.SetValueBinary(0xFF);
    EXPECT_EQ(NewPaints(), 1);
    digit.SetColorOn(Qt::red);
    EXPECT_EQ(NewPaints(), 1);
    digit.SetColorOff(Qt::darkRed);
    EXPECT_EQ(NewPaints(), 1);
    digit.SetBorderStyle(TDigit::Border::None);
    EXPECT_EQ(digit.BorderStyle(), TDigit::Border::None);
    EXPECT_EQ(NewPaints(), 1);
    EXPECT_EQ(digit.Value(), 0) << "a pattern is not a value";
}

TEST_F(DigitTest, GeometryAndBackgroundChangesRepaintLater)
{
    digit.SetThickness(3);
    digit.SetSeparation(2);
    digit.SetColor(Qt::blue);
    EXPECT_EQ(NewPaints(), 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return digit.PaintCount() > paints; }));
    EXPECT_EQ(digit.Thickness(), 3);
    EXPECT_EQ(digit.Separation(), 2);
    EXPECT_EQ(digit.Color(), QColor(Qt::blue));
}

TEST_F(DigitTest, ThicknessMustFitTheCurrentSize)
{
    digit.SetThickness(9);  // more than 16 div 2
    EXPECT_EQ(digit.Thickness(), 2);
    digit.SetThickness(8);
    EXPECT_EQ(digit.Thickness(), 8);

    // A resize does not check it again; the next setting does, on the new size.
    digit.resize(40, 12);
    EXPECT_EQ(digit.Thickness(), 8);
    digit.SetThickness(7);  // more than 12 div 2
    EXPECT_EQ(digit.Thickness(), 8);
    digit.SetThickness(6);
    EXPECT_EQ(digit.Thickness(), 6);
}

TEST_F(DigitTest, EverySegmentShowsItsBit)
{
    digit.SetColor(Qt::blue);
    digit.SetColorOn(Qt::yellow);
    digit.SetColorOff(Qt::darkGray);
    for (std::uint8_t pattern : {std::uint8_t{0xFF}, std::uint8_t{0x00}, std::uint8_t{0xA5}, std::uint8_t{0x5A}}) {
        digit.SetValueBinary(pattern);
        const QImage picture = Picture();
        for (int i = 0; i < segment::Count; ++i) {
            const bool lit = (pattern & segment::Masks[i]) != 0;
            EXPECT_EQ(picture.pixelColor(kInside[i]), lit ? QColor(Qt::yellow) : QColor(Qt::darkGray))
                << "pattern " << int(pattern) << " segment " << i;
        }
    }
}

TEST_F(DigitTest, EverySegmentHasARimOfTheBackground)
{
    digit.SetColor(Qt::blue);
    digit.SetValueBinary(DigitPatterns[8] | segment::Point);
    const QImage picture = Picture();
    const QColor rim(Qt::blue);
    const QColor on(255, 255, 0);

    // The top bar: its flat top edge on row 0, lit from row 1.
    EXPECT_EQ(picture.pixelColor(7, 0), rim);
    EXPECT_EQ(picture.pixelColor(7, 1), on);
    // Between the bar's pointed end and the upright's, with separation 1.
    EXPECT_EQ(picture.pixelColor(2, 3), rim);
    EXPECT_EQ(picture.pixelColor(3, 2), rim);
    // The left edge of the upper left upright is its outline on column 0.
    EXPECT_EQ(picture.pixelColor(0, 8), rim);
    EXPECT_EQ(picture.pixelColor(1, 8), on);
    // The point's corner (W, H) is a vertex of its outline; inside it is lit.
    EXPECT_EQ(picture.pixelColor(15, 31), rim);
    EXPECT_EQ(picture.pixelColor(14, 30), on);
    // The middle of the digit is background.
    EXPECT_EQ(picture.pixelColor(8, 8), rim);
}

TEST_F(DigitTest, WithoutSeparationThePointedEndsTouch)
{
    digit.SetValueBinary(DigitPatterns[8]);
    const QColor on(255, 255, 0);
    QImage picture = Picture();
    EXPECT_NE(picture.pixelColor(3, 2), on);
    EXPECT_NE(picture.pixelColor(2, 3), on);

    digit.SetSeparation(0);
    picture = Picture();
    // The top bar's end and the upright's now meet corner to corner.
    EXPECT_EQ(picture.pixelColor(3, 2), on);
    EXPECT_EQ(picture.pixelColor(2, 3), on);
}

TEST(PaintSevenSegments, DrawsIntoItsRectangleOnly)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintSevenSegments(painter, QRect(10, 5, 16, 32), 0xFF, Qt::yellow, Qt::gray, Qt::black, 2, 1);
    }
    EXPECT_EQ(image.pixelColor(9, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(26, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(17, 4), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(17, 37), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(10, 5), QColor(Qt::black));
    for (const QPoint& inside : kInside) {
        EXPECT_EQ(image.pixelColor(inside + QPoint(10, 5)), QColor(Qt::yellow)) << inside.x() << "," << inside.y();
    }
}

}  // namespace
}  // namespace chronivel
