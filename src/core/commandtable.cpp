// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/chronivelapp.h"
#include "core/command.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace chronivel {

namespace {

using Mark = CommandRow::Mark;

// Plain keys the user may be typing for another window of the program act
// only while the main window is in front.
bool InFront(const ChronivelApp& a)
{
    return a.WindowActive();
}

void ResetTheRun(ChronivelApp& a)
{
    a.Clock().ResetRun();
}

template <int Format>
CommandRow FormatRow()
{
    const DisplayFormat& format = DisplayFormats[Format];
    CommandRow row{FormatCommand(Format), format.name, MenuPlace::FormatMenu, format.caption};
    row.mark = Mark::Radio;
    row.separatorBefore = format.showsHours;  // the seconds-only formats sit under the one with hours
    row.run = [](ChronivelApp& a) { a.Clock().SelectFormat(Format); };
    row.checked = [](const ChronivelApp& a) { return a.Clock().Format().Format() == Format; };
    return row;
}

template <int... Format>
std::vector<CommandRow> FormatRows(std::integer_sequence<int, Format...>)
{
    return {FormatRow<Format>()...};
}

template <int Zoom>
CommandRow ZoomRow(const char* name, const char* caption)
{
    CommandRow row{Command(int(Command::Zoom1) + Zoom), name, MenuPlace::ZoomMenu, caption};
    row.mark = Mark::Radio;
    row.checked = [](const ChronivelApp& a) { return a.Zoom() == Zoom; };
    return row;
}

std::vector<CommandRow> MakeTable()
{
    using enum Command;
    using enum MenuPlace;
    // Where a context-menu entry had a twin in the hidden key menu, the
    // twin's name follows the row: its keys are the row's keys.
    std::vector<CommandRow> t{
        {.id = Help, .name = "ChronivelHelp1", .place = Popup, .caption = "Chronivel Help", .keys = "F1"},  // Help2
        {.id = Info, .name = "About1", .place = Popup, .caption = "Info", .keys = "F3",
         .editorNeedsKeys = true},  // About2
        {.id = Configuration, .name = "Configuration1", .place = Popup, .caption = "Configuration", .keys = "Ctrl+C",
         .editorNeedsKeys = true},  // mCFG
        {.id = Calendar, .name = "Calendar1", .place = Popup, .caption = "Calendar", .keys = "Ctrl+D",
         .mark = Mark::Check},  // Calendar2
        {.id = Sound, .name = "Sound1", .place = Popup, .caption = "Sound", .keys = "Ctrl+S", .mark = Mark::Check,
         .run = [](ChronivelApp& a) { a.Clock().ToggleSound(); },
         .checked = [](const ChronivelApp& a) { return a.Clock().Sound(); }},  // mSound
        // The menu's entry only while there is a file to show; the key always.
        {.id = ProtocolWindowFromMenu, .name = "Protocol1", .place = Popup, .caption = "Protocol ..",
         .shownKey = "Ctrl+P", .enabled = [](const ChronivelApp& a) { return a.ProtocolExists(); }},
        // Only while finished runs wait for a protocol file that would not take them.
        {.id = RetryProtocol, .name = "RetryProtocol1", .place = Popup, .caption = "Retry writing the protocol",
         .run = [](ChronivelApp& a) { a.Retry(NoticeTopic::Protocol); },
         .enabled = [](const ChronivelApp& a) { return a.Saves().RunsUnwritten(); }},
        {.id = AlarmClock, .name = "AlarmClock2", .place = Popup, .caption = "Alarm Clock",
         .keys = "Ctrl+A"},  // mAlarmClock
        {.id = ResetRun, .name = "cmd_Reset", .place = Popup, .caption = "Reset", .shownKey = "0", .run = ResetTheRun},

        {.id = ToggleHours, .name = "mHoursOn", .place = FormatMenu, .caption = "Show Hours", .mark = Mark::Check,
         .run = [](ChronivelApp& a) { a.Clock().ToggleHours(); },
         .checked = [](const ChronivelApp& a) { return a.Clock().Format().HoursOn(); }},

        // The window comes back to the middle of the screen at its new size.
        ZoomRow<0>("Zoom1", "1"),
        ZoomRow<1>("Zoom2", "2"),
        ZoomRow<2>("Zoom3", "3"),
        ZoomRow<3>("Zoom4", "4"),
        ZoomRow<4>("Zoom5", "5"),

        {.id = ShowBestTime, .name = "BestShow1", .place = BestMenu, .caption = "Show", .mark = Mark::Check,
         .run = [](ChronivelApp& a) { a.Clock().ToggleBestTimeShown(); },
         .checked = [](const ChronivelApp& a) { return a.Clock().Best().Visible(); }},
        // A hidden best time is cleared by key only.
        {.id = ClearShownBestTime, .name = "BestReset1", .place = BestMenu, .caption = "Reset",
         .run = [](ChronivelApp& a) { a.Clock().ClearBestTime(); },
         .enabled = [](const ChronivelApp& a) { return a.Clock().Best().Visible(); }},

        {.id = Exit, .name = "Exit1", .place = PopupEnd, .caption = "Exit", .separatorBefore = true},

        {.id = StartStopReset, .name = "mSSR", .place = None, .caption = "SSR", .keys = "Return; Enter; F5",
         .run = [](ChronivelApp& a) { a.Clock().StartStopReset(a.CommandAt()); }},  // START1
        {.id = Lap, .name = "mLAP", .place = None, .caption = "LAP", .keys = "Space; F8",
         .backgroundKeys = "Alt+Space; F8", .run = [](ChronivelApp& a) { a.Clock().TakeLap(a.CommandAt()); },
         .enabled = [](const ChronivelApp& a) { return a.Clock().LapEnabled(); }},  // LAP21
        // The pause button's command: it shows, and the key acts, only while the main window is in front.
        {.id = Pause, .name = "mPause", .place = None, .caption = "Pause", .keys = "Pause",
         .run = [](ChronivelApp& a) { a.Clock().TogglePause(a.CommandAt()); }, .enabled = InFront},
        // The countdown LED's and its label's click; F9 is its key.
        {.id = CountDownMode, .name = "mCountDown", .place = None, .caption = "CountDown", .keys = "F9",
         .run = [](ChronivelApp& a) { a.Clock().ToggleCountDown(); }},
        {.id = ResetRunByKey, .name = "mReset", .place = None, .caption = "Reset", .keys = "0", .run = ResetTheRun,
         .enabled = InFront},
        {.id = Lock, .name = "Lock1", .place = None, .caption = "Lock", .keys = "F10",
         .run = [](ChronivelApp& a) { a.Clock().ToggleLockLed(); }},
        {.id = NextZoom, .name = "ZoomMain", .place = None, .caption = "Zoom", .keys = "Ctrl+Z"},
        {.id = ProtocolWindow, .name = "mProtocol", .place = None, .caption = "Protocol", .keys = "Ctrl+P"},
        // Its context-menu twin Notepad1 is invisible by design.
        {.id = TextEditor, .name = "mNotepad", .place = None, .caption = "Notepad", .keys = "Ctrl+N"},
        {.id = ClearBestTime, .name = "Best2", .place = None, .caption = "Best", .keys = "Ctrl+0; Ctrl+Ins; Ctrl+Num+0",
         .run = [](ChronivelApp& a) { a.Clock().ClearBestTime(); }},  // BestNum2, BestNum1
        {.id = MainMenu, .name = "mMMenu", .place = None, .caption = "MMenu", .keys = "Ctrl+M"},
        {.id = Hide, .name = "mHide", .place = None, .caption = "Hide", .keys = "Ctrl+Space", .enabled = InFront},
        // The "_" button and the hot key: in the background too.
        {.id = Minimize, .name = "smMinimizeClick", .place = None, .caption = "Minimize"},
        {.id = CloseCalendar, .name = "mCloseCal", .place = None, .caption = "CloseCal", .keys = "Esc"},
        {.id = SecondMonitor, .name = "mTV", .place = None, .caption = "TV", .keys = "Ctrl+T",
         .run = [](ChronivelApp& a) { a.ToggleSecondMonitor(); }},
    };
    // The formats' entries follow the hours switch in their menu.
    const std::vector<CommandRow> formats = FormatRows(std::make_integer_sequence<int, DisplayFormatCount>());
    const auto hours = std::find_if(t.begin(), t.end(), [](const CommandRow& row) { return row.id == ToggleHours; });
    t.insert(hours + 1, formats.begin(), formats.end());
    return t;
}

}  // namespace

const std::vector<CommandRow>& CommandTable()
{
    static const std::vector<CommandRow> table = MakeTable();
    return table;
}

const CommandRow& RowOf(Command id)
{
    for (const CommandRow& row : CommandTable())
        if (row.id == id) return row;
    throw std::logic_error("a command without a row in the table");
}

const std::vector<HotKeyRow>& HotKeyTable()
{
    constexpr std::uint8_t CtrlShift = HotKey::Ctrl | HotKey::Shift;
    static const std::vector<HotKeyRow> t = {
        {{CtrlShift, 87}, Command::StartStopReset},  // F12
        {{CtrlShift, 86}, Command::Lap},             // F11
        {{CtrlShift, 9}, Command::Minimize},         // Space
    };
    return t;
}

}  // namespace chronivel
