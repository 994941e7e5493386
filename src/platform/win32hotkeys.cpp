// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32hotkeys.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/systemhotkeys.h"
#include "platform/win32messagewindow.h"

namespace chronivel {

namespace {

constexpr wchar_t kWindowClass[] = L"Chronivel.HotKeys";

UINT ModifierBits(std::uint8_t modifiers)
{
    UINT bits = 0;
    if (modifiers & HotKey::Shift) bits |= MOD_SHIFT;
    if (modifiers & HotKey::Ctrl) bits |= MOD_CONTROL;
    if (modifiers & HotKey::Alt) bits |= MOD_ALT;
    if (modifiers & HotKey::WindowsKey) bits |= MOD_WIN;
    return bits;
}

}  // namespace

Win32HotKeyGrabber::Win32HotKeyGrabber(HotKeyCalls calls) : calls_(std::move(calls)) {}

Win32HotKeyGrabber::~Win32HotKeyGrabber()
{
    // Its WM_DESTROY gives back what is still grabbed.
    if (window_ != nullptr) ::DestroyWindow(window_);
}

HWND Win32HotKeyGrabber::Window()
{
    if (window_ == nullptr) MakeMessageWindow(kWindowClass, &WindowProc, this);
    return window_;
}

// Another program holding the combination makes RegisterHotKey fail; that is
// an answer, not an error.
bool Win32HotKeyGrabber::Grab(int id, const HotKey& key)
{
    const HWND window = Window();
    if (window == nullptr || !::RegisterHotKey(window, id, ModifierBits(key.modifiers), VirtualKeyOf(key.key)))
        return false;
    grabbed_.push_back(id);
    return true;
}

void Win32HotKeyGrabber::Release(int id, const HotKey&)
{
    const auto found = std::find(grabbed_.begin(), grabbed_.end(), id);
    if (found == grabbed_.end()) return;
    grabbed_.erase(found);
    calls_.unregisterHotKey(window_, id);
}

void Win32HotKeyGrabber::ReleaseAll()
{
    for (const int id : grabbed_) calls_.unregisterHotKey(window_, id);
    grabbed_.clear();
}

LRESULT CALLBACK Win32HotKeyGrabber::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* grabber = static_cast<Win32HotKeyGrabber*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        grabber->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(grabber));
    }
    auto* grabber = reinterpret_cast<Win32HotKeyGrabber*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (grabber == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = grabber->Handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        grabber->window_ = nullptr;
    }
    return result;
}

LRESULT Win32HotKeyGrabber::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HOTKEY:
        // Any id goes on: the hot-key list knows which are its own.
        if (pressed) pressed(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        // The combinations go with the window, whoever destroys it.
        ReleaseAll();
        break;
    }
    // The hidden window gives every other message, and WM_DESTROY after the
    // above, the system's default handling.
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

std::unique_ptr<HotKeyGrabber> MakeSystemHotKeyGrabber()
{
    return std::make_unique<Win32HotKeyGrabber>();
}

}  // namespace chronivel
