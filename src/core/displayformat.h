// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace chronivel {

// One way of writing times, with everything that follows from it: its menu
// entry, the fields of the text, and where the readout shows each digit. A
// new format is a new row; ranges, menus and entry masks are made from these.
struct DisplayFormat {
    const char* name;     // the menu entry's objectName, also the command's row
    const char* caption;  // the menu entry, written as the format writes times
    bool showsHours;      // hours, minutes and seconds; else a plain count of seconds
    int decimalPlaces;    // 1..3
    // The 1-based text position that readout image 1..9 (counted from the
    // right) shows; 99 where the format has no such digit.
    std::array<int, 9> chars;
    // Where each readout image sits inside the readout panel at zoom 1, before
    // the hours are hidden: images 1..9 are digits counted from the right,
    // 10..12 the separators ":", "." and ",". 999 puts an image out of sight.
    std::array<int, 12> lefts;
};

// In the order of the settings' numbers and of the menu. The seconds-only
// captions are not indented: a screen reader would read the padding.
inline constexpr std::array DisplayFormats{
    DisplayFormat{"Format0", "HH:MM:SS,xxx", true, 3, {12, 11, 10, 8, 7, 5, 4, 2, 1},
                  {175, 157, 139, 112, 94, 67, 49, 22, 4, 41, 86, 131}},
    DisplayFormat{"Format1", "SSSSSS,xxx", false, 3, {10, 9, 8, 6, 5, 4, 3, 2, 1},
                  {175, 155, 135, 105, 85, 65, 45, 25, 4, 999, 999, 126}},
    DisplayFormat{"Format2", "HH:MM:SS,xx", true, 2, {99, 11, 10, 8, 7, 5, 4, 2, 1},
                  {999, 157, 139, 112, 94, 67, 49, 22, 4, 41, 86, 131}},
    DisplayFormat{"Format3", "SSSSSS,xx", false, 2, {99, 9, 8, 6, 5, 4, 3, 2, 1},
                  {999, 155, 135, 105, 85, 65, 45, 25, 4, 999, 999, 126}},
    DisplayFormat{"Format4", "HH:MM:SS,x", true, 1, {99, 99, 10, 8, 7, 5, 4, 2, 1},
                  {999, 999, 139, 112, 94, 67, 49, 22, 4, 41, 86, 131}},
    DisplayFormat{"Format5", "SSSSSS,x", false, 1, {99, 99, 8, 6, 5, 4, 3, 2, 1},
                  {999, 999, 135, 105, 85, 65, 45, 25, 4, 999, 999, 126}},
};
inline constexpr int DisplayFormatCount = static_cast<int>(DisplayFormats.size());

// A format's number as it is; anything else, such as a damaged stored value, is 0.
constexpr int ValidFormat(int format)
{
    return format >= 0 && format < DisplayFormatCount ? format : 0;
}

}  // namespace chronivel
