// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/windowplace.h"

#include <gtest/gtest.h>

namespace chronivel {
namespace {

// A 1920 × 1080 screen at a scale of 2, as Qt counts it, with a panel on top.
constexpr Box HalfHd{0, 24, 960, 516};

TEST(WindowPlace, ZoomsThatDoNotFitAreSkipped)
{
    EXPECT_EQ(FittingZoom(4, {0, 0, 1920, 1080}), 3) << "1120 pixels do not fit 1080";
    EXPECT_EQ(FittingZoom(4, {0, 0, 1920, 1200}), 4);
    EXPECT_EQ(FittingZoom(2, HalfHd), 1);
    EXPECT_EQ(FittingZoom(1, {0, 0, 200, 200}), 0) << "the smallest is all there is";
    EXPECT_EQ(NextFittingZoom(1, HalfHd), 0) << "after the largest that fits comes 1";
    EXPECT_EQ(NextFittingZoom(0, HalfHd), 1);
    EXPECT_EQ(NextFittingZoom(4, {0, 0, 1920, 1200}), 0);
}

TEST(WindowPlace, AWindowPastAnEdgeComesBackInside)
{
    // A place saved at a scale of 1, read at a scale of 2.
    EXPECT_EQ(KeptInside({393, 383, 224, 224}, HalfHd), (Box{393, 316, 224, 224}));
    // A screen that went away, on the left of the one that is left.
    EXPECT_EQ(KeptInside({-1500, -40, 448, 448}, {0, 0, 1280, 1024}), (Box{0, 0, 448, 448}));
    EXPECT_EQ(KeptInside({100, 100, 224, 224}, HalfHd), (Box{100, 100, 224, 224})) << "inside already";
    EXPECT_EQ(KeptInside({900, 600, 1120, 1120}, {0, 0, 1024, 768}), (Box{0, 0, 1120, 1120}))
        << "too large: its top-left inside";
}

}  // namespace
}  // namespace chronivel
