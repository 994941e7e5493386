#include "core/protocol.h"

#include <gtest/gtest.h>

namespace chronivel {
namespace {

const std::string kSeparator(35, '_');

TEST(ProtocolBlock, WorkedExampleIsWindows1252WithCrLfAndSeparatorAboveStop)
{
    const std::vector<std::string> lines = {
        "START 1 = 14:05:09 = Mo. 07.12.26",
        "LAP 1 = 12,345",
        "LAP 2 = 25,000 (+12,655) 12,655",
        "STOP: = 30,500 (+18,155)  5,500 \u00D8 10,166",
    };
    const std::string expected =
        "START 1 = 14:05:09 = Mo. 07.12.26\r\n"
        "LAP 1 = 12,345\r\n"
        "LAP 2 = 25,000 (+12,655) 12,655\r\n"
        "___________________________________\r\n"
        "STOP: = 30,500 (+18,155)  5,500 \xD8 10,166\r\n"
        "\r\n";
    EXPECT_EQ(ProtocolBlock(lines), expected);
    EXPECT_EQ(kProtocolSeparator, kSeparator);
}

TEST(ProtocolBlock, StopOnlyEmptyAndPauseOnlyLists)
{
    EXPECT_EQ(ProtocolBlock({"STOP: =  0,000"}), kSeparator + "\r\nSTOP: =  0,000\r\n\r\n");
    EXPECT_EQ(ProtocolBlock({}), "\r\n");
    // No closing line, no separator; a PAUSE line is an ordinary one.
    EXPECT_EQ(ProtocolBlock({"START 2 = 08:00:00 = Di. 08.12.26", "PAUSE = 2,000", "LAP10 = 1.05,120"}),
              "START 2 = 08:00:00 = Di. 08.12.26\r\nPAUSE = 2,000\r\nLAP10 = 1.05,120\r\n\r\n");
}

TEST(ProtocolBlock, EveryStopLineGetsItsOwnSeparator)
{
    const std::vector<std::string> lines = {
        "START 1 = 09:00:00 = Mi. 09.12.26",
        "STOP: = 12,3",
        "START 2 = 09:01:00 = Mi. 09.12.26",
        "LAP 1 = 1.05,120",
        "STOP: = 1:02.03,456 (+1:00.58,336) 1:00.58,336 \u00D8 31.01,728",
    };
    EXPECT_EQ(ProtocolBlock(lines),
              "START 1 = 09:00:00 = Mi. 09.12.26\r\n" + kSeparator + "\r\nSTOP: = 12,3\r\n"
              "START 2 = 09:01:00 = Mi. 09.12.26\r\nLAP 1 = 1.05,120\r\n" + kSeparator +
              "\r\nSTOP: = 1:02.03,456 (+1:00.58,336) 1:00.58,336 \xD8 31.01,728\r\n\r\n");
}

TEST(ProtocolBlock, OnlyALeadingUpperCaseStopCounts)
{
    EXPECT_EQ(ProtocolBlock({"stop: = 1,0", " STOP: = 1,0", "LAP 1 = STOP"}),
              "stop: = 1,0\r\n STOP: = 1,0\r\nLAP 1 = STOP\r\n\r\n");
    EXPECT_TRUE(IsStopLine("STOPWATCH"));
    EXPECT_FALSE(IsStopLine("STO"));
}

TEST(ProtocolText, FileLineEndsBecomeLfAndComeBackAsCrLf)
{
    const std::string file = "START 1 = 1\r\n" + kSeparator + "\r\nSTOP: = 1,0 \xD8 1,0\r\n\r\n";
    const std::string text = ProtocolFileToText(file);
    EXPECT_EQ(text, "START 1 = 1\n" + kSeparator + "\nSTOP: = 1,0 \u00D8 1,0\n\n");
    EXPECT_EQ(ProtocolTextToFile(text), file);
    // A lone CR is no line end and stays as it is; an edited LF gains its CR.
    EXPECT_EQ(ProtocolFileToText("a\rb\r\n"), "a\rb\n");
    EXPECT_EQ(ProtocolTextToFile("a\rb\nc\r\nd"), "a\rb\r\nc\r\nd");
    EXPECT_EQ(ProtocolTextToFile("\n\u20AC"), "\r\n\x80");
}

}  // namespace
}  // namespace chronivel
