// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/timetext.h"

namespace chronivel {

// A time typed into a field laid out as a format writes it: "01:30.25,00"
// under the clock formats, "000090,25" under the seconds formats, "_" for a
// place left empty.
//
// The text is read exactly as the field writes it, with ":" "." "," in their
// places whatever the user's locale calls a decimal point: a locale's reading
// would turn "000090,25" into nothing on a system that writes "90.25".
struct TimeEntry {
    // The milliseconds the text stands for, when `problem` is empty.
    std::int32_t ms = 0;
    // What is wrong, naming the part of the time: "the minutes must be 0 to 59, not 75".
    std::string problem;
};

// Where the field's digits go, "_", between the separators: "__:__.__,___".
std::string EntryLayout(const TimeFormat& format);

// The field's text for `ms`: every place filled, whatever digit count the readout uses.
std::string TimeEntryText(std::int64_t ms, const TimeFormat& format);

// Reads a field's text. A part left wholly empty counts as 0; a part filled
// only in some of its places, minutes or seconds over 59, or a text not laid
// out as the format writes it are problems.
TimeEntry ParseTimeEntry(std::string_view text, const TimeFormat& format);

}  // namespace chronivel
