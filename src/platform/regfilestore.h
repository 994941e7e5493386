// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/settingsstore.h"

namespace chronivel {

class RegFileLine;

// The settings key kept in a file in the registry's export format, for
// systems without a registry. The file is read once, when the store is
// opened; a save replaces it whole, so that a reader never sees half of it.
// Each value's lines in the file are made once, by the first save that
// writes them, and kept until the value changes: taking a save costs the
// program's thread nothing that grows with the file, and writing one makes
// only the lines of values that changed.
class RegFileStore final : public SettingsStore {
public:
    // `keyPath` is the key whose values the file holds, such as
    // HKEY_CURRENT_USER\Software\Orvantis\Chronivel.
    RegFileStore(std::string filePath, std::string keyPath);

    bool Exists() const override { return exists_; }
    std::optional<RegValue> Get(std::string_view name) const override;
    // A new name goes after the others; a known one keeps its place.
    // Throws SettingsError for a name the file cannot hold.
    void Set(std::string_view name, RegValue value) override;
    std::unique_ptr<SettingsSave> TakeSave() override;
    std::string OpenProblem() const override { return openProblem_; }
    std::string Location() const override { return filePath_; }
    // In "<title>.<name>-<yyyymmdd-hhmmss>.damaged" beside "<title>.reg", for the user alone.
    std::string KeepAside(std::string_view name, const RegValue& value) override;

private:
    void Read();

    std::string filePath_;
    std::string keyPath_;
    // The values in the file's order, each shared with the saves taken since it was set.
    std::vector<std::shared_ptr<const RegFileLine>> lines_;
    bool exists_ = false;
    std::string openProblem_;
};

}  // namespace chronivel
