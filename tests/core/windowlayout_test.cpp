// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/windowlayout.h"
#include "core/configlayout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace chronivel {

void PrintTo(const Box& box, std::ostream* out)
{
    *out << "{" << box.left << ", " << box.top << ", " << box.width << ", " << box.height << "}";
}

namespace {

TEST(WindowLayout, FullReadoutAtZoomOne)
{
    const WindowLayout l = LayoutWindow(0, 0, 3, true);
    EXPECT_EQ(l.side, 224);
    EXPECT_EQ(l.panel, (Box{14, 91, 197, 33}));
    for (int image = 1; image <= 12; ++image) EXPECT_TRUE(l.imageVisible[image]) << image;
    EXPECT_EQ(l.images[1], (Box{175, 4, 16, 25})) << "thousandths at x = 175..190 of the panel";
    EXPECT_EQ(l.images[10], (Box{41, 4, 4, 25}));
    // The last digit ends inside the panel, whose bevel is 2 wide.
    EXPECT_LE(l.images[1].left + l.images[1].width, l.panel.width - l.panelBevel);
}

TEST(WindowLayout, FewerDecimalsNarrowThePanelAndHideTheirDigits)
{
    const WindowLayout tenths = LayoutWindow(0, 4, 1, true);
    EXPECT_EQ(tenths.panel.width, 161) << "36 narrower than with three places";
    EXPECT_EQ(tenths.panel.left, 30);
    EXPECT_FALSE(tenths.imageVisible[1]);
    EXPECT_FALSE(tenths.imageVisible[2]);
    EXPECT_TRUE(tenths.imageVisible[3]);
    const WindowLayout hundredths = LayoutWindow(0, 2, 2, true);
    EXPECT_EQ(hundredths.panel, (Box{22, 91, 179, 33}));
    EXPECT_FALSE(hundredths.imageVisible[1]);
    EXPECT_TRUE(hundredths.imageVisible[2]);
}

TEST(WindowLayout, HiddenHoursMoveTheRestToThePanelsLeftEdge)
{
    const WindowLayout seconds = LayoutWindow(0, 1, 3, false);
    EXPECT_FALSE(seconds.imageVisible[8]);
    EXPECT_FALSE(seconds.imageVisible[9]);
    EXPECT_EQ(seconds.images[7].left, 3) << "the four remaining seconds digits begin at x = 3";
    EXPECT_EQ(seconds.panel.width, 195 - 43);

    // 47 × zoom / 2 truncates: the panel moves 23 at zoom 1 and 70 at zoom 3.
    EXPECT_EQ(LayoutWindow(0, 0, 3, false).panel.left, 15 + 23);
    EXPECT_EQ(LayoutWindow(2, 0, 3, false).panel.left, 45 + 70);
    EXPECT_EQ(LayoutWindow(2, 0, 3, false).images[7].left, 3 * 3);
}

TEST(WindowLayout, EverythingScalesWithTheZoom)
{
    const WindowLayout big = LayoutWindow(4, 0, 3, true);
    EXPECT_EQ(big.side, 1120);
    EXPECT_EQ(big.images[5].width, 80);
    EXPECT_EQ(big.images[5].height, 125);
    EXPECT_EQ(big.cmdStartStop, (Box{610, 630, 290, 125}));
    EXPECT_EQ(big.alarmButton.width, 115);
    EXPECT_EQ(big.ledCountDown, (Box{180, 635, 80, 80}));
    EXPECT_EQ(big.lapListFontPt, 56);
    EXPECT_EQ(big.calendarFontPt, 52);
    EXPECT_EQ(LayoutWindow(0, 0, 3, true).lapListFontPt, 8);
}

TEST(WindowLayout, LedsAndLabelsFollowTheirNeighbours)
{
    const WindowLayout l = LayoutWindow(0, 0, 3, true);
    EXPECT_EQ(l.ledLock, (Box{104, 138, 16, 12}));
    EXPECT_EQ(l.alarmButton.left, 176);
    EXPECT_EQ(l.labelSC.left, 54);
    EXPECT_EQ(LayoutWindow(1, 0, 3, true).labelSC.top, 254 - 4);
    EXPECT_EQ(LayoutWindow(1, 0, 3, true).ledLock, (Box{244 - 32 - 4, 302 - 24 - 2, 32, 24}));
}

TEST(WindowLayout, ValuesTheProgramNeverStoresStayInsideTheTables)
{
    const WindowLayout l = LayoutWindow(9, 7, 5, true);
    EXPECT_EQ(l.side, 224);
    EXPECT_EQ(l.panel, LayoutWindow(0, 0, 3, true).panel);
}

TEST(CentredWindow, CentresOnTheFreeAreaOfItsOwnScreen)
{
    // A panel of 30 pixels along the top of a 1920 × 1080 screen.
    EXPECT_EQ(CentredWindow({0, 30, 1920, 1050}, 448), (Box{736, 331, 448, 448}));
    // The second of two screens side by side, its panel at the bottom.
    EXPECT_EQ(CentredWindow({1920, 0, 1280, 984}, 672), (Box{2224, 156, 672, 672}));
    // Odd room halves toward the top-left.
    EXPECT_EQ(CentredWindow({0, 0, 1025, 769}, 224), (Box{400, 272, 224, 224}));
}

TEST(CentredWindow, AWindowLargerThanTheAreaKeepsItsTopLeftInside)
{
    // Zoom 5 on a 1024 × 768 screen: a centred 1120-pixel window would start at -48, -176.
    EXPECT_EQ(CentredWindow({0, 0, 1024, 768}, 1120), (Box{0, 0, 1120, 1120}));
    // Room across but not down, on a screen left of the primary one: centred
    // across, pinned below the panel at the top.
    EXPECT_EQ(CentredWindow({-1280, 24, 1280, 744}, 896), (Box{-1088, 24, 896, 896}));
}

// The configuration dialog at the largest zoom: five times its designed
// size, its buttons centred on the window's side, and a slide of 370 pixels.
TEST(ConfigLayout, ScalesEveryPlaceWithTheZoomAndCentresTheButtons)
{
    const ConfigLayout l = LayoutConfig(4, 1120);
    EXPECT_EQ(l.protocolName, (Box{360, 280, 525, 105}));
    EXPECT_EQ(l.countDown, (Box{480, 810, 360, 105}));
    EXPECT_EQ(l.cancel, (Box{492, 70, 135, 135}));
    EXPECT_EQ(l.ok, (Box{492, 920, 135, 135}));
    EXPECT_EQ(l.fade.top, l.ok.top);
    EXPECT_EQ(SlideStep(4) * SlideSteps, 370);
    // A damaged zoom is the smallest, as the main window takes it.
    EXPECT_EQ(LayoutConfig(9, 224).laps, LayoutConfig(0, 224).laps);
    EXPECT_EQ(LayoutConfig(0, 224).laps, (Box{100, 139, 44, 22}));
}

}  // namespace
}  // namespace chronivel
