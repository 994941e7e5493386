// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/timeentry.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <locale>
#include <string>

#include "tests/core/shownformat.h"

namespace chronivel {
namespace {

std::string ProblemOf(std::string_view text, int format)
{
    return ParseTimeEntry(text, testing::FormatOf(format)).problem;
}

std::int32_t MsOf(std::string_view text, int format)
{
    const TimeEntry entry = ParseTimeEntry(text, testing::FormatOf(format));
    EXPECT_EQ(entry.problem, "") << text;
    return entry.ms;
}

TEST(TimeEntry, APresetsTextReadsBackAsThePresetToTheFormatsResolution)
{
    for (int number = 0; number < TimeFormat::FormatCount; ++number) {
        TimeFormat format = testing::FormatOf(number);
        const std::int64_t unit = DisplayUnitMs(format.DecimalPlaces());
        for (const std::int64_t ms : {1LL, 1'234LL, 59'999LL, 61'050LL, 3'723'456LL, 359'999'000LL}) {
            // The readout may show fewer places; the field always has them all.
            format.SetDigitCount(3);
            format.SetHoursOn(false);
            const std::string text = TimeEntryText(ms, format);
            EXPECT_EQ(static_cast<int>(text.size()), format.FullWidth()) << text;
            const TimeEntry entry = ParseTimeEntry(text, format);
            ASSERT_EQ(entry.problem, "") << "format " << number << ": " << text;
            EXPECT_LE(std::abs(entry.ms - ms), unit / 2) << "format " << number << ": " << text;
            EXPECT_EQ(entry.ms % unit, 0) << "format " << number << ": " << text;
            EXPECT_EQ(TimeEntryText(entry.ms, format), text) << "format " << number;
        }
    }
}

TEST(TimeEntry, ReadsEachPartInItsPlace)
{
    EXPECT_EQ(MsOf("00:01.30,25", 2), 90'250);
    EXPECT_EQ(MsOf("01:02.03,456", 0), 3'723'456);
    EXPECT_EQ(MsOf("99:59.59,9", 4), 359'999'900);
    EXPECT_EQ(MsOf("000090,25", 3), 90'250);
    EXPECT_EQ(MsOf("999999,999", 1), 999'999'999);
    EXPECT_EQ(MsOf("000007,5", 5), 7'500);
    for (int number = 0; number < TimeFormat::FormatCount; ++number)
        EXPECT_EQ(MsOf(TimeEntryText(0, testing::FormatOf(number)), number), 0) << "format " << number;
}

TEST(TimeEntry, EmptyPartsCountZeroAndHalfFilledOnesAreNamed)
{
    EXPECT_EQ(MsOf("__:01.30,__", 2), 90'000);
    EXPECT_EQ(MsOf("__:__.__,___", 0), 0);
    EXPECT_EQ(MsOf("______,5", 5), 500);
}

TEST(TimeEntry, HalfFilledPartsAreRefusedNamingThePart)
{
    EXPECT_EQ(ProblemOf("5_:00.00,00", 2), "the hours \"5_\" have an empty place");
    EXPECT_EQ(ProblemOf("00:_5.00,00", 2), "the minutes \"_5\" have an empty place");
    EXPECT_EQ(ProblemOf("00:00.3_,00", 2), "the seconds \"3_\" have an empty place");
    EXPECT_EQ(ProblemOf("00:00.30,2_", 2), "the hundredths \"2_\" have an empty place");
    EXPECT_EQ(ProblemOf("00:00.30,12_", 0), "the thousandths \"12_\" have an empty place");
    EXPECT_EQ(ProblemOf("__0090,_", 5), "the seconds \"__0090\" have an empty place");
    EXPECT_EQ(ProblemOf("00:0x.00,0", 4), "the minutes \"0x\" are not digits");
}

TEST(TimeEntry, MinutesAndSecondsOver59AreRefusedWithTheirValue)
{
    EXPECT_EQ(ProblemOf("00:75.00,000", 0), "the minutes must be 0 to 59, not 75");
    EXPECT_EQ(ProblemOf("00:60.00,00", 2), "the minutes must be 0 to 59, not 60");
    EXPECT_EQ(ProblemOf("00:00.99,0", 4), "the seconds must be 0 to 59, not 99");
    EXPECT_EQ(MsOf("00:59.59,0", 4), 3'599'000);
    EXPECT_EQ(MsOf("000099,0", 5), 99'000) << "the seconds formats count seconds on";
}

TEST(TimeEntry, TextNotLaidOutAsTheFormatWritesItIsRefused)
{
    const std::string expected = "\"000090.25\" is not a time written as 000000,00";
    EXPECT_EQ(ProblemOf("000090.25", 3), expected) << "a decimal point as some locales write it";
    for (const auto& [text, format] : std::initializer_list<std::pair<const char*, int>>{
             {"00:01.30,2", 2},     // a place short
             {"00:01.30,250", 2},   // a place over
             {"00:01,30.25", 2},    // separators swapped
             {"00.01:30,25", 2},
             {"000:01.30,25", 2},
             {"00:01.30,25", 3},    // a clock time in a seconds format
             {"000090,25", 2},
             {"00090,2:", 5},       // a separator where a digit belongs
             {"", 0}}) {
        const std::string problem = ProblemOf(text, format);
        EXPECT_NE(problem.find(std::string("\"") + text + "\" is not a time written as "), std::string::npos)
            << "format " << format << ": \"" << text << "\" gave \"" << problem << "\"";
    }
}

// The decimal comma is the field's, not the locale's: a locale that writes
// numbers with "," must read the text as one that writes them with "." does.
class GermanNumbers {
public:
    GermanNumbers()
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "de-DE"}) {
            if (!std::setlocale(LC_ALL, name)) continue;
            name_ = name;
#ifndef _WIN32
            // The C++ global locale too (MinGW's library knows no named locale but "C").
            previous_ = std::locale::global(std::locale(name));
#endif
            return;
        }
    }
    ~GermanNumbers()
    {
        std::setlocale(LC_ALL, "C");
        std::locale::global(previous_);
    }
    bool Active() const { return !name_.empty() && std::localeconv()->decimal_point == std::string(","); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::locale previous_;
};

TEST(TimeEntry, ReadsTheSameWhateverTheLocaleWritesNumbersWith)
{
    const GermanNumbers german;
    ASSERT_TRUE(german.Active()) << "no locale with a decimal comma (tools/bootstrap makes de_DE.UTF-8); tried \""
                                 << german.Name() << "\"";
    EXPECT_EQ(MsOf("000090,25", 3), 90'250);
    EXPECT_EQ(MsOf("00:01.30,25", 2), 90'250);
    EXPECT_NE(ProblemOf("000090.25", 3), "");
    EXPECT_EQ(TimeEntryText(90'250, testing::FormatOf(3)), "000090,25");
    EXPECT_EQ(ProblemOf("00:75.00,000", 0), "the minutes must be 0 to 59, not 75");
}

}  // namespace
}  // namespace chronivel
