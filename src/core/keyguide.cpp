// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/keyguide.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace chronivel {

const std::vector<KeyGuideRow>& KeyGuide()
{
    using enum Command;
    static const std::vector<KeyGuideRow> guide{
        {StartStopReset, false, "start, stop or reset", "START, STOP or RESET, by what the button shows"},
        {Lap, false, "take a lap", "take a lap (while running and not paused)"},
        {Pause, false, "pause and continue", "pause, and continue"},
        {ResetRunByKey, false, "reset", "reset from any state (main window in front)"},
        {Configuration, false, "configuration", "the configuration dialog"},
        {MainMenu, false, "main menu", "the menu"},
        {ProtocolWindow, false, "protocol window", "show or hide the protocol window"},
        {TextEditor, false, "protocol in editor", "open the protocol file in your text editor"},
        {Calendar, false, "calendar", "calendar on or off"},
        {AlarmClock, false, "alarm clock", "the alarm clock"},
        {SecondMonitor, false, "second monitor", "the second-monitor display on or off"},
        {NextZoom, false, "next zoom",
         "next zoom: 1, 2, 3, 4, 5 times the size, then 1 again; sizes larger than the screen are skipped"},
        {Sound, false, "sound on or off", "sound on or off"},
        {Hide, false, "minimise", "minimise (main window in front)"},
        {ClearBestTime, false, "clear the best time", "clear the best time"},
        {Lock, false, "lock lamp", "the lock lamp on or off (while light barriers are connected)"},
        {Help, false, "the manual", "open the user manual in your web browser"},
        {Info, false, "version", "about Chronivel"},
        {CountDownMode, false, "countdown on or off", "countdown on or off, as a click on the CountDown lamp"},
        {Lap, true, "a lap while the protocol window is in front",
         "take a lap while the protocol window is in front (F8 works there too)"},
        {Minimize, false, "minimise", ""},
    };
    return guide;
}

const KeyGuideRow& GuideOf(Command command)
{
    for (const KeyGuideRow& row : KeyGuide())
        if (row.command == command && !row.background) return row;
    throw std::logic_error("a command without a line in the key guide");
}

std::string ShownKeys(const CommandRow& row, bool background)
{
    const std::string own = "; " + std::string(row.keys) + "; ";
    std::string_view keys = background && row.backgroundKeys ? row.backgroundKeys : row.keys;
    std::string text;
    while (!keys.empty()) {
        const std::size_t end = std::min(keys.find("; "), keys.size());
        std::string key(keys.substr(0, end));
        keys.remove_prefix(std::min(end + 2, keys.size()));
        if (background && own.find("; " + key + "; ") != std::string::npos) continue;
        // The keypad's twin of a key reads as the key, and Qt's Return is the keyboard's Enter.
        if (const std::size_t pad = key.find("Num+"); pad != std::string::npos) key.erase(pad, 4);
        if (key == "Return") key = "Enter";
        if ((", " + text + ", ").find(", " + key + ", ") == std::string::npos) text += (text.empty() ? "" : ", ") + key;
    }
    return text;
}

}  // namespace chronivel
