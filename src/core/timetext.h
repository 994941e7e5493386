// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/displayformat.h"

namespace chronivel {

// How times are written: one of the display formats, and how many digit
// positions the hours-minutes-seconds part may fill.
//
//   format 0  01:02.03,456    format 1  003723,456
//   format 2  01:02.03,45     format 3  003723,45
//   format 4  01:02.03,4      format 5  003723,4
class TimeFormat {
public:
    static constexpr int FormatCount = DisplayFormatCount;

    int Format() const { return format_; }
    const DisplayFormat& Row() const { return DisplayFormats[format_]; }
    int DecimalPlaces() const { return Row().decimalPlaces; }
    bool HoursOn() const { return hoursOn_; }
    int DigitCount() const { return digitCount_; }

    bool ShowsHours() const { return Row().showsHours; }

    // A number that is not a format (a damaged setting) chooses format 0.
    void SelectFormat(int format) { format_ = ValidFormat(format); }
    void SetHoursOn(bool on) { hoursOn_ = on; }
    void SetDigitCount(int count) { digitCount_ = count; }

    // Length of the text when every field is there: 12 for "00:00.00,000".
    int FullWidth() const { return (ShowsHours() ? 9 : 7) + DecimalPlaces(); }

    friend bool operator==(const TimeFormat&, const TimeFormat&) = default;

private:
    int format_ = 0;
    bool hoursOn_ = true;
    int digitCount_ = 9;
};

// The text of a number of milliseconds. The last shown digit is rounded half
// up; hours wrap at 100 and the seconds formats at 1,000,000 s, so the text
// never outgrows its digit positions. A negative value reads as zero.
std::string TimeText(std::int64_t milliseconds, const TimeFormat& format);

// Removes leading zeros and separators up to the first significant digit, but
// always keeps the last seconds digit and the fraction: "00:01.05,120" becomes
// "1.05,120". In a line such as "LAP 1 = ..." only the part after "= " is touched.
std::string StripLeadingZeros(std::string_view text, int decimalPlaces);

// The elapsed time cut to the shown resolution, so that what the readout
// shows is exactly what laps compute with.
std::int64_t DisplayValue(std::int64_t elapsed, int decimalPlaces);
// The milliseconds of the last place shown: 100, 10 or 1.
std::int64_t DisplayUnitMs(int decimalPlaces);

}  // namespace chronivel
