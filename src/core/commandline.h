// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace chronivel {

// The start-up switches: /D followed by the number of digit positions of the
// time text, /R followed by the corner rounding of the window in percent.
// The letter may be in either case; a later switch overrides an earlier one;
// anything else, and a switch without a valid number, is ignored.
struct CommandLine {
    int digitCount = 9;
    int roundPercent = 100;
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace chronivel
