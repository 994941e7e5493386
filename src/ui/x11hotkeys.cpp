// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/x11hotkeys.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace chronivel {

namespace {

// The X keysym of a key of the key table, by its Windows virtual-key code.
std::uint32_t KeysymOf(std::uint8_t virtualKey)
{
    if (virtualKey >= 0x30 && virtualKey <= 0x39) return virtualKey;                  // digits
    if (virtualKey >= 0x41 && virtualKey <= 0x5A) return virtualKey + 0x20;           // letters, as typed
    if (virtualKey >= 0x60 && virtualKey <= 0x69) return 0xFFB0 + virtualKey - 0x60;  // keypad digits
    if (virtualKey >= 0x6A && virtualKey <= 0x6F) return 0xFFAA + virtualKey - 0x6A;  // keypad * + , - . /
    if (virtualKey >= 0x70 && virtualKey <= 0x87) return 0xFFBE + virtualKey - 0x70;  // F1..F24
    switch (virtualKey) {
    case 0x03: return 0xFF69;  // Cancel
    case 0x08: return 0xFF08;  // BackSpace
    case 0x09: return 0xFF09;  // Tab
    case 0x0C: return 0xFF0B;  // Clear
    case 0x0D: return 0xFF0D;  // Return
    case 0x13: return 0xFF13;  // Pause
    case 0x14: return 0xFFE5;  // Caps_Lock
    case 0x1B: return 0xFF1B;  // Escape
    case 0x20: return 0x0020;  // space
    case 0x21: return 0xFF55;  // Prior
    case 0x22: return 0xFF56;  // Next
    case 0x23: return 0xFF57;  // End
    case 0x24: return 0xFF50;  // Home
    case 0x25: return 0xFF51;  // Left
    case 0x26: return 0xFF52;  // Up
    case 0x27: return 0xFF53;  // Right
    case 0x28: return 0xFF54;  // Down
    case 0x29: return 0xFF60;  // Select
    case 0x2B: return 0xFF62;  // Execute
    case 0x2C: return 0xFF61;  // Print
    case 0x2D: return 0xFF63;  // Insert
    case 0x2E: return 0xFFFF;  // Delete
    case 0x2F: return 0xFF6A;  // Help
    case 0x90: return 0xFF7F;  // Num_Lock
    case 0x91: return 0xFF14;  // Scroll_Lock
    default: return 0;
    }
}

std::uint16_t ModifierMask(std::uint8_t modifiers)
{
    std::uint16_t mask = 0;
    if (modifiers & HotKey::Shift) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & HotKey::Ctrl) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & HotKey::Alt) mask |= XCB_MOD_MASK_1;
    if (modifiers & HotKey::WindowsKey) mask |= XCB_MOD_MASK_4;
    return mask;
}

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

}  // namespace

X11HotKeys::X11HotKeys()
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) return;  // not on X11: every Grab is refused
    connection_ = x11->connection();
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    numLock_ = NumLockMask();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeys::~X11HotKeys()
{
    for (const auto& [id, grabbed] : grabbed_) Ungrab(grabbed);
    if (connection_ != nullptr) xcb_flush(connection_);
}

std::uint8_t X11HotKeys::KeycodeOf(std::uint32_t keysym) const
{
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const ReplyPtr<xcb_get_keyboard_mapping_reply_t> mapping(
        xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, static_cast<std::uint8_t>(count)),
            nullptr),
        &std::free);
    if (!mapping || keysym == 0) return 0;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKeycode = mapping->keysyms_per_keycode;
    for (int code = 0; code < count; ++code)
        for (int level = 0; level < perKeycode; ++level)
            if (keysyms[code * perKeycode + level] == keysym)
                return static_cast<std::uint8_t>(setup->min_keycode + code);
    return 0;
}

std::uint16_t X11HotKeys::NumLockMask() const
{
    constexpr std::uint16_t Usual = XCB_MOD_MASK_2;
    const std::uint8_t numLock = KeycodeOf(0xFF7F);
    const ReplyPtr<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(connection_, xcb_get_modifier_mapping(connection_), nullptr), &std::free);
    if (!mapping || numLock == 0) return Usual;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            if (codes[modifier * perModifier + i] == numLock) return static_cast<std::uint16_t>(1u << modifier);
    return Usual;
}

bool X11HotKeys::Grab(int id, const HotKey& key)
{
    if (connection_ == nullptr || grabbed_.contains(id)) return false;
    const Grabbed grabbed{KeycodeOf(KeysymOf(VirtualKeyOf(key.key))), ModifierMask(key.modifiers)};
    if (grabbed.keycode == 0) return false;  // no such key on this keyboard
    // Each lock state asked for at once, then all answers read: one round trip.
    const std::array<std::uint16_t, 4> locks = LockStates();
    std::array<xcb_void_cookie_t, 4> cookies{};
    for (std::size_t i = 0; i < locks.size(); ++i)
        cookies[i] = xcb_grab_key_checked(connection_, 0, root_, grabbed.modifiers | locks[i], grabbed.keycode,
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
            refused = true;  // BadAccess: another client holds it
            std::free(error);
        }
    }
    if (refused) {
        Ungrab(grabbed);  // the lock states we did get: none of the combination stays ours
        xcb_flush(connection_);
        return false;
    }
    grabbed_[id] = grabbed;
    return true;
}

std::array<std::uint16_t, 4> X11HotKeys::LockStates() const
{
    return {0, XCB_MOD_MASK_LOCK, numLock_, static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLock_)};
}

void X11HotKeys::Release(int id, const HotKey&)
{
    const auto found = grabbed_.find(id);
    if (found == grabbed_.end()) return;
    Ungrab(found->second);
    grabbed_.erase(found);
    xcb_flush(connection_);
}

void X11HotKeys::Ungrab(const Grabbed& grabbed)
{
    // Ungrabbing a lock state held by another client does nothing to theirs.
    for (const std::uint16_t lock : LockStates())
        xcb_ungrab_key(connection_, grabbed.keycode, root_, grabbed.modifiers | lock);
}

bool X11HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->event != root_) return false;  // a key of one of our windows, not a grab's
    const auto lockless = static_cast<std::uint16_t>(key->state & ~(XCB_MOD_MASK_LOCK | numLock_));
    for (auto& [id, grabbed] : grabbed_) {
        if (grabbed.keycode != key->detail) continue;
        if (type == XCB_KEY_RELEASE) {
            grabbed.down = false;
            grabbed.releasedAt = key->time;
            return true;
        }
        if (grabbed.modifiers != lockless) continue;
        const bool repeat = grabbed.down || (grabbed.releasedAt != 0 && key->time == grabbed.releasedAt);
        grabbed.down = true;
        if (!repeat && pressed) pressed(id);
        return true;
    }
    return false;
}

}  // namespace chronivel
