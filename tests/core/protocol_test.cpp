// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol.h"

#include <gtest/gtest.h>

#include "core/linematch.h"

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

TEST(ProtocolText, EveryFileLineEndBecomesOneLf)
{
    const std::string file = "START 1 = 1\r\n" + kSeparator + "\r\nSTOP: = 1,0 \xD8 1,0\r\n\r\n";
    EXPECT_EQ(ProtocolFileToText(file), "START 1 = 1\n" + kSeparator + "\nSTOP: = 1,0 \u00D8 1,0\n\n");
    // Another editor's lone LF or CR is a line end too, as the editor shows it.
    EXPECT_EQ(ProtocolFileToText("a\rb\nc\r\n\r\rd\xA0"), "a\nb\nc\n\n\nd\u00A0");
    EXPECT_EQ(ProtocolFileToText(""), "");
}

TEST(EditedProtocol, UntouchedLinesKeepTheirBytesAndLineEnds)
{
    const std::string file = "START 1 = 1\r\nLAP 1 = 1,0\r\n" + kSeparator + "\r\nSTOP: = 2,0\r\n\r\n" +
                             "no\xA0" "break\nlone CR\rcp1252 \x80\x81\x8D\r\n";
    const std::string text = ProtocolFileToText(file);
    EXPECT_EQ(EditedProtocol(file, text), file) << "nothing edited";

    // One line changed: only its bytes are made anew.
    std::string edited = text;
    edited.replace(edited.find("LAP 1 = 1,0"), 11, "LAP 1 = 1,0 Anna \u00D8");
    std::string expected = file;
    expected.replace(expected.find("LAP 1 = 1,0"), 11, "LAP 1 = 1,0 Anna \xD8");
    EXPECT_EQ(EditedProtocol(file, edited), expected);

    // Lines added in two places: new ones end in CR LF, the rest stay.
    edited = "top\n" + text + "\nend";
    EXPECT_EQ(EditedProtocol(file, edited), "top\r\n" + file + "\r\nend");
    edited = text;
    edited.insert(edited.find("lone CR"), "new\u00A0line\n");
    expected = file;
    expected.insert(expected.find("lone CR"), "new\xA0line\r\n");
    EXPECT_EQ(EditedProtocol(file, edited), expected);
}

TEST(EditedProtocol, RemovedLinesAndLineEndsGoWithTheirBytes)
{
    const std::string file = "a\nb\rc\r\nd";
    // The last line break removed: the line before it ends the file now.
    EXPECT_EQ(EditedProtocol(file, "a\nb\nc"), "a\nb\rc");
    EXPECT_EQ(EditedProtocol(file, "a\nc\nd"), "a\nc\r\nd");
    EXPECT_EQ(EditedProtocol(file, ""), "");
    EXPECT_EQ(EditedProtocol(file, "bc\nd"), "bc\r\nd") << "two lines joined";
    EXPECT_EQ(EditedProtocol("", "x\ny"), "x\r\ny");
}

TEST(LineMatch, PairsTheLinesAShortestEditKeepsAndGivesUpOnHugeEdits)
{
    const std::vector<std::string> before = {"a", "b", "c", "a", "b", "b", "a"};
    const std::vector<std::string> after = {"c", "b", "a", "b", "a", "c"};
    const auto same = [&](std::size_t o, std::size_t n) { return before[o] == after[n]; };
    const std::vector<std::size_t> match = MatchLines(before.size(), after.size(), same);
    // Myers' example: 4 lines stay (5 edits), each pair equal and in order.
    std::size_t kept = 0;
    std::size_t last = 0;
    for (std::size_t n = 0; n < after.size(); ++n) {
        if (match[n] == kNewLine) continue;
        EXPECT_EQ(before[match[n]], after[n]);
        if (kept > 0) {
            EXPECT_GT(match[n], last);
        }
        last = match[n];
        ++kept;
    }
    EXPECT_EQ(kept, 4u);

    // Beyond the edit limit the lines between the shared ends stay unpaired.
    const std::vector<std::string> x = {"s", "1", "2", "3", "e"};
    const std::vector<std::string> y = {"s", "4", "1", "2", "3", "5", "e"};
    const auto sameXY = [&](std::size_t o, std::size_t n) { return x[o] == y[n]; };
    EXPECT_EQ(MatchLines(x.size(), y.size(), sameXY), (std::vector<std::size_t>{0, kNewLine, 1, 2, 3, kNewLine, 4}));
    const std::vector<std::size_t> ends = {0, kNewLine, kNewLine, kNewLine, kNewLine, kNewLine, 4};
    EXPECT_EQ(MatchLines(x.size(), y.size(), sameXY, 1), ends);
    EXPECT_EQ(MatchLines(x.size(), y.size(), sameXY, 2000, 3), ends);
    EXPECT_EQ(MatchLines(x.size(), y.size(), sameXY, 2, 100),
              (std::vector<std::size_t>{0, kNewLine, 1, 2, 3, kNewLine, 4}));
}

}  // namespace
}  // namespace chronivel
