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

TEST(Windows1252, EveryByteSurvivesTheRoundTripThroughUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = Windows1252ToUtf8(all);
    EXPECT_EQ(Utf8ToWindows1252(utf8), all);
    // 128 ASCII bytes; two UTF-8 bytes for 0xA0..0xFF, the five undefined
    // bytes and the ten letters of 0x80..0x9F below U+0800; three for the
    // other seventeen (quotes, dashes, the euro sign, ...).
    EXPECT_EQ(utf8.size(), 128u + 2u * (96u + 5u + 10u) + 3u * 17u);
}

TEST(Windows1252, LettersAndSymbolsMapBothWays)
{
    const struct {
        const char* utf8;
        const char* cp1252;
    } cases[] = {
        {"\u00D8", "\xD8"}, {"\u00E4\u00F6\u00FC\u00DF", "\xE4\xF6\xFC\xDF"}, {"\u20AC", "\x80"},
        {"\u201E\u201C", "\x84\x93"}, {"\u2026", "\x85"}, {"\u0178", "\x9F"}, {"\u00A0", "\xA0"},
        {"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.cp1252) << c.utf8;
        EXPECT_EQ(Windows1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
    }
}

TEST(Windows1252, UnmappableCharactersAndBrokenUtf8BecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToWindows1252("a\u0100b"), "a?b");             // Latin Extended, not in 1252
    EXPECT_EQ(Utf8ToWindows1252("\u0080\u009F"), "??");         // C1 controls 1252 uses for other characters
    EXPECT_EQ(Utf8ToWindows1252("\U0001F600!"), "?!");           // beyond the basic plane: one character
    EXPECT_EQ(Utf8ToWindows1252("x\xFFy"), "x?y");               // never a UTF-8 byte
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), "?");                   // cut off at the end
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82z"), "??z");            // cut off before another character
    EXPECT_EQ(Utf8ToWindows1252("\x98"), "?");                   // a lone continuation byte
    EXPECT_EQ(Utf8ToWindows1252("\xC0\xAF"), "??");              // overlong "/"
    EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), "???");         // a surrogate
    EXPECT_EQ(Utf8ToWindows1252("\xF4\x90\x80\x80"), "????");    // beyond U+10FFFF
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
