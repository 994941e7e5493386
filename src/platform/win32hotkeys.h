// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/win32.h"

#include <functional>
#include <vector>

#include "core/hotkeys.h"

namespace chronivel {

// How a grabber gives a combination back, so that tests can count it; by
// default the system's own call. The system's answer alone cannot tell: it
// frees a window's hot keys itself when the window goes.
struct HotKeyCalls {
    std::function<BOOL(HWND, int)> unregisterHotKey = ::UnregisterHotKey;
};

// Hot keys through RegisterHotKey. The system posts WM_HOTKEY to a window,
// so the grabber owns a hidden message-only one, made at the first Grab on
// the calling thread, whose message loop (Qt's, in the program) delivers the
// presses. As the hot-key list does, an id is grabbed at most once until it
// is released. Destroying the grabber destroys the window and gives back every
// combination still grabbed.
class Win32HotKeyGrabber : public HotKeyGrabber {
public:
    explicit Win32HotKeyGrabber(HotKeyCalls calls = {});
    ~Win32HotKeyGrabber() override;
    Win32HotKeyGrabber(const Win32HotKeyGrabber&) = delete;
    Win32HotKeyGrabber& operator=(const Win32HotKeyGrabber&) = delete;

    bool Grab(int id, const HotKey& key) override;
    void Release(int id, const HotKey& key) override;

    // The hidden window, made on first use; nullptr when the system would not make it.
    HWND Window();
    bool HasWindow() const { return window_ != nullptr; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void ReleaseAll();

    HotKeyCalls calls_;
    HWND window_ = nullptr;
    std::vector<int> grabbed_;  // the ids registered with the window, each once
};

}  // namespace chronivel
