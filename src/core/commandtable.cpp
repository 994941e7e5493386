// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/chronivelapp.h"
#include "core/command.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace chronivel {

namespace {

using Mark = CommandRow::Mark;

// Rows for each of `Count` choices, before `where`: `make` gets each index as a constant.
template <int Count, typename Make>
void InsertRows(std::vector<CommandRow>& t, std::vector<CommandRow>::const_iterator where, Make make)
{
    [&]<int... N>(std::integer_sequence<int, N...>) {
        t.insert(where, {make(std::integral_constant<int, N>())...});
    }(std::make_integer_sequence<int, Count>());
}

// A barrier rule's entries at the end, by their stored numbers, each table after a separator.
template <auto& Rows, Command First, MenuPlace Place, auto Select, auto Chosen>
void InsertRuleRows(std::vector<CommandRow>& t)
{
    InsertRows<int(Rows.size())>(t, t.end(), []<int N>(std::integral_constant<int, N>) {
        return CommandRow{.id = Command(int(First) + N), .name = Rows[N].name, .place = Place,
                          .caption = Rows[N].caption, .mark = Mark::Radio, .separatorBefore = N == 0,
                          .run = [](ChronivelApp& a) { (a.*Select)(int(Rows[N].id)); },
                          .enabled = [](const ChronivelApp& a) { return a.BarrierRulesChoosable(); },
                          .checked = [](const ChronivelApp& a) { return (a.Barriers().*Chosen)() == Rows[N].id; }};
    });
}

}  // namespace

// The handlers are the model's own: they reach its chronometer, which it shows to everyone else read-only.
std::vector<CommandRow> MakeCommandTable()
{
    using enum Command;
    using enum MenuPlace;
    constexpr auto resetTheRun = [](ChronivelApp& a) { a.clock_.ResetRun(); };
    constexpr auto clearBestTime = [](ChronivelApp& a) { a.clock_.ClearBestTime(); };
    // Plain keys the user may be typing for another window of the program act
    // only while the main window is in front.
    constexpr auto inFront = [](const ChronivelApp& a) { return a.WindowActive(); };
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
         .run = [](ChronivelApp& a) { a.clock_.ToggleSound(); },
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
        {.id = LiveView, .name = "mLiveView", .place = Popup, .caption = "Live view…"},
        {.id = ResetRun, .name = "cmd_Reset", .place = Popup, .caption = "Reset", .shownKey = "0", .run = resetTheRun},

        {.id = ToggleHours, .name = "mHoursOn", .place = FormatMenu, .caption = "Show Hours", .mark = Mark::Check,
         .run = [](ChronivelApp& a) { a.clock_.ToggleHours(); },
         .checked = [](const ChronivelApp& a) { return a.Clock().Format().HoursOn(); }},

        {.id = ShowBestTime, .name = "BestShow1", .place = BestMenu, .caption = "Show", .mark = Mark::Check,
         .run = [](ChronivelApp& a) { a.clock_.ToggleBestTimeShown(); },
         .checked = [](const ChronivelApp& a) { return a.Clock().Best().Visible(); }},
        // A hidden best time is cleared by key only.
        {.id = ClearShownBestTime, .name = "BestReset1", .place = BestMenu, .caption = "Reset",
         .run = clearBestTime,
         .enabled = [](const ChronivelApp& a) { return a.Clock().Best().Visible(); }},

        {.id = Exit, .name = "Exit1", .place = PopupEnd, .caption = "Exit", .separatorBefore = true},

        {.id = StartStopReset, .name = "mSSR", .place = None, .caption = "SSR", .keys = "Return; Enter; F5",
         .run = [](ChronivelApp& a) { a.clock_.StartStopReset(a.CommandAt()); }},  // START1
        {.id = Lap, .name = "mLAP", .place = None, .caption = "LAP", .keys = "Space; F8",
         .backgroundKeys = "Alt+Space; F8", .run = [](ChronivelApp& a) { a.clock_.TakeLap(a.CommandAt()); },
         .enabled = [](const ChronivelApp& a) { return a.Clock().LapEnabled(); }},  // LAP21
        // The pause button's command: it shows, and the key acts, only while the main window is in front.
        {.id = Pause, .name = "mPause", .place = None, .caption = "Pause", .keys = "Pause",
         .run = [](ChronivelApp& a) { a.clock_.TogglePause(a.CommandAt()); }, .enabled = inFront},
        // The countdown LED's and its label's click; F9 is its key.
        {.id = CountDownMode, .name = "mCountDown", .place = None, .caption = "CountDown", .keys = "F9",
         .run = [](ChronivelApp& a) { a.clock_.ToggleCountDown(); }},
        {.id = ResetRunByKey, .name = "mReset", .place = None, .caption = "Reset", .keys = "0", .run = resetTheRun,
         .enabled = inFront},
        {.id = Lock, .name = "Lock1", .place = None, .caption = "Lock", .keys = "F10",
         .run = [](ChronivelApp& a) { a.clock_.ToggleLockLed(); }},
        {.id = NextZoom, .name = "ZoomMain", .place = None, .caption = "Zoom", .keys = "Ctrl+Z"},
        {.id = ProtocolWindow, .name = "mProtocol", .place = None, .caption = "Protocol", .keys = "Ctrl+P"},
        // Its context-menu twin Notepad1 is invisible by design.
        {.id = TextEditor, .name = "mNotepad", .place = None, .caption = "Notepad", .keys = "Ctrl+N"},
        {.id = ClearBestTime, .name = "Best2", .place = None, .caption = "Best", .keys = "Ctrl+0; Ctrl+Ins; Ctrl+Num+0",
         .run = clearBestTime},  // BestNum2, BestNum1
        {.id = MainMenu, .name = "mMMenu", .place = None, .caption = "MMenu", .keys = "Ctrl+M"},
        {.id = Hide, .name = "mHide", .place = None, .caption = "Hide", .keys = "Ctrl+Space", .enabled = inFront},
        // The "_" button and the hot key: in the background too.
        {.id = Minimize, .name = "smMinimizeClick", .place = None, .caption = "Minimize"},
        {.id = CloseCalendar, .name = "mCloseCal", .place = None, .caption = "CloseCal", .keys = "Esc"},
        {.id = SecondMonitor, .name = "mTV", .place = None, .caption = "TV", .keys = "Ctrl+T",
         .run = [](ChronivelApp& a) { a.ToggleSecondMonitor(); }},
        // The ports the system has follow it, in the same choice.
        {.id = NoBarrierPort, .name = "mNoHard", .place = Ports, .caption = "None", .mark = Mark::Radio,
         .run = [](ChronivelApp& a) { a.ChooseBarrierPort({}, a.Kept().port); },
         .checked = [](const ChronivelApp& a) { return a.Barriers().Device().empty(); }},
    };
    // The formats' entries follow the hours switch in their menu.
    const auto hours = std::find_if(t.begin(), t.end(), [](const CommandRow& row) { return row.id == ToggleHours; });
    InsertRows<DisplayFormatCount>(t, hours + 1, []<int N>(std::integral_constant<int, N>) {
        return CommandRow{.id = FormatCommand(N), .name = DisplayFormats[N].name, .place = FormatMenu,
                          .caption = DisplayFormats[N].caption, .mark = Mark::Radio,
                          // the seconds-only formats sit under the one with hours
                          .separatorBefore = DisplayFormats[N].showsHours,
                          .run = [](ChronivelApp& a) { a.clock_.SelectFormat(N); },
                          .checked = [](const ChronivelApp& a) { return a.Clock().Format().Format() == N; }};
    });
    // The window comes back to the middle of the screen at its new size.
    InsertRows<ZoomSteps>(t, t.end(), []<int N>(std::integral_constant<int, N>) {
        static constexpr const char* names[] = {"Zoom1", "Zoom2", "Zoom3", "Zoom4", "Zoom5"};
        return CommandRow{.id = Command(int(Zoom1) + N), .name = names[N], .place = ZoomMenu,
                          .caption = names[N] + 4, .mark = Mark::Radio,  // the name's number
                          .checked = [](const ChronivelApp& a) { return a.Zoom() == N; }};
    });
    InsertRuleRows<AlgorithmRows, Algorithm0, Algorithms, &ChronivelApp::SelectBarrierAlgorithm,
                   &BarrierPipeline::Algorithm>(t);
    InsertRuleRows<ArrangementRows, Arrangement0, Arrangements, &ChronivelApp::SelectBarrierArrangement,
                   &BarrierPipeline::Arrangement>(t);
    return t;
}

const std::vector<CommandRow>& CommandTable()
{
    static const std::vector<CommandRow> table = MakeCommandTable();
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
        {{CtrlShift, KeyF12}, Command::StartStopReset},
        {{CtrlShift, KeyF11}, Command::Lap},
        {{CtrlShift, KeySpace}, Command::Minimize},
    };
    return t;
}

}  // namespace chronivel
