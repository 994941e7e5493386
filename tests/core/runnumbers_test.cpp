#include "core/runnumbers.h"

#include <gtest/gtest.h>

#include <string>

namespace chronivel {
namespace {

struct LineCase {
    const char* line;
    std::optional<std::int32_t> number;
};

class RunNumberOnTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(RunNumberOnTest, OnlyADayStartLineGivesItsNumber)
{
    EXPECT_EQ(RunNumberOn(GetParam().line, "07.12.26"), GetParam().number) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, RunNumberOnTest,
                         ::testing::Values(LineCase{"START 3 = 14:05:09 = Mo. 07.12.26", 3},
                                           LineCase{"START 12 = 14:05:09 = Mo. 07.12.26\r", 12},
                                           LineCase{"hand noteSTART 4 = 14:05:09 = Mo. 07.12.26", 4},
                                           LineCase{"START 999999 = 14:05:09 = Mo. 07.12.26", 999'999},
                                           LineCase{"START 1000000 = 14:05:09 = Mo. 07.12.26", std::nullopt},
                                           LineCase{"START 99999999999 = 14:05:09 = Mo. 07.12.26", std::nullopt},
                                           LineCase{"START 3 = 14:05:09 = Di. 08.12.26", std::nullopt},
                                           LineCase{"START 3 = 14:05:09 = Mo. 107.12.26", std::nullopt},
                                           LineCase{"START x = 14:05:09 = Mo. 07.12.26", std::nullopt},
                                           LineCase{"LAP 1 = 12,345", std::nullopt}));

TEST(RunsOn, TheDaysHighestNumberAndWhetherAnEarlierDayIsThere)
{
    const std::string yesterday = "START 9 = 09:00:00 = So. 06.12.26\r\nSTOP: = 1,000\r\n\r\n";
    const std::string today = "START 2 = 10:00:00 = Mo. 07.12.26\r\nSTOP: = 1,000\r\n\r\n"
                              "START 5 = 11:00:00 = Mo. 07.12.26\r\nSTOP: = 1,000\r\n\r\n"
                              "START 1 = 12:00:00 = Mo. 07.12.26\r\nSTOP: = 1,000\r\n\r\n";  // counted anew
    const DayRuns both = RunsOn(yesterday + today, "07.12.26");
    EXPECT_EQ(both.highest, 5);
    EXPECT_TRUE(both.otherDaySeen);
    // Cut within the day's first line: the bytes read may start anywhere.
    const DayRuns cut = RunsOn(today.substr(3), "07.12.26");
    EXPECT_EQ(cut.highest, 5);
    EXPECT_FALSE(cut.otherDaySeen);
    EXPECT_EQ(RunsOn(yesterday, "07.12.26").highest, 0);
    // A date of the locale outside ASCII is compared as the file holds it.
    EXPECT_EQ(RunsOn("START 6 = 10:00:00 = L\xFA. 7 d\xE9" "c. 2026\r\n", "7 d\xC3\xA9" "c. 2026").highest, 6);
}

}  // namespace
}  // namespace chronivel
