// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "core/displayformat.h"
#include "core/hotkeys.h"
#include "core/lightbarriers.h"

namespace chronivel {

class ChronivelApp;

// What the user can ask of the program by menu or key. The main window's
// menus and keys are made from the table of these, so a command is declared
// once: its entry, caption and keys, what it does and when it can be done.
enum class Command {
    Help,
    Info,
    Configuration,
    Calendar,
    Sound,
    ProtocolWindow,
    ProtocolWindowFromMenu,
    RetryProtocol,
    TextEditor,
    AlarmClock,
    ResetRun,
    ResetRunByKey,
    ToggleHours,
    Format0,  // one command for each display format, in their order
    Zoom1 = Format0 + DisplayFormatCount,
    Zoom2,
    Zoom3,
    Zoom4,
    Zoom5,
    NextZoom,
    ShowBestTime,
    ClearShownBestTime,
    ClearBestTime,
    Exit,
    StartStopReset,
    Lap,
    Pause,
    CountDownMode,
    Lock,
    MainMenu,
    Hide,
    Minimize,
    CloseCalendar,
    SecondMonitor,
    LiveView,
    NoBarrierPort,
    Algorithm0,  // one command for each barrier algorithm, and one for each arrangement, in their order
    Arrangement0 = Algorithm0 + AlgorithmCount,
};

// Where a command's entry sits; keys act wherever it is.
enum class MenuPlace { None, Popup, FormatMenu, ZoomMenu, BestMenu, Ports, Algorithms, Arrangements, PopupEnd };

struct CommandRow {
    Command id;
    const char* name;  // the entry's objectName: tests and later windows find it by this
    MenuPlace place;
    const char* caption;
    // Keys in Qt's portable form, "; " between two: "Return; Enter; F5".
    const char* keys = "";
    // The keys while the main window is in the background, where plain keys
    // belong to what the user types elsewhere; null: the same keys.
    const char* backgroundKeys = nullptr;
    // Shown beside the entry but acting through a twin row: "Ctrl+P".
    const char* shownKey = "";
    // A check mark of its own, or one of a menu's radio entries.
    enum class Mark { None, Check, Radio } mark = Mark::None;
    bool separatorBefore = false;
    // The protocol window's editor needs these keys for itself while it is active.
    bool editorNeedsKeys = false;
    // What it does; null: the window that shows it does it (AppView::Perform).
    void (*run)(ChronivelApp&) = nullptr;
    // Null: always enabled.
    bool (*enabled)(const ChronivelApp&) = nullptr;
    // Null: not a check entry, or the window keeps its mark.
    bool (*checked)(const ChronivelApp&) = nullptr;
};

// The command that chooses display format `format`.
constexpr Command FormatCommand(int format)
{
    return Command(int(Command::Format0) + format);
}

// Every command, in the order of the menus.
const std::vector<CommandRow>& CommandTable();
const CommandRow& RowOf(Command id);

// The system-wide hot keys, in the order of their ids, and what each does
// whichever program is in front: as a click on the command's entry.
struct HotKeyRow {
    HotKey key;
    Command command;
};
const std::vector<HotKeyRow>& HotKeyTable();

}  // namespace chronivel
