// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/laps.h"

#include <gtest/gtest.h>

namespace chronivel {
namespace {

class LapsTest : public ::testing::Test {
protected:
    // A lap whose readout shows the elapsed time itself, as outside a countdown.
    std::string Lap(std::int64_t elapsed, bool closing = false)
    {
        return laps.Take(elapsed, TimeText(elapsed, format), closing, format);
    }

    TimeFormat format;
    Laps laps;
};

TEST_F(LapsTest, WorkedExampleOfTwoLapsAndTheStop)
{
    EXPECT_EQ(Lap(12'345), "LAP 1 = 12,345");
    EXPECT_EQ(Lap(25'000), "LAP 2 = 25,000 (+12,655) 12,655");
    EXPECT_EQ(Lap(30'500, true), "STOP: = 30,500 (+18,155)  5,500 \u00D8 10,166");
    EXPECT_EQ(laps.LapCount(), 3);
}

TEST_F(LapsTest, PadsSingleSecondsDigitsSoColumnsAlign)
{
    EXPECT_EQ(Lap(5'120), "LAP 1 =  5,120");
    EXPECT_EQ(Lap(7'000), "LAP 2 =  7,000 ( +1,880)  1,880");
    EXPECT_EQ(Lap(75'500, true), "STOP: = 1.15,500 (+1.10,380) 1.08,500 \u00D8 25,166");
}

TEST_F(LapsTest, TenthLapNumberTakesTheSpace)
{
    for (int lap = 1; lap < 10; ++lap) Lap(lap * 1'000);
    EXPECT_EQ(Lap(10'000).substr(0, 8), "LAP10 = ");
    EXPECT_EQ(LapHead(9), "LAP 9 = ");
    EXPECT_EQ(LapHead(123), "LAP123 = ");
}

TEST_F(LapsTest, StopWithoutLapsIsTheTimeAlone)
{
    EXPECT_EQ(Lap(30'500, true), "STOP: = 30,500");
}

TEST_F(LapsTest, ResetStartsTheFirstLapReferenceAgain)
{
    Lap(10'000);
    Lap(20'000, true);
    laps.Reset();
    EXPECT_EQ(Lap(3'000), "LAP 1 =  3,000");
    EXPECT_EQ(Lap(4'000), "LAP 2 =  4,000 ( +1,000)  1,000");
}

TEST_F(LapsTest, FewerDecimalPlacesRoundTheAverageToTheShownUnit)
{
    format.SelectFormat(4);
    EXPECT_EQ(Lap(1'000), "LAP 1 =  1,0");
    EXPECT_EQ(Lap(2'100), "LAP 2 =  2,1 ( +1,1)  1,1");
    // 2,600 / 3 = 866.67 ms: shown as 0,9 after rounding half up.
    EXPECT_EQ(Lap(2'600, true), "STOP: =  2,6 ( +1,6)  0,5 \u00D8 0,9");
}

TEST_F(LapsTest, CountdownLinesShowTheReadoutButMeasureTheRun)
{
    // The readout counts down from 60 s; differences come from the elapsed time.
    EXPECT_EQ(laps.Take(10'000, TimeText(50'000, format), false, format), "LAP 1 = 50,000");
    EXPECT_EQ(laps.Take(25'000, TimeText(35'000, format), false, format), "LAP 2 = 35,000 (+15,000) 15,000");
}

}  // namespace
}  // namespace chronivel
