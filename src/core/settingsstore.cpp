// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settingsstore.h"

#include <bit>
#include <cstring>

namespace chronivel {

namespace {

// "Failed to get data for 'Left' in /home/ana/.config/Orvantis/Chronivel.reg"
SettingsError ValueError(const SettingsStore& store, std::string_view what, std::string_view name)
{
    std::string message = std::string(what) + " for '" + std::string(name) + "'";
    if (const std::string location = store.Location(); !location.empty()) message += " in " + location;
    return SettingsError(message);
}

SettingsError Absent(const SettingsStore& store, std::string_view name)
{
    return ValueError(store, "Failed to get data", name);
}

SettingsError Mistyped(const SettingsStore& store, std::string_view name)
{
    return ValueError(store, "Invalid data type", name);
}

RegValue Required(const SettingsStore& store, std::string_view name, RegType type)
{
    std::optional<RegValue> value = store.Get(name);
    if (!value) throw Absent(store, name);
    if (!value->Is(type)) throw Mistyped(store, name);
    return std::move(*value);
}

template <typename T>
std::vector<std::uint8_t> LittleEndianBytes(T value)
{
    static_assert(std::endian::native == std::endian::little, "settings are stored little-endian");
    std::vector<std::uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

std::uint64_t FromLittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t count)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count && i < bytes.size(); ++i) value |= std::uint64_t{bytes[i]} << (8 * i);
    return value;
}

}  // namespace

RegValue RegValue::Dword(std::int32_t value)
{
    return {static_cast<std::uint32_t>(RegType::Dword), LittleEndianBytes(value)};
}

RegValue RegValue::Text(std::string_view text, RegType type)
{
    return {static_cast<std::uint32_t>(type), std::vector<std::uint8_t>(text.begin(), text.end())};
}

RegValue RegValue::Binary(std::vector<std::uint8_t> bytes)
{
    return {static_cast<std::uint32_t>(RegType::Binary), std::move(bytes)};
}

std::int32_t RegValue::AsDword() const
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(FromLittleEndian(data, 4)));
}

std::string SettingsStore::KeepAside(std::string_view name, const RegValue&)
{
    throw ValueError(*this, "No place to keep the data", name);
}

std::int32_t ReadInteger(const SettingsStore& store, std::string_view name)
{
    return Required(store, name, RegType::Dword).AsDword();
}

bool ReadFlag(const SettingsStore& store, std::string_view name)
{
    return ReadInteger(store, name) != 0;
}

std::string ReadText(const SettingsStore& store, std::string_view name)
{
    const std::optional<RegValue> value = store.Get(name);
    if (!value) return {};
    if (!value->Is(RegType::Sz) && !value->Is(RegType::ExpandSz)) throw Mistyped(store, name);
    return value->AsText();
}

double ReadReal(const SettingsStore& store, std::string_view name)
{
    const RegValue value = Required(store, name, RegType::Binary);
    if (value.data.size() != sizeof(double)) throw Mistyped(store, name);
    double real = 0;
    std::memcpy(&real, value.data.data(), sizeof real);
    return real;
}

void ReadBlock(const SettingsStore& store, std::string_view name, std::int64_t& target)
{
    const std::optional<RegValue> value = store.Get(name);
    if (!value) return;
    if (!value->Is(RegType::Binary) || value->data.size() > sizeof target) throw Mistyped(store, name);
    target = static_cast<std::int64_t>(FromLittleEndian(value->data, sizeof target));
}

RegValue RealValue(double value)
{
    return RegValue::Binary(LittleEndianBytes(value));
}

RegValue BlockValue(std::int64_t value)
{
    return RegValue::Binary(LittleEndianBytes(value));
}

void WriteInteger(SettingsStore& store, std::string_view name, std::int32_t value)
{
    store.Set(name, RegValue::Dword(value));
}

void WriteText(SettingsStore& store, std::string_view name, std::string_view value)
{
    store.Set(name, RegValue::Text(value));
}

}  // namespace chronivel
