// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace chronivel {

// Value types as the registry numbers them; a settings file keeps the same
// numbers so that a value reads back with exactly the type it was written with.
enum class RegType : std::uint32_t {
    None = 0,
    Sz = 1,        // text
    ExpandSz = 2,  // text with %VARIABLES%, read as plain text
    Binary = 3,
    Dword = 4,     // 32-bit integer, little-endian
};

// One stored value: its type number (also one this program does not know)
// and its bytes. Texts are UTF-8 without a terminating zero.
struct RegValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    static RegValue Dword(std::int32_t value);
    static RegValue Text(std::string_view text, RegType type = RegType::Sz);
    static RegValue Binary(std::vector<std::uint8_t> bytes);

    bool Is(RegType t) const { return type == static_cast<std::uint32_t>(t); }
    std::string AsText() const { return std::string(data.begin(), data.end()); }
    std::int32_t AsDword() const;  // the first four bytes, little-endian

    friend bool operator==(const RegValue&, const RegValue&) = default;
};

// A failed read or write of a setting; the message names the value.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The values of a store as they were at one moment, to be made durable
// later and on any thread: a large settings file is written while the
// program goes on.
class SettingsSave {
public:
    virtual ~SettingsSave() = default;
    // Makes the values durable together, so that a crash never leaves half of
    // them. Throws SettingsError, naming the file or key, when they cannot be kept.
    virtual void Write() = 0;
};

// The program's key of settings: named, typed values. Writes are collected
// in the store and taken together by TakeSave.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Whether the key existed when the store was opened.
    virtual bool Exists() const = 0;
    virtual std::optional<RegValue> Get(std::string_view name) const = 0;
    virtual void Set(std::string_view name, RegValue value) = 0;
    // Every value as it is now, quickly: later Sets do not change the save.
    virtual std::unique_ptr<SettingsSave> TakeSave() = 0;
    // Makes the values durable now, on this thread.
    void Flush() { TakeSave()->Write(); }
    // A problem met while opening (a damaged line of a settings file), to be
    // told to the user once; empty when there was none.
    virtual std::string OpenProblem() const { return {}; }
    // Where the values live, for messages: the settings file's path or the
    // registry key's name; empty for a store that lives nowhere else.
    virtual std::string Location() const { return {}; }
    // Keeps the bytes of the stored value `name`, which the program cannot
    // read and its next save writes over, where the user can find them, under
    // a name that tells the value and the moment: a file beside the settings
    // file, or another value of the key. Returns that place, for messages.
    // Throws SettingsError, naming the place, when they cannot be kept; a
    // store that lives nowhere else cannot keep them.
    virtual std::string KeepAside(std::string_view name, const RegValue& value);
};

// Typed access with the errors the user sees, naming the value and the
// store's Location. Integers and flags must be there with the integer type;
// an absent text reads as empty.
std::int32_t ReadInteger(const SettingsStore& store, std::string_view name);
bool ReadFlag(const SettingsStore& store, std::string_view name);
std::string ReadText(const SettingsStore& store, std::string_view name);
double ReadReal(const SettingsStore& store, std::string_view name);
// An absent block leaves `target` as it is; a shorter one fills its low bytes.
void ReadBlock(const SettingsStore& store, std::string_view name, std::int64_t& target);

// A real and a block as they are stored: 8 bytes, little-endian.
RegValue RealValue(double value);
RegValue BlockValue(std::int64_t value);

void WriteInteger(SettingsStore& store, std::string_view name, std::int32_t value);
void WriteText(SettingsStore& store, std::string_view name, std::string_view value);

}  // namespace chronivel
