// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace chronivel {

// A key combination as the hot-key list holds it: modifier flags and an
// index into the key table (KeyTableSize entries, 0 for no key).
struct HotKey {
    enum Modifier : std::uint8_t { Shift = 1, Ctrl = 2, Alt = 4, WindowsKey = 8 };
    std::uint8_t modifiers = 0;
    std::uint8_t key = 0;

    friend bool operator==(const HotKey&, const HotKey&) = default;
};

inline constexpr int KeyTableSize = 102;
// The key indices of the keys the hot keys use.
inline constexpr std::uint8_t KeySpace = 9, KeyF11 = 86, KeyF12 = 87;
// The Windows virtual-key code of a key index: 0x7B for KeyF12, 0x20 for KeySpace; 0 outside the table.
std::uint8_t VirtualKeyOf(int keyIndex);

// The combination as the manual writes it ("Ctrl+Shift+F12"), or as the
// desktop's shortcut triggers name it ("CTRL+SHIFT+F12", with X's key names).
std::string HotKeyText(const HotKey& key, bool asTrigger = false);

// The system's side of the hot keys: it takes a combination for this
// program whichever program is in front, or refuses it (another program
// holds it). An X server, the desktop portal, or Windows.
class HotKeyGrabber {
public:
    virtual ~HotKeyGrabber() = default;
    // Whether the system gave the program the combination; `id` comes back with each press.
    virtual bool Grab(int id, const HotKey& key) = 0;
    // Gives back a combination Grab got.
    virtual void Release(int id, const HotKey& key) = 0;
    // Set by the hot-key list: a grabbed combination, known by its id, was pressed.
    std::function<void(int id)> pressed;
};

// An ordered list of hot keys, each registered with the system at most once
// while the list is active. An entry's position is its id towards the system
// and the index reported when it is pressed. A combination the system
// refuses stays unregistered, silently; the others still work.
class HotKeyList {
public:
    explicit HotKeyList(HotKeyGrabber& grabber);
    ~HotKeyList();
    HotKeyList(const HotKeyList&) = delete;
    HotKeyList& operator=(const HotKeyList&) = delete;

    // Appends an entry, registered at once while the list is active; returns its position.
    int Add(HotKey key);
    // Unregisters every entry while active, and empties the list.
    void Clear();
    bool Active() const { return active_; }
    // Registers (true) or unregisters (false) every entry, in list order.
    void SetActive(bool active);
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Registered(int index) const;

    // A registered entry was pressed: its position.
    std::function<void(int index)> onHotKey;

private:
    struct Entry {
        HotKey key;
        bool registered = false;
    };
    void Register(int index);
    void Unregister(int index);

    HotKeyGrabber& grabber_;
    std::vector<Entry> entries_;
    bool active_ = false;
};

}  // namespace chronivel
