// SPDX-License-Identifier: GPL-3.0-or-later
// System-wide hot keys through RegisterHotKey; under Wine the wineserver
// keeps them. No key can be pressed here, so presses are posted to the
// hidden window as the system posts them.
#ifdef _WIN32

#include "platform/win32hotkeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "platform/systemhotkeys.h"

namespace chronivel {
namespace {

constexpr std::uint8_t kCtrlShift = HotKey::Ctrl | HotKey::Shift;
constexpr HotKey kF12{kCtrlShift, 87};
constexpr HotKey kF11{kCtrlShift, 86};
constexpr HotKey kSpace{kCtrlShift, 9};

// Whether another window could take the combination now; it gives it back at once.
bool Free(UINT modifiers, UINT virtualKey)
{
    constexpr int kProbeId = 0xBFFF;
    if (!::RegisterHotKey(nullptr, kProbeId, modifiers, virtualKey)) return false;
    ::UnregisterHotKey(nullptr, kProbeId);
    return true;
}

// Delivers what was posted to this thread's windows, as the program's event loop does.
void DeliverPosted()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

// Posts a press of hot key `id` the way the system does, and delivers it.
void Press(Win32HotKeyGrabber& grabber, int id)
{
    ASSERT_TRUE(::PostMessageW(grabber.Window(), WM_HOTKEY, static_cast<WPARAM>(id), 0));
    DeliverPosted();
}

// The unregistrations a grabber makes, each with whether the system still knew it.
struct UnregisterLog {
    std::vector<std::pair<int, bool>> calls;

    HotKeyCalls Watching()
    {
        HotKeyCalls watching;
        watching.unregisterHotKey = [this](HWND window, int id) {
            const BOOL done = ::UnregisterHotKey(window, id);
            calls.emplace_back(id, done != FALSE);
            return done;
        };
        return watching;
    }
    std::vector<std::pair<int, bool>> Sorted() const
    {
        auto sorted = calls;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }
};

using Calls = std::vector<std::pair<int, bool>>;

TEST(Win32HotKeysTest, TakesEachCombinationWithItsModifiersAndKeyOnAWindowMadeAtTheFirstGrab)
{
    Win32HotKeyGrabber grabber;
    EXPECT_FALSE(grabber.HasWindow());
    EXPECT_TRUE(grabber.Grab(0, kF12));
    EXPECT_TRUE(grabber.HasWindow());
    EXPECT_FALSE(::IsWindowVisible(grabber.Window()));
    EXPECT_TRUE(grabber.Grab(1, kF11));
    EXPECT_TRUE(grabber.Grab(2, kSpace));
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_SHIFT, VK_F12));
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_SHIFT, VK_F11));
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
    // The same key with other modifiers is another combination.
    EXPECT_TRUE(Free(MOD_CONTROL, VK_F12));

    EXPECT_TRUE(grabber.Grab(3, {HotKey::Alt, 76}));
    EXPECT_TRUE(grabber.Grab(4, {HotKey::WindowsKey | HotKey::Shift, 77}));
    EXPECT_FALSE(Free(MOD_ALT, VK_F1));
    EXPECT_FALSE(Free(MOD_WIN | MOD_SHIFT, VK_F2));
    EXPECT_TRUE(Free(MOD_SHIFT, VK_F2));
}

TEST(Win32HotKeysTest, ThePlatformsGrabberTakesCombinations)
{
    const auto grabber = MakeSystemHotKeyGrabber();
    EXPECT_TRUE(grabber->Grab(0, kF12));
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_SHIFT, VK_F12));
}

TEST(Win32HotKeysTest, APressReachesPressedWithItsIdUnknownIdsIncluded)
{
    Win32HotKeyGrabber grabber;
    std::vector<int> ids;
    grabber.pressed = [&ids](int id) { ids.push_back(id); };
    for (const auto& [id, key] : {std::pair{0, kF12}, {1, kF11}, {2, kSpace}}) ASSERT_TRUE(grabber.Grab(id, key));
    for (const int id : {2, 0, 1, 7}) Press(grabber, id);
    EXPECT_EQ(ids, (std::vector<int>{2, 0, 1, 7}));
}

TEST(Win32HotKeysTest, ACombinationHeldElsewhereIsRefusedAndTheOthersStillWork)
{
    auto holder = std::make_unique<Win32HotKeyGrabber>();
    ASSERT_TRUE(holder->Grab(5, kF11));

    Win32HotKeyGrabber grabber;
    std::vector<int> ids;
    grabber.pressed = [&ids](int id) { ids.push_back(id); };
    EXPECT_TRUE(grabber.Grab(0, kF12));
    EXPECT_FALSE(grabber.Grab(1, kF11));
    EXPECT_TRUE(grabber.Grab(2, kSpace));
    Press(grabber, 0);
    Press(grabber, 2);
    EXPECT_EQ(ids, (std::vector<int>{0, 2}));

    // Once its holder lets go, the combination can be had.
    holder.reset();
    EXPECT_TRUE(grabber.Grab(1, kF11));
}

TEST(Win32HotKeysTest, ReleaseGivesACombinationBackOnceAndDestroyingGivesBackTheRestOnce)
{
    UnregisterLog log;
    auto grabber = std::make_unique<Win32HotKeyGrabber>(log.Watching());
    for (const auto& [id, key] : {std::pair{0, kF12}, {1, kF11}, {2, kSpace}}) ASSERT_TRUE(grabber->Grab(id, key));

    grabber->Release(1, kF11);
    EXPECT_EQ(log.calls, (Calls{{1, true}}));
    EXPECT_TRUE(Free(MOD_CONTROL | MOD_SHIFT, VK_F11));
    EXPECT_FALSE(Free(MOD_CONTROL | MOD_SHIFT, VK_F12));

    grabber.reset();
    // Each while the window still stood, so the system knew it and let it go.
    EXPECT_EQ(log.Sorted(), (Calls{{0, true}, {1, true}, {2, true}}));
    EXPECT_TRUE(Free(MOD_CONTROL | MOD_SHIFT, VK_F12));
    EXPECT_TRUE(Free(MOD_CONTROL | MOD_SHIFT, VK_SPACE));
}

TEST(Win32HotKeysTest, AWindowDestroyedFromOutsideTakesItsCombinationsAlongAndANewOneIsMadeForTheNextGrab)
{
    UnregisterLog log;
    Win32HotKeyGrabber grabber(log.Watching());
    ASSERT_TRUE(grabber.Grab(0, kF12));
    ASSERT_TRUE(grabber.Grab(2, kSpace));

    ASSERT_TRUE(::DestroyWindow(grabber.Window()));
    EXPECT_FALSE(grabber.HasWindow());
    EXPECT_EQ(log.Sorted(), (Calls{{0, true}, {2, true}}));
    EXPECT_TRUE(Free(MOD_CONTROL | MOD_SHIFT, VK_SPACE));

    std::vector<int> ids;
    grabber.pressed = [&ids](int id) { ids.push_back(id); };
    EXPECT_TRUE(grabber.Grab(2, kSpace));
    EXPECT_TRUE(grabber.HasWindow());
    Press(grabber, 2);
    EXPECT_EQ(ids, (std::vector<int>{2}));
}

}  // namespace
}  // namespace chronivel

#endif  // _WIN32
