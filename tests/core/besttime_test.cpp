// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/besttime.h"

#include <gtest/gtest.h>

namespace chronivel {
namespace {

TEST(BestTime, KeepsTheShortestRun)
{
    BestTime best;
    EXPECT_EQ(best.Value(), BestTime::None);
    best.Offer(30'500, "00:00.30,500", 3);
    EXPECT_EQ(best.Value(), 30'500);
    EXPECT_EQ(best.Caption(), "30,500");
    best.Offer(40'000, "00:00.40,000", 3);
    EXPECT_EQ(best.Value(), 30'500);
    best.Offer(30'500, "00:00.30,500", 3);
    EXPECT_EQ(best.Caption(), "30,500");
    best.Offer(20'000, "00:00.20,000", 3);
    EXPECT_EQ(best.Caption(), "20,000");
    EXPECT_EQ(best.Value(), 20'000);
}

TEST(BestTime, IsNeverNegativeNorZero)
{
    BestTime best;
    best.Offer(-217'000'000, "-60:16.40,000", 3);
    EXPECT_EQ(best.Value(), BestTime::None);
    best.Offer(0, "00:00.00,000", 3);
    EXPECT_EQ(best.Value(), BestTime::None);
    best.Offer(1'000, "00:00.01,000", 3);
    best.Offer(-1, "00:00.00,000", 3);
    EXPECT_EQ(best.Value(), 1'000);
}

TEST(BestTime, HiddenTakesNoRuns)
{
    BestTime best;
    best.SetVisible(false);
    best.Offer(1'000, "00:00.01,000", 3);
    EXPECT_EQ(best.Value(), BestTime::None);
}

TEST(BestTime, ClearedCaptionMatchesTheDecimalPlaces)
{
    BestTime best;
    best.Offer(1'000, "00:00.01,000", 3);
    best.Clear(1);
    EXPECT_EQ(best.Value(), BestTime::None);
    EXPECT_EQ(best.Caption(), "0,0");
    best.Clear(2);
    EXPECT_EQ(best.Caption(), "0,00");
    best.Clear(3);
    EXPECT_EQ(best.Caption(), "0,000");
}

TEST(BestTime, RestoresOnlyATimeThatCanBeABest)
{
    TimeFormat format;
    for (const std::int64_t damaged : std::initializer_list<std::int64_t>{0, -5, BestTime::None, 5'000'000'000}) {
        BestTime best;
        best.Restore(damaged, format);
        EXPECT_EQ(best.Value(), BestTime::None) << damaged;
        EXPECT_EQ(best.Caption(), "0,000") << damaged;
    }
    BestTime best;
    format.SelectFormat(2);
    best.Restore(65'432, format);
    EXPECT_EQ(best.Value(), 65'432);
    EXPECT_EQ(best.Caption(), "1.05,43");
}

}  // namespace
}  // namespace chronivel
