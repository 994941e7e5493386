// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/readout.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace chronivel {
namespace {

int PixelsOf(QWidget& widget, QColor colour)
{
    const QImage image = widget.grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) ++count;
    return count;
}

int LimePixels(QWidget& widget)
{
    return PixelsOf(widget, QColor(0, 255, 0));
}

class ReadoutTest : public ::testing::Test {
protected:
    ReadoutTest()
    {
        window.resize(224, 224);
        readout = new Readout(&window);
        readout->Relayout(LayoutWindow(0, 0, 3, true));
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    void Draw(const char* text)
    {
        readout->Show(digits, digits.Update(text, format));
    }
    // Draws and waits until the frame shows it.
    void Shown(const char* text)
    {
        Draw(text);
        QTest::qWait(FrameWaitMs());
    }

    std::array<int, 13> PaintCounts() const
    {
        std::array<int, 13> counts{};
        for (int i = 1; i <= 12; ++i) counts[i] = readout->Image(i)->PaintCount();
        return counts;
    }
    // Long enough for a paint held back to the next frame to be done.
    static int FrameWaitMs() { return 60; }

    QWidget window;
    Readout* readout;
    bool exposed = false;
    TimeFormat format;
    ReadoutDigits digits;
};

TEST_F(ReadoutTest, ATickRepaintsOnlyTheImagesWhoseDigitChanged)
{
    ASSERT_TRUE(exposed);
    Draw("12:34.56,789");
    // The window's first painting comes through the event loop; count after it.
    ASSERT_TRUE(QTest::qWaitFor([this] { return readout->Image(12)->PaintCount() > 0; }));
    QTest::qWait(FrameWaitMs());
    std::array<int, 13> before = PaintCounts();

    Draw("12:34.56,790");  // thousandths and hundredths change
    ASSERT_TRUE(QTest::qWaitFor([&] { return readout->Image(1)->PaintCount() > before[1]; }));
    QTest::qWait(FrameWaitMs());
    for (int i = 1; i <= 12; ++i) {
        const int expected = (i == 1 || i == 2) ? 1 : 0;
        EXPECT_EQ(readout->Image(i)->PaintCount() - before[i], expected) << "image " << i;
    }
    Draw("12:34.56,790");
    QTest::qWait(FrameWaitMs());
    EXPECT_EQ(readout->Image(1)->PaintCount() - before[1], 1) << "the same time again repaints nothing";
}

TEST_F(ReadoutTest, TimesWithinOneFrameArePaintedOnceWithTheLatest)
{
    ASSERT_TRUE(exposed);
    Draw("12:34.56,789");
    ASSERT_TRUE(QTest::qWaitFor([this] { return readout->Image(12)->PaintCount() > 0; }));
    QTest::qWait(FrameWaitMs());
    const std::array<int, 13> before = PaintCounts();

    Draw("12:34.56,790");  // a frame after the last paint: painted at once
    QCoreApplication::processEvents();
    for (const char* text : {"12:34.56,791", "12:34.56,792", "12:34.57,793"}) {
        Draw(text);  // as the display tick and commands would, within the frame
        QCoreApplication::processEvents();
    }
    QTest::qWait(FrameWaitMs());
    const std::array<int, 13> after = PaintCounts();
    EXPECT_EQ(after[1] - before[1], 2) << "the first time, then the frame's last";
    EXPECT_EQ(after[2] - before[2], 1) << "the hundredths changed only with the first";
    EXPECT_EQ(after[3] - before[3], 0);
    EXPECT_EQ(after[4] - before[4], 1) << "the seconds changed only within the frame";
    for (int i = 5; i <= 12; ++i) EXPECT_EQ(after[i] - before[i], 0) << "image " << i;

    ReadoutDigits three;
    Readout fresh;
    fresh.Relayout(LayoutWindow(0, 0, 3, true));
    fresh.Show(three, three.Update("12:34.57,793", format));
    EXPECT_EQ(readout->Image(1)->grab().toImage(), fresh.Image(1)->grab().toImage()) << "the frame shows the latest";
}

TEST_F(ReadoutTest, WarningRepaintsEveryImageInRedAndBack)
{
    ASSERT_TRUE(exposed);
    Draw("00:00.09,000");
    ASSERT_TRUE(QTest::qWaitFor([this] { return readout->Image(12)->PaintCount() > 0; }));
    QTest::qWait(FrameWaitMs());
    for (const bool warning : {true, false}) {
        const std::array<int, 13> before = PaintCounts();
        readout->Show(digits, 0, warning);  // the same time, another colour
        QTest::qWait(FrameWaitMs());
        for (int i = 1; i <= 12; ++i) EXPECT_EQ(readout->Image(i)->PaintCount() - before[i], 1) << "image " << i;
        for (const int i : {4, 11}) {
            EXPECT_EQ(PixelsOf(*readout->Image(i), Qt::red) > 0, warning) << "image " << i;
            EXPECT_EQ(LimePixels(*readout->Image(i)) > 0, !warning) << "image " << i;
        }
    }
}

TEST_F(ReadoutTest, ImagesShowTheirDigits)
{
    Shown("88:88.88,881");
    const int eight = LimePixels(*readout->Image(2));
    const int one = LimePixels(*readout->Image(1));
    EXPECT_GT(eight, 0);
    EXPECT_GT(one, 0);
    EXPECT_LT(one, eight) << "a 1 lights two segments, an 8 all seven";
    EXPECT_GT(LimePixels(*readout->Image(10)), 0) << "the colon";

    format.SetDigitCount(7);
    Shown("88.88,881");  // no hours: their positions go blank
    EXPECT_EQ(LimePixels(*readout->Image(9)), 0);
}

// /D7 reads "01.03,000" and /D0 "3,456": no ":" or "." before the first
// digit shown, as on any clock.
TEST_F(ReadoutTest, SeparatorsOfMissingFieldsAreNotDrawn)
{
    format.SetDigitCount(7);
    Shown("01.03,000");
    EXPECT_EQ(LimePixels(*readout->Image(10)), 0) << "a colon before the minutes";
    EXPECT_GT(LimePixels(*readout->Image(11)), 0);
    EXPECT_GT(LimePixels(*readout->Image(12)), 0);

    for (int count : {0, 1, -3}) {
        format.SetDigitCount(count);
        Shown("3,456");
        EXPECT_EQ(LimePixels(*readout->Image(10)), 0) << "/D" << count;
        EXPECT_EQ(LimePixels(*readout->Image(11)), 0) << "/D" << count;
        EXPECT_GT(LimePixels(*readout->Image(12)), 0) << "/D" << count;
    }

    // A new layout (a zoom step) keeps them out; the full text brings them back.
    readout->Relayout(LayoutWindow(1, 0, 3, true));
    EXPECT_EQ(LimePixels(*readout->Image(11)), 0) << "after a zoom step";
    format.SetDigitCount(9);
    Shown("00:01.03,000");
    for (int mark = 10; mark <= 12; ++mark) EXPECT_GT(LimePixels(*readout->Image(mark)), 0) << "separator " << mark;
}

TEST_F(ReadoutTest, RelayoutPlacesAndHidesTheImages)
{
    EXPECT_EQ(readout->geometry(), QRect(14, 91, 197, 33));
    EXPECT_EQ(readout->Image(1)->geometry(), QRect(175, 4, 16, 25));

    readout->Relayout(LayoutWindow(4, 4, 1, false));
    EXPECT_FALSE(readout->Image(1)->isVisible());
    EXPECT_FALSE(readout->Image(2)->isVisible());
    EXPECT_FALSE(readout->Image(9)->isVisible());
    EXPECT_TRUE(readout->Image(3)->isVisible());
    EXPECT_EQ(readout->Image(3)->size(), QSize(80, 125));
    EXPECT_EQ(readout->Image(7)->x(), 3 * 5);
}

}  // namespace
}  // namespace chronivel
