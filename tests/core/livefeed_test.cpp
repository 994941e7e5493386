// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/livefeed.h"

#include <gtest/gtest.h>

#include "chronometer_fixture.h"

namespace chronivel::testing {
namespace {

struct LapCase {
    const char* line;
    std::optional<LiveLap> lap;
};

class LapOfLineTest : public ::testing::TestWithParam<LapCase> {};

TEST_P(LapOfLineTest, SplitsALapLineIntoItsFields)
{
    const std::optional<LiveLap> lap = LapOfLine(GetParam().line);
    ASSERT_EQ(lap.has_value(), GetParam().lap.has_value());
    if (!lap) return;
    EXPECT_EQ(lap->number, GetParam().lap->number);
    EXPECT_EQ(lap->line, GetParam().line);
    EXPECT_EQ(lap->split, GetParam().lap->split);
    EXPECT_EQ(lap->diff, GetParam().lap->diff);
    EXPECT_EQ(lap->lap, GetParam().lap->lap);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LapOfLineTest,
    ::testing::Values(LapCase{"LAP 1 = 12,345", LiveLap{1, "", "12,345", "", ""}},
                      LapCase{"LAP 2 =  2,000 ( +1,000)  1,000", LiveLap{2, "", "2,000", "+1,000", "1,000"}},
                      LapCase{"LAP 2 = 25,000 (+12,655) 12,655", LiveLap{2, "", "25,000", "+12,655", "12,655"}},
                      LapCase{"LAP12 = 1.02,000 (+50,000)  4,000", LiveLap{12, "", "1.02,000", "+50,000", "4,000"}},
                      LapCase{"STOP: = 30,500 (+18,155)  5,500 Ø 10,166", LiveLap{0, "", "30,500", "+18,155", "5,500"}},
                      LapCase{"STOP: = 9,000", LiveLap{0, "", "9,000", "", ""}},
                      LapCase{"START 1 = 14:05:09 = Mo. 07.12.26", std::nullopt},
                      LapCase{"PAUSE = 3,000", std::nullopt}, LapCase{"LAP = 1,000", std::nullopt}));

TEST(RunsOfDayTest, KeepsTheDaysRunsWithoutTheirSeparators)
{
    const std::string text = "START 4 = 23:59:00 = Su. 06.12.26\nSTOP: = 5,000\n\n"
                             "START 1 = 08:00:00 = Mo. 07.12.26\nLAP 1 = 1,000\n___________\nSTOP: = 2,000\n\n"
                             "START 2 = 09:00:00 = Mo. 07.12.26\nSTOP: = 3,000";  // no last line end
    const auto runs = RunsOfDay(text, "07.12.26");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (std::vector<std::string>{"START 1 = 08:00:00 = Mo. 07.12.26", "LAP 1 = 1,000", "STOP: = 2,000"}));
    EXPECT_EQ(runs[1], (std::vector<std::string>{"START 2 = 09:00:00 = Mo. 07.12.26", "STOP: = 3,000"}));
    EXPECT_TRUE(RunsOfDay(text, "08.12.26").empty());
}

TEST(LiveTokenTest, TakesOnlyLongTokensOfSafeCharacters)
{
    EXPECT_TRUE(UsableLiveToken("0123456789abcdef0123456789abcdef"));
    EXPECT_TRUE(UsableLiveToken("A-B_c0123456789abcdef0123456789ab"));
    for (const char* bad : {"", "0123456789abcdef", "0123456789abcdef0123456789abcde/",
                            "0123456789abcdef0123456789abcd..", "0123456789abcdef 123456789abcdef"})
        EXPECT_FALSE(UsableLiveToken(bad)) << bad;
}

TEST(LiveRunMessageTest, EscapesWhatAnEditedProtocolMayHold)
{
    EXPECT_EQ(LiveFeed::Run({"a \"b\" \\ c\t", "Ø"}),
              "{\"type\":\"run\",\"run\":{\"lines\":[\"a \\\"b\\\" \\\\ c\\u0009\",\"Ø\"]}}");
}

class LiveFeedTest : public ChronometerTest {
protected:
    // The messages' types, in order.
    std::string Types(const std::vector<std::string>& messages)
    {
        std::string types;
        for (const std::string& m : messages) types += m.substr(9, m.find('"', 9) - 9) + " ";
        return types;
    }
    static double NumberAfter(const std::string& message, const std::string& key)
    {
        const std::size_t at = message.find("\"" + key + "\":");
        EXPECT_NE(at, std::string::npos) << key << " in " << message;
        return std::stod(message.substr(at + key.size() + 3));
    }
    LiveFeed feed{clock, timer};
};

TEST_F(LiveFeedTest, SendsEventsNotTicks)
{
    feed.Changes();
    clock.StartStopReset();
    auto started = feed.Changes();
    ASSERT_EQ(Types(started), "state ");
    EXPECT_NE(started[0].find("\"phase\":\"running\""), std::string::npos);
    // The viewer draws the running time from the origin on the program's clock.
    TickAfter(1'234);
    EXPECT_DOUBLE_EQ(feed.ClockMs() - NumberAfter(started[0], "origin"), 1'234.0);
    EXPECT_EQ(Types(feed.Changes()), "");

    clock.TakeLap();
    EXPECT_EQ(feed.Changes(), (std::vector<std::string>{
        "{\"type\":\"lap\",\"lap\":{\"n\":1,\"line\":\"LAP 1 =  1,234\",\"split\":\"1,234\",\"diff\":\"\",\"lap\":\"\"}}"}));
    TickAfter(500);
    clock.TogglePause();
    const auto paused = feed.Changes();
    ASSERT_EQ(Types(paused), "state ");
    EXPECT_NE(paused[0].find("\"paused\":true"), std::string::npos);
    EXPECT_NE(paused[0].find("\"text\":\"" + clock.CurrentTimeText() + "\""), std::string::npos);
    Wait(3'000);
    clock.TogglePause();
    // Continued, with the pause taken out of the origin.
    EXPECT_DOUBLE_EQ(feed.ClockMs() - NumberAfter(feed.Changes()[0], "origin"), 1'734.0);
    TickAfter(266);
    clock.StartStopReset();
    EXPECT_EQ(Types(feed.Changes()), "state lap ");  // the pause's line is no lap
    clock.StartStopReset();
    const auto reset = feed.Changes();
    ASSERT_EQ(Types(reset), "state ");
    EXPECT_NE(reset[0].find("\"phase\":\"ready\""), std::string::npos);
    clock.StartStopReset();
    clock.TakeLap();
    EXPECT_EQ(Types(feed.Changes()), "state lap ");  // a new run's first lap after the reset
}

TEST_F(LiveFeedTest, HelloHoldsTheRunsLapsAndTheDaysRuns)
{
    clock.StartStopReset();
    TickAfter(1'000);
    clock.TakeLap();
    TickAfter(1'000);
    clock.TakeLap();
    const std::string hello = feed.Hello({{"START 1 = 08:00:00 = Mo. 07.12.26", "STOP: = 2,000"}});
    EXPECT_TRUE(hello.starts_with("{\"type\":\"hello\",\"version\":1,"));
    EXPECT_NE(hello.find("\"laps\":[{\"n\":1,\"line\":\"LAP 1 =  1,000\""), std::string::npos) << hello;
    EXPECT_NE(hello.find("{\"n\":2,\"line\":\"LAP 2 =  2,000 ( +1,000)  1,000\",\"split\":\"2,000\",\"diff\":\"+1,000\",\"lap\":\"1,000\"}"), std::string::npos) << hello;
    EXPECT_TRUE(hello.ends_with(
        "\"runs\":[{\"lines\":[\"START 1 = 08:00:00 = Mo. 07.12.26\",\"STOP: = 2,000\"]}]}")) << hello;
}

TEST_F(LiveFeedTest, TellsAFormatAndACountdownChange)
{
    feed.Changes();
    clock.SelectFormat(5);
    const auto format = feed.Changes();
    ASSERT_EQ(Types(format), "state ");
    EXPECT_NE(format[0].find("\"format\":{\"hours\":false,\"decimals\":1,"), std::string::npos) << format[0];
    clock.ToggleCountDown();
    const auto countDown = feed.Changes();
    ASSERT_EQ(Types(countDown), "state ");
    EXPECT_NE(countDown[0].find("\"countDown\":true,\"preset\":60000"), std::string::npos) << countDown[0];
}

TEST_F(LiveFeedTest, AnswersAPingOnTheSameClock)
{
    Wait(5);
    EXPECT_DOUBLE_EQ(NumberAfter(feed.Pong(7), "clock"), feed.ClockMs());
    EXPECT_TRUE(feed.Pong(7).starts_with("{\"type\":\"pong\",\"id\":7,"));
}

}  // namespace
}  // namespace chronivel::testing
