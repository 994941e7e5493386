#pragma once

#include <string>

#include "core/regfile.h"
#include "core/settingsstore.h"

namespace chronivel {

// The settings key kept in a file in the registry's export format, for
// systems without a registry. The file is read once, when the store is
// opened; Flush replaces it whole, so that a reader never sees half of it.
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
    void Flush() override;
    std::string OpenProblem() const override { return openProblem_; }
    std::string Location() const override { return filePath_; }

private:
    void Read();

    std::string filePath_;
    std::string keyPath_;
    NamedValues values_;
    bool exists_ = false;
    std::string openProblem_;
};

}  // namespace chronivel
