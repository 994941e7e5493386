// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/hotkeys.h"

#include <array>

namespace chronivel {

namespace {

constexpr std::array<std::uint8_t, KeyTableSize> VirtualKeys = [] {
    std::array<std::uint8_t, KeyTableSize> keys{};
    std::size_t i = 1;
    for (const std::uint8_t key : {0x03, 0x08, 0x09, 0x0C, 0x0D, 0x13, 0x14, 0x1B}) keys[i++] = key;
    for (std::uint8_t key = 0x20; key <= 0x29; ++key) keys[i++] = key;  // space .. select
    for (std::uint8_t key = 0x2B; key <= 0x2F; ++key) keys[i++] = key;  // execute .. help
    for (std::uint8_t key = 0x30; key <= 0x39; ++key) keys[i++] = key;  // digits
    for (std::uint8_t key = 0x41; key <= 0x5A; ++key) keys[i++] = key;  // letters
    for (std::uint8_t key = 0x60; key <= 0x6F; ++key) keys[i++] = key;  // numeric pad
    for (std::uint8_t key = 0x70; key <= 0x87; ++key) keys[i++] = key;  // F1 .. F24
    keys[i++] = 0x90;                                                   // num lock
    keys[i++] = 0x91;                                                   // scroll lock
    return keys;
}();
static_assert(VirtualKeys[9] == 0x20 && VirtualKeys[86] == 0x7A && VirtualKeys[87] == 0x7B && VirtualKeys[101] == 0x91);

}  // namespace

std::uint8_t VirtualKeyOf(int keyIndex)
{
    return keyIndex >= 0 && keyIndex < KeyTableSize ? VirtualKeys[static_cast<std::size_t>(keyIndex)] : 0;
}

HotKeyList::HotKeyList(HotKeyGrabber& grabber) : grabber_(grabber)
{
    grabber_.pressed = [this](int id) {
        if (id >= 0 && id < Count() && entries_[static_cast<std::size_t>(id)].registered && onHotKey) onHotKey(id);
    };
}

HotKeyList::~HotKeyList()
{
    Clear();
    grabber_.pressed = nullptr;
}

int HotKeyList::Add(HotKey key)
{
    entries_.push_back({key, false});
    const int index = Count() - 1;
    if (active_) Register(index);
    return index;
}

void HotKeyList::Clear()
{
    if (active_)
        for (int i = 0; i < Count(); ++i) Unregister(i);
    entries_.clear();
}

void HotKeyList::SetActive(bool active)
{
    if (active == active_) return;
    active_ = active;
    for (int i = 0; i < Count(); ++i) active ? Register(i) : Unregister(i);
}

bool HotKeyList::Registered(int index) const
{
    return index >= 0 && index < Count() && entries_[static_cast<std::size_t>(index)].registered;
}

void HotKeyList::Register(int index)
{
    Entry& entry = entries_[static_cast<std::size_t>(index)];
    if (!entry.registered) entry.registered = grabber_.Grab(index, entry.key);
}

void HotKeyList::Unregister(int index)
{
    Entry& entry = entries_[static_cast<std::size_t>(index)];
    if (!entry.registered) return;
    grabber_.Release(index, entry.key);
    entry.registered = false;
}

}  // namespace chronivel
