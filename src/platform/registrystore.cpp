// SPDX-License-Identifier: GPL-3.0-or-later
// Settings in the Windows registry, below HKEY_CURRENT_USER\Software\Orvantis.
#include "platform/registrystore.h"

#include "platform/win32.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/systemsettingsstore.h"
#include "platform/win32text.h"

namespace chronivel {
namespace {

constexpr std::string_view KeyParent = "Software\\Orvantis\\";

bool IsText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The registry holds texts in UTF-16 with a terminating zero; values keep UTF-8 without it.
RegValue FromRegistry(DWORD type, const std::vector<std::uint8_t>& data)
{
    if (!IsText(type)) return RegValue{type, data};
    std::wstring wide(data.size() / 2, L'\0');
    std::memcpy(wide.data(), data.data(), wide.size() * sizeof(wchar_t));
    if (!wide.empty() && wide.back() == L'\0') wide.pop_back();
    return RegValue::Text(Utf8(wide), static_cast<RegType>(type));
}

std::vector<std::uint8_t> ToRegistry(const RegValue& value)
{
    if (!IsText(value.type)) return value.data;
    const std::wstring wide = Utf16(value.AsText());
    std::vector<std::uint8_t> data((wide.size() + 1) * sizeof(wchar_t), 0);
    std::memcpy(data.data(), wide.data(), wide.size() * sizeof(wchar_t));
    return data;
}

}  // namespace

std::string RegistryStore::KeyName(std::string_view title)
{
    return "HKEY_CURRENT_USER\\" + std::string(KeyParent) + std::string(title);
}

RegistryStore::RegistryStore(std::string_view title)
    : keyName_(KeyName(title)), subKey_(Utf16(std::string(KeyParent) + std::string(title)))
{
    HKEY key = nullptr;
    const LSTATUS status = ::RegOpenKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) {
        key_ = key;
    } else if (status != ERROR_FILE_NOT_FOUND) {
        openProblem_ = "Registry key " + keyName_ + " cannot be read (" + SystemMessage(status) +
                       "); default settings are used.";
    }
}

RegistryStore::~RegistryStore()
{
    if (key_ != nullptr) ::RegCloseKey(key_);
}

std::optional<RegValue> RegistryStore::Get(std::string_view name) const
{
    if (std::optional<RegValue> set = FindValue(set_, name)) return set;
    if (key_ == nullptr) return std::nullopt;

    const std::wstring wideName = Utf16(name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size);
    std::vector<std::uint8_t> data;
    // The value may grow between asking its size and reading it.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.resize(size);
        status = ::RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            return FromRegistry(type, data);
        }
    }
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    throw SettingsError("Failed to get data for '" + std::string(name) + "' in " + keyName_ + ": " +
                        SystemMessage(status));
}

void RegistryStore::Set(std::string_view name, RegValue value)
{
    SetValue(set_, name, std::move(value));
}

std::string RegistryStore::KeepAside(std::string_view name, const RegValue& value)
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    const std::string kept = std::string(name) + "-" + stamp + ".damaged";
    Set(kept, value);
    return "the value \"" + kept + "\" of " + keyName_;
}

namespace {

// The values set since the store was opened, all written again at each save:
// a save that failed leaves nothing for a later one to miss.
class RegistrySave final : public SettingsSave {
public:
    RegistrySave(std::wstring subKey, std::string keyName, NamedValues values)
        : subKey_(std::move(subKey)), keyName_(std::move(keyName)), values_(std::move(values))
    {
    }

    void Write() override
    {
        HKEY key = nullptr;
        LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_WRITE, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS)
            throw SettingsError("Failed to create key " + keyName_ + ": " + SystemMessage(status));
        const std::unique_ptr<HKEY__, decltype(&::RegCloseKey)> closer(key, &::RegCloseKey);
        for (const auto& [name, value] : values_) {
            const std::vector<std::uint8_t> data = ToRegistry(value);
            const BYTE none = 0;
            status = ::RegSetValueExW(key, Utf16(name).c_str(), 0, value.type, data.empty() ? &none : data.data(),
                                      static_cast<DWORD>(data.size()));
            if (status != ERROR_SUCCESS)
                throw SettingsError("Failed to set data for '" + name + "' in " + keyName_ + ": " +
                                    SystemMessage(status));
        }
        status = ::RegFlushKey(key);
        if (status != ERROR_SUCCESS)
            throw SettingsError("Failed to save key " + keyName_ + ": " + SystemMessage(status));
    }

private:
    std::wstring subKey_;
    std::string keyName_;
    NamedValues values_;
};

}  // namespace

std::unique_ptr<SettingsSave> RegistryStore::TakeSave()
{
    return std::make_unique<RegistrySave>(subKey_, keyName_, set_);
}

std::unique_ptr<SettingsStore> OpenSettingsStore(std::string_view title)
{
    return std::make_unique<RegistryStore>(title);
}

std::string SettingsLocation(std::string_view title)
{
    return RegistryStore::KeyName(title);
}

void RemoveSettingsLeftovers(std::string_view) {}

}  // namespace chronivel
