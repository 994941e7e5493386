// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/runnumbers.h"

#include <gtest/gtest.h>

#include <string>

namespace chronivel {
namespace {

TEST(RunNumberOn, OnlyAStartLineOfTheDayGivesItsNumber)
{
    const std::vector<std::pair<const char*, std::optional<std::int32_t>>> lines{
        {"START 12 = 14:05:09 = Mo. 07.12.26\r", 12},
        {"hand noteSTART 4 = 14:05:09 = Mo. 07.12.26", 4},  // glued to a line without its end
        {"START 999999 = 14:05:09 = Mo. 07.12.26", 999'999},
        {"START 1000000 = 14:05:09 = Mo. 07.12.26", std::nullopt},
        {"START 3 = 14:05:09 = Mo. 107.12.26", std::nullopt},
        {"START 3 = 14:05:09 = Di. 08.12.26", std::nullopt},
        {"LAP 1 = 12,345", std::nullopt},
    };
    for (const auto& [line, number] : lines) EXPECT_EQ(RunNumberOn(line, "07.12.26"), number) << line;
}

TEST(RunsOn, TheDaysHighestNumberAndWhetherAnEarlierDayIsThere)
{
    const std::string yesterday = "START 9 = 09:00:00 = So. 06.12.26\r\nSTOP: = 1,000\r\n\r\n";
    const std::string today = "START 5 = 11:00:00 = Mo. 07.12.26\r\nSTOP: = 1,000\r\n\r\n"
                              "START 1 = 12:00:00 = Mo. 07.12.26\r\n";  // counted anew after a loss
    EXPECT_EQ(RunsOn(yesterday + today, "07.12.26").highest, 5);
    EXPECT_TRUE(RunsOn(yesterday + today, "07.12.26").otherDaySeen);
    EXPECT_FALSE(RunsOn(today.substr(3), "07.12.26").otherDaySeen) << "read from within a line";
    // A date outside ASCII is compared as the file holds it, in Windows-1252.
    EXPECT_EQ(RunsOn("START 6 = 10:00:00 = L. 7 d\xE9" "c. 2026\r\n", "7 d\xC3\xA9" "c. 2026").highest, 6);
}

}  // namespace
}  // namespace chronivel
