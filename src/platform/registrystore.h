// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "core/regfile.h"
#include "core/settingsstore.h"

struct HKEY__;  // the registry's key handle, as <windows.h> declares it

namespace chronivel {

// The settings key HKEY_CURRENT_USER\Software\Orvantis\<title> of the
// Windows registry. Opening only reads: the key is made by the first save.
// Writes wait in the store for a save, and reads see them at once.
class RegistryStore final : public SettingsStore {
public:
    explicit RegistryStore(std::string_view title);
    ~RegistryStore() override;
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    bool Exists() const override { return key_ != nullptr; }
    // Throws SettingsError when the registry fails to give a value it has.
    std::optional<RegValue> Get(std::string_view name) const override;
    void Set(std::string_view name, RegValue value) override;
    std::unique_ptr<SettingsSave> TakeSave() override;
    std::string OpenProblem() const override { return openProblem_; }
    std::string Location() const override { return keyName_; }
    // As the value "<name>-<yyyymmdd-hhmmss>.damaged" of the key, written by the next save.
    std::string KeepAside(std::string_view name, const RegValue& value) override;

    // HKEY_CURRENT_USER\Software\Orvantis\<title>, for messages.
    static std::string KeyName(std::string_view title);

private:
    std::string keyName_;
    std::wstring subKey_;  // below HKEY_CURRENT_USER
    HKEY__* key_ = nullptr;
    NamedValues set_;  // since opening
    std::string openProblem_;
};

}  // namespace chronivel
