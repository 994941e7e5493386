// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/bigdigitlayout.h"
#include "tests/core/shownformat.h"

#include <gtest/gtest.h>

#include <array>

namespace chronivel {
namespace {

using testing::FormatOf;

using Lefts = std::array<int, BigDigitCount>;

TEST(BigRowLayout, AFullHdRowInTheFirstFormat)
{
    const BigRowLayout row = LayoutBigRow(1920, 348, FormatOf(0));
    EXPECT_EQ(row.digitWidth, 160);
    EXPECT_EQ(row.thickness, 20);
    EXPECT_EQ(row.lefts, (Lefts{40, 220, 490, 670, 940, 1120, 1390, 1570, 1750}));
    EXPECT_EQ(row.lefts[8] + row.digitWidth, 1910);
    EXPECT_EQ(row.digitHeight, 313);
    // Each mark fills the gap between its digits, a stroke's width deeper.
    EXPECT_EQ(row.Label(BigLabel::Hour), (BigBox{380, 0, 110, 353}));
    EXPECT_EQ(row.Label(BigLabel::Min), (BigBox{830, 0, 110, 353}));
    EXPECT_EQ(row.Label(BigLabel::Sec), (BigBox{1280, 0, 110, 353}));
    EXPECT_EQ(row.labelPointSize, 160);
    EXPECT_EQ(row.labelVisible, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(row.digitVisible, (std::array<bool, 9>{true, true, true, true, true, true, true, true, true}));
}

TEST(BigRowLayout, OtherMonitorWidthsKeepTheRowInsideTheFrame)
{
    EXPECT_EQ(LayoutBigRow(1280, 400, FormatOf(0)).lefts, (Lefts{26, 145, 323, 442, 620, 739, 917, 1036, 1155}));
    EXPECT_EQ(LayoutBigRow(3840, 700, FormatOf(0)).lefts, (Lefts{80, 440, 980, 1340, 1880, 2240, 2780, 3140, 3500}));
    for (const int width : {1280, 1920, 3840})
        for (int number = 0; number < TimeFormat::FormatCount; ++number)
            for (const bool hours : {true, false}) {
                const BigRowLayout row = LayoutBigRow(width, 500, FormatOf(number, hours));
                int last = 0;
                for (int i = 0; i < BigDigitCount; ++i)
                    if (row.digitVisible[i]) last = i;
                const int firstShown = hours ? 0 : 2;
                EXPECT_GE(row.lefts[firstShown], 0) << width << " format " << number << " hours " << hours;
                EXPECT_LE(row.lefts[last] + row.digitWidth, width) << width << " format " << number << " hours " << hours;
                for (int i = 1; i < BigDigitCount; ++i)
                    EXPECT_GT(row.lefts[i], row.lefts[i - 1] + row.digitWidth) << "digits " << i << " and " << i + 1;
            }
}

TEST(BigRowLayout, HoursHiddenPutTheMinutesTensAtOneStroke)
{
    const BigRowLayout row = LayoutBigRow(1920, 348, FormatOf(0, false));
    EXPECT_EQ(row.digitWidth, 213);  // the hours give their room to the others
    EXPECT_EQ(row.lefts[2], row.thickness);
    EXPECT_LT(row.lefts[1] + row.digitWidth, 0) << "the hours lie left of the frame";
    EXPECT_FALSE(row.LabelVisible(BigLabel::Hour));
    EXPECT_TRUE(row.LabelVisible(BigLabel::Min));
    EXPECT_EQ(LayoutBigRow(1920, 348, FormatOf(1, false)).lefts[2], LayoutBigRow(1920, 348, FormatOf(1, false)).thickness);
}

TEST(BigRowLayout, SecondsFormatsSetTheSixSecondsDigitsEvenly)
{
    const BigRowLayout row = LayoutBigRow(1920, 348, FormatOf(1));
    // No gaps between the pairs, a stroke more per step, the comma's gap before the fraction.
    EXPECT_EQ(row.lefts, (Lefts{40, 240, 440, 640, 840, 1040, 1330, 1530, 1730}));
    EXPECT_FALSE(row.LabelVisible(BigLabel::Hour));
    EXPECT_FALSE(row.LabelVisible(BigLabel::Min));
    EXPECT_TRUE(row.LabelVisible(BigLabel::Sec));
    EXPECT_EQ(row.Label(BigLabel::Sec), (BigBox{1200, 0, 130, 353}));
}

TEST(BigRowLayout, FewerDecimalPlacesHideTheLastDigitsAndWidenTheRest)
{
    const BigRowLayout two = LayoutBigRow(1920, 348, FormatOf(2));
    EXPECT_TRUE(two.digitVisible[7]);
    EXPECT_FALSE(two.digitVisible[8]);
    EXPECT_EQ(two.digitWidth, 1920 / 11);
    const BigRowLayout one = LayoutBigRow(1920, 348, FormatOf(5));
    EXPECT_FALSE(one.digitVisible[7]);
    EXPECT_FALSE(one.digitVisible[8]);
    EXPECT_EQ(one.digitWidth, 192);
    EXPECT_EQ(one.lefts[6] + one.digitWidth, 48 + 6 * 240 + 108 + 192);
}

TEST(BigRowLayout, DigitHeightsAreNineTenthsRoundedHalfToEven)
{
    EXPECT_EQ(NineTenths(10), 9);
    EXPECT_EQ(NineTenths(348), 313);  // 313.2
    EXPECT_EQ(NineTenths(7), 6);      // 6.3
    EXPECT_EQ(NineTenths(4), 4);      // 3.6
    EXPECT_EQ(NineTenths(5), 4);      // 4.5
    EXPECT_EQ(NineTenths(15), 14);    // 13.5
    EXPECT_EQ(NineTenths(25), 22);    // 22.5
    EXPECT_EQ(LayoutBigRow(1920, 15, FormatOf(0)).digitHeight, 14);
}

TEST(BigRowLayout, ATinyFrameStillHasDigitsStrokesAndAFont)
{
    for (const auto& [width, height] : {std::pair{5, 5}, std::pair{0, 0}, std::pair{11, 3}}) {
        const BigRowLayout row = LayoutBigRow(width, height, FormatOf(0));
        EXPECT_GE(row.digitWidth, 1) << width << "x" << height;
        EXPECT_GE(row.thickness, 1) << width << "x" << height;
        EXPECT_GE(row.labelPointSize, 1) << width << "x" << height;
        EXPECT_GE(row.digitHeight, 0) << width << "x" << height;
        for (const BigBox& label : row.labels) EXPECT_GE(label.width, 0);
    }
}

TEST(MonitorLayout, FontsFollowTheWindowWidth)
{
    EXPECT_EQ(MonitorFontSizes(1920).title, 96);
    EXPECT_EQ(MonitorFontSizes(1920).panels, 64);
    EXPECT_EQ(MonitorFontSizes(1280).panels, 42);
    EXPECT_EQ(MonitorFontSizes(3840).title, 192);
    EXPECT_EQ(MonitorFontSizes(10).title, 1) << "never a font of 0 points";
    EXPECT_EQ(MonitorFontSizes(0).panels, 1);
}

TEST(MonitorLayout, RowsAtThreeMonitorSizes)
{
    // Fonts of 96 and 64 points are 128 and 85 pixels high at 96 dpi.
    const MonitorRows hd = LayoutMonitorRows(1920, 1080, 128, 85);
    EXPECT_EQ(hd.title, (BigBox{0, 0, 1920, 128}));
    EXPECT_EQ(hd.lab1, (BigBox{0, 128, 1920, 106}));
    EXPECT_EQ(hd.frame1, (BigBox{0, 234, 1920, 348}));  // (1080 − 128 − 84 − 212) div 100 · 58
    EXPECT_EQ(hd.lab2, (BigBox{0, 582, 1920, 106})) << "below the first frame, which reaches past 540";
    EXPECT_EQ(hd.frame2, (BigBox{0, 688, 1920, 308}));
    EXPECT_EQ(hd.bottom, (BigBox{0, 996, 1920, 84}));

    const MonitorRows sxga = LayoutMonitorRows(1280, 1024, 85, 56);
    EXPECT_EQ(sxga.frame1, (BigBox{0, 155, 1280, 406}));
    EXPECT_EQ(sxga.lab2.top, 561);
    EXPECT_EQ(sxga.frame2, (BigBox{0, 631, 1280, 337}));
    EXPECT_EQ(sxga.bottom, (BigBox{0, 968, 1280, 56}));

    const MonitorRows uhd = LayoutMonitorRows(3840, 2160, 256, 171);
    EXPECT_EQ(uhd.frame1, (BigBox{0, 469, 3840, 754}));
    EXPECT_EQ(uhd.frame2, (BigBox{0, 1436, 3840, 554}));
    EXPECT_EQ(uhd.bottom.top, 1990);
}

TEST(MonitorLayout, TheSecondRowStartsHalfWayDownAtTheLatest)
{
    const MonitorRows small = LayoutMonitorRows(100, 100, 7, 3);
    EXPECT_EQ(small.frame1.height, 0);
    EXPECT_EQ(small.lab2.top, 50);
    EXPECT_EQ(small.frame2, (BigBox{0, 53, 100, 43}));
}

TEST(MonitorLayout, AWindowTooSmallForItsPanelsGetsNoNegativeRows)
{
    for (const MonitorRows& rows : {LayoutMonitorRows(0, 0, 1, 1), LayoutMonitorRows(5, 5, 7, 3)})
        for (const BigBox& box : {rows.title, rows.lab1, rows.frame1, rows.lab2, rows.frame2, rows.bottom})
            EXPECT_GE(box.height, 0);
}

}  // namespace
}  // namespace chronivel
