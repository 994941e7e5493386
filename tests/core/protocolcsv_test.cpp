// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocolcsv.h"

#include <gtest/gtest.h>

#include "core/protocol.h"

namespace chronivel {
namespace {

const std::string kHeader =
    "Run,Date,ISO date,Start,Kind,Lap,Split,Split (s),Since first lap,Since first lap (s),Lap time,Lap time (s),"
    "Average,Average (s)\r\n";

// Reads short dates as a German locale writes them, "07.12.26"; the window
// reads them with the locale it has.
std::string GermanIsoDate(std::string_view date)
{
    if (date.size() != 8 || date[2] != '.' || date[5] != '.') return {};
    return "20" + std::string(date.substr(6, 2)) + '-' + std::string(date.substr(3, 2)) + '-' +
           std::string(date.substr(0, 2));
}

// A protocol file as it is written, decoded, with two runs in it.
std::string TwoRuns()
{
    return ProtocolFileToText(
        ProtocolBlock({"START 1 = 14:05:09 = Mo. 07.12.26", "LAP 1 = 12,345", "LAP 2 = 25,000 (+12,655) 12,655",
                       "STOP: = 30,500 (+18,155)  5,500 \u00D8 10,166"}) +
        ProtocolBlock({"START 2 = 14:10:00 = Mo. 07.12.26", "PAUSE = 2,000", "LAP 1 =  5,120",
                       "LAP 2 =  7,000 ( +1,880)  1,880", "STOP: = 1.15,500 (+1.10,380) 1.08,500 \u00D8 25,166"}));
}

TEST(ProtocolCsv, EachTimedLineIsARowWithItsTimesAsShownAndAsSeconds)
{
    EXPECT_EQ(ProtocolCsv(TwoRuns(), GermanIsoDate),
              kHeader +
                  "1,Mo. 07.12.26,2026-12-07,14:05:09,LAP,1,\"12,345\",12.345,,,\"12,345\",12.345,,\r\n"
                  "1,Mo. 07.12.26,2026-12-07,14:05:09,LAP,2,\"25,000\",25.000,\"12,655\",12.655,\"12,655\",12.655,,\r\n"
                  "1,Mo. 07.12.26,2026-12-07,14:05:09,STOP,,\"30,500\",30.500,\"18,155\",18.155,\"5,500\",5.500,"
                  "\"10,166\",10.166\r\n"
                  "2,Mo. 07.12.26,2026-12-07,14:10:00,PAUSE,,\"2,000\",2.000,,,,,,\r\n"
                  "2,Mo. 07.12.26,2026-12-07,14:10:00,LAP,1,\"5,120\",5.120,,,\"5,120\",5.120,,\r\n"
                  "2,Mo. 07.12.26,2026-12-07,14:10:00,LAP,2,\"7,000\",7.000,\"1,880\",1.880,\"1,880\",1.880,,\r\n"
                  "2,Mo. 07.12.26,2026-12-07,14:10:00,STOP,,\"1.15,500\",75.500,\"1.10,380\",70.380,\"1.08,500\",68.500,"
                  "\"25,166\",25.166\r\n");
}

TEST(ProtocolCsv, EmptyProtocolIsTheHeaderAlone)
{
    EXPECT_EQ(ProtocolCsv("", GermanIsoDate), kHeader);
    EXPECT_EQ(ProtocolCsv("\n\n" + std::string(35, '_') + "\n", GermanIsoDate), kHeader);
}

TEST(ProtocolCsv, TheReaderGetsTheShortDateAndADateItCannotReadStaysShownOnly)
{
    std::vector<std::string> asked;
    const DateReader reader = [&](std::string_view date) {
        asked.emplace_back(date);
        return GermanIsoDate(date);
    };
    EXPECT_EQ(ProtocolCsv("START 1 = 14:05:09 = Tue. 8 Dec 2026\nLAP 1 = 1.07,006\n"
                          "START 2 = 9:00 = Mon, 7 Dec\nLAP 1 = 1,0\n",
                          reader),
              kHeader +
                  "1,Tue. 8 Dec 2026,,14:05:09,LAP,1,\"1.07,006\",67.006,,,\"1.07,006\",67.006,,\r\n"
                  "2,\"Mon, 7 Dec\",,9:00,LAP,1,\"1,0\",1.0,,,\"1,0\",1.0,,\r\n");
    // Without ". " after the day's name there is no short date to read.
    EXPECT_EQ(asked, std::vector<std::string>{"8 Dec 2026"});
}

TEST(TimeInSeconds, EveryFormOfTheTimeTextCounts)
{
    EXPECT_EQ(TimeInSeconds("1.07,006"), "67.006");
    EXPECT_EQ(TimeInSeconds("0,000"), "0.000");
    EXPECT_EQ(TimeInSeconds("12,3"), "12.3");
    EXPECT_EQ(TimeInSeconds("59.59,99"), "3599.99");
    EXPECT_EQ(TimeInSeconds("1:00.00,000"), "3600.000");
    EXPECT_EQ(TimeInSeconds("01:02.03,456"), "3723.456");
    EXPECT_EQ(TimeInSeconds("99:59.59,999"), "359999.999");
    EXPECT_EQ(TimeInSeconds("3723,45"), "3723.45");        // a seconds format
    EXPECT_EQ(TimeInSeconds("999999,9"), "999999.9");
    EXPECT_EQ(TimeInSeconds("12"), "12");
}

TEST(TimeInSeconds, WhatIsNoTimeGivesNoNumber)
{
    for (const char* text : {"", "x", ",5", "1,", "1.2.3,4", "1.02:03,4", "123:00.00,0", "1.123,0", "1234567,0",
                             "99999999999999999999,0", "1,2,3", "1:2:3,0"})
        EXPECT_EQ(TimeInSeconds(text), "") << text;
}

TEST(ProtocolRows, OtherFormsOfTimesAndLapNumbers)
{
    const std::string text =
        "START 12 = 23:59:59 = Fr. 31.12.27\r\n"
        "LAP 9 = 12,3\r\n"
        "LAP10 = 01:02.03,456 (+01:01.51,1) 01:01.51,1\r\n"
        "STOP: =  0,000\r\n"
        "STOP: = 3723,45 (+3711,15) 3711,15 \u00D8 1861,72\r\n";
    const std::vector<ProtocolRow> rows = ProtocolRows(text);
    const std::vector<ProtocolRow> expected = {
        {"12", "Fr. 31.12.27", "23:59:59", "LAP", "9", "12,3", "", "", ""},
        {"12", "Fr. 31.12.27", "23:59:59", "LAP", "10", "01:02.03,456", "01:01.51,1", "01:01.51,1", ""},
        {"12", "Fr. 31.12.27", "23:59:59", "STOP", "", "0,000", "", "0,000", ""},
        {"12", "Fr. 31.12.27", "23:59:59", "STOP", "", "3723,45", "3711,15", "3711,15", "1861,72"},
    };
    EXPECT_EQ(rows, expected);
}

TEST(ProtocolRows, HandEditedAndDamagedLinesAreLeftOut)
{
    const std::string text =
        "Training on Monday\n"
        "LAP 1 = 1,000\n"                              // before any START: no run
        "START 4 = 10:00:00 = Di. 08.12.26\n"
        "LAP = 2,000\n"                                // no number
        "LAP x = 2,000\n"
        "LAP 2 = \n"                                   // no time
        "LAP 2 = 2,0x0\n"
        "LAP 3 = 3,000 (+2,000\n"                      // bracket not closed
        "LAP 3 = 3,000 (+2,000)\n"                     // lap time missing
        "LAP 3 = 3,000 (+2,000) 1,000 \u00D8 1,500\n"  // an average only closes a run
        "PAUSE = soon\n"
        "STOP: = 4,000 (+3,000) 1,000 \u00D8\n"        // average missing
        "STOP: = 4,000 (+3,000) 1,000 \u00D8 2,000 extra\n"
        "stop: = 4,000\n"
        "LAP 5 = 5,000   \n"                           // trailing blanks are no damage
        "START 5 = 11:00:00\n"                         // no date: the run cannot be named
        "LAP 1 = 6,000\n"
        "START\n";
    const std::vector<ProtocolRow> expected = {
        {"", "", "", "LAP", "1", "1,000", "", "1,000", ""},
        {"4", "Di. 08.12.26", "10:00:00", "LAP", "5", "5,000", "", "", ""},
        {"", "", "", "LAP", "1", "6,000", "", "6,000", ""},
    };
    EXPECT_EQ(ProtocolRows(text), expected);
}

TEST(CsvField, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("Mo. 07.12.26"), "Mo. 07.12.26");
    EXPECT_EQ(CsvField("12,345"), "\"12,345\"");
    EXPECT_EQ(CsvField("say \"go\""), "\"say \"\"go\"\"\"");
    EXPECT_EQ(CsvField("a\nb"), "\"a\nb\"");
    EXPECT_EQ(CsvField("a\rb"), "\"a\rb\"");
}

}  // namespace
}  // namespace chronivel
