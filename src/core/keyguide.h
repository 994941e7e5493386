// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "core/command.h"

namespace chronivel {

// What the keys do, for the texts that list them (--help, README's key
// table, the controls' hints); the keys themselves come from the command table.
struct KeyGuideRow {
    Command command;
    // The keys that act only while another of the program's windows is in front.
    bool background;
    const char* brief;  // --help's words
    const char* full;   // README's words
};
// In the order --help lists them. A command without keys of its own is
// listed only where a system-wide hot key does it.
const std::vector<KeyGuideRow>& KeyGuide();
const KeyGuideRow& GuideOf(Command command);

// A row's keys as the user reads them: "Return; Enter; F5" is "Enter, F5".
std::string ShownKeys(const CommandRow& row, bool background = false);

}  // namespace chronivel
