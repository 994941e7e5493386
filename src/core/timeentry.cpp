// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/timeentry.h"

#include <optional>

namespace chronivel {

namespace {

// One part of the text, its places counted from `first`.
struct Part {
    const char* name;
    std::size_t first;
    std::size_t length;
    std::int64_t unitMs;
    std::int64_t limit = 0;  // the largest value allowed; 0 = as many as the places hold
};

// The part's value; nullopt when it is not all digits, and `problem` says why.
std::optional<std::int64_t> ReadPart(std::string_view text, const Part& part, std::string& problem)
{
    const std::string_view places = text.substr(part.first, part.length);
    if (places.find_first_not_of('_') == std::string_view::npos) return 0;  // left empty
    const char* const why = places.find_first_not_of("0123456789_") != std::string_view::npos
                                ? "\" are not digits"
                                : "\" have an empty place";
    if (places.find_first_not_of("0123456789") != std::string_view::npos) {
        problem = "the " + std::string(part.name) + " \"" + std::string(places) + why;
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : places) value = value * 10 + (c - '0');
    return value;
}

const char* FractionName(int decimalPlaces)
{
    switch (decimalPlaces) {
    case 1: return "tenths";
    case 2: return "hundredths";
    default: return "thousandths";
    }
}

}  // namespace

std::string EntryLayout(const TimeFormat& format)
{
    std::string layout = format.ShowsHours() ? "__:__.__" : "______";
    if (format.DecimalPlaces() > 0) layout += ',' + std::string(static_cast<std::size_t>(format.DecimalPlaces()), '_');
    return layout;
}

std::string TimeEntryText(std::int64_t ms, const TimeFormat& format)
{
    TimeFormat full = format;
    full.SetDigitCount(9);  // the field has every place, whatever the readout shows
    return TimeText(ms, full);
}

TimeEntry ParseTimeEntry(std::string_view text, const TimeFormat& format)
{
    const int d = format.DecimalPlaces();
    const std::size_t fraction = format.ShowsHours() ? 9 : 7;  // where the fraction's places begin
    const std::string_view separators = format.ShowsHours() ? ":.," : ",";
    const std::string layout = EntryLayout(format);

    TimeEntry entry;
    bool laidOut = text.size() == layout.size();
    for (std::size_t i = 0; laidOut && i < text.size(); ++i) {
        const bool separator = layout[i] != '_';
        laidOut = separator ? text[i] == layout[i] : separators.find(text[i]) == std::string_view::npos;
    }
    if (!laidOut) {
        // Appended, not added up: MinGW's GCC 12 warns of an overlap in "\"" + std::string(text).
        entry.problem.append("\"").append(text).append("\" is not a time written as ").append(TimeEntryText(0, format));
        return entry;
    }

    std::int64_t fractionUnit = 1;
    for (int i = d; i < 3; ++i) fractionUnit *= 10;
    Part parts[4] = {{"hours", 0, 2, 3'600'000}, {"minutes", 3, 2, 60'000, 59}, {"seconds", 6, 2, 1'000, 59},
                     {FractionName(d), fraction, static_cast<std::size_t>(d), fractionUnit}};
    if (!format.ShowsHours()) {
        parts[0] = {"seconds", 0, 6, 1'000};
        parts[1].length = parts[2].length = 0;
    }
    std::int64_t ms = 0;
    for (const Part& part : parts) {
        if (part.length == 0) continue;
        const std::optional<std::int64_t> value = ReadPart(text, part, entry.problem);
        if (!value) return entry;
        if (part.limit != 0 && *value > part.limit) {
            entry.problem = "the " + std::string(part.name) + " must be 0 to " + std::to_string(part.limit) +
                            ", not " + std::to_string(*value);
            return entry;
        }
        ms += *value * part.unitMs;
    }
    entry.ms = static_cast<std::int32_t>(ms);  // 99:59.59,999 and 999999,999 s both fit
    return entry;
}

}  // namespace chronivel
