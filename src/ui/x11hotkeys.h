// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>

#include <array>
#include <cstdint>
#include <map>

#include "core/hotkeys.h"

struct xcb_connection_t;

namespace chronivel {

// System-wide hot keys on an X server: a passive grab of the combination on
// the root window, once for each state of Caps Lock and Num Lock, so that
// the key works whichever lock is on. Grabs report to the root window even
// while one of this program's windows has the focus, so a hot key is the
// same command wherever the keyboard is. Another client's grab of the same
// combination makes the server refuse ours (BadAccess): Grab then answers
// false, and nothing of the combination stays grabbed.
class X11HotKeys final : public HotKeyGrabber, private QAbstractNativeEventFilter {
public:
    // The application's own connection to its X server; Qt must run on xcb.
    X11HotKeys();
    ~X11HotKeys() override;
    X11HotKeys(const X11HotKeys&) = delete;
    X11HotKeys& operator=(const X11HotKeys&) = delete;

    bool Grab(int id, const HotKey& key) override;
    void Release(int id, const HotKey& key) override;

private:
    struct Grabbed {
        std::uint8_t keycode = 0;
        std::uint16_t modifiers = 0;
        // A held key repeats: as presses alone, or as a release and a press
        // of the same moment. Only the first press counts.
        bool down = false;
        std::uint32_t releasedAt = 0;
    };
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // The modifier mask that Num Lock sets on this server.
    std::uint16_t NumLockMask() const;
    // The states of Caps Lock and Num Lock a combination is grabbed in: none, each, both.
    std::array<std::uint16_t, 4> LockStates() const;
    std::uint8_t KeycodeOf(std::uint32_t keysym) const;
    void Ungrab(const Grabbed& grabbed);

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint16_t numLock_ = 0;
    std::map<int, Grabbed> grabbed_;
};

}  // namespace chronivel
