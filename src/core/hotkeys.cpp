// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/hotkeys.h"

#include <array>
#include <string>

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
static_assert(VirtualKeys[KeySpace] == 0x20 && VirtualKeys[KeyF11] == 0x7A && VirtualKeys[KeyF12] == 0x7B && VirtualKeys[101] == 0x91);

// A key as X names it ("Page_Up") and as the user reads it ("PgUp"); empty for no key.
struct KeyName {
    std::string keysym;
    std::string label;
};

KeyName NameOfKey(int keyIndex)
{
    const int vk = VirtualKeyOf(keyIndex);
    const auto one = [](int c) { return std::string(1, static_cast<char>(c)); };
    if (vk >= 0x70 && vk <= 0x87) return {"F" + std::to_string(vk - 0x6F), "F" + std::to_string(vk - 0x6F)};
    if (vk >= 0x30 && vk <= 0x39) return {one(vk), one(vk)};
    if (vk >= 0x41 && vk <= 0x5A) return {one(vk + 0x20), one(vk)};  // X names the letter as typed
    if (vk >= 0x60 && vk <= 0x69) return {"KP_" + one(vk - 0x30), "Num+" + one(vk - 0x30)};
    struct Named {
        int vk;
        const char* keysym;
        const char* label;
    };
    static constexpr Named Others[] = {
        {0x03, "Cancel", "Break"}, {0x08, "BackSpace", "Backspace"}, {0x09, "Tab", "Tab"},
        {0x0C, "Clear", "Clear"}, {0x0D, "Return", "Return"}, {0x13, "Pause", "Pause"},
        {0x14, "Caps_Lock", "CapsLock"}, {0x1B, "Escape", "Esc"}, {0x20, "space", "Space"},
        {0x21, "Page_Up", "PgUp"}, {0x22, "Page_Down", "PgDown"}, {0x23, "End", "End"},
        {0x24, "Home", "Home"}, {0x25, "Left", "Left"}, {0x26, "Up", "Up"},
        {0x27, "Right", "Right"}, {0x28, "Down", "Down"}, {0x29, "Select", "Select"},
        {0x2B, "Execute", "Execute"}, {0x2C, "Print", "Print"}, {0x2D, "Insert", "Ins"},
        {0x2E, "Delete", "Del"}, {0x2F, "Help", "Help"}, {0x6A, "KP_Multiply", "Num+*"},
        {0x6B, "KP_Add", "Num++"}, {0x6C, "KP_Separator", "Num+,"}, {0x6D, "KP_Subtract", "Num+-"},
        {0x6E, "KP_Decimal", "Num+."}, {0x6F, "KP_Divide", "Num+/"}, {0x90, "Num_Lock", "NumLock"},
        {0x91, "Scroll_Lock", "ScrollLock"},
    };
    for (const Named& named : Others)
        if (named.vk == vk) return {named.keysym, named.label};
    return {};
}

}  // namespace

std::uint8_t VirtualKeyOf(int keyIndex)
{
    return keyIndex >= 0 && keyIndex < KeyTableSize ? VirtualKeys[static_cast<std::size_t>(keyIndex)] : 0;
}

std::string HotKeyText(const HotKey& key, bool asTrigger)
{
    static constexpr struct {
        HotKey::Modifier flag;
        const char* trigger;
        const char* label;
    } Modifiers[] = {{HotKey::Ctrl, "CTRL", "Ctrl"}, {HotKey::Shift, "SHIFT", "Shift"},
                     {HotKey::Alt, "ALT", "Alt"}, {HotKey::WindowsKey, "LOGO", "Meta"}};
    std::string text;
    for (const auto& modifier : Modifiers)
        if (key.modifiers & modifier.flag) text += std::string(asTrigger ? modifier.trigger : modifier.label) + '+';
    const KeyName name = NameOfKey(key.key);
    return text + (asTrigger ? name.keysym : name.label);
}

HotKeyList::HotKeyList(HotKeyGrabber& grabber) : grabber_(grabber)
{
    grabber_.pressed = [this](int id) {
        if (Registered(id) && onHotKey) onHotKey(id);
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
    for (int i = 0; i < Count(); ++i) Unregister(i);  // none is registered while inactive
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
