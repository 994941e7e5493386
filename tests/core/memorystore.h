// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/settingsstore.h"

namespace chronivel::testing {

// A settings key in memory that remembers the order values were written in.
class MemoryStore final : public SettingsStore {
public:
    bool exists = true;
    std::map<std::string, RegValue, std::less<>> values;
    std::vector<std::string> writeOrder;
    int flushes = 0;
    std::map<std::string, RegValue, std::less<>> keptAside;

    bool Exists() const override { return exists; }
    std::optional<RegValue> Get(std::string_view name) const override
    {
        const auto found = values.find(name);
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    void Set(std::string_view name, RegValue value) override
    {
        values[std::string(name)] = std::move(value);
        writeOrder.emplace_back(name);
    }
    std::string KeepAside(std::string_view name, const RegValue& value) override
    {
        keptAside[std::string(name)] = value;
        return "the side file";
    }
    std::unique_ptr<SettingsSave> TakeSave() override
    {
        class Save final : public SettingsSave {
        public:
            explicit Save(int& flushes) : flushes_(flushes) {}
            void Write() override { ++flushes_; }

        private:
            int& flushes_;
        };
        return std::make_unique<Save>(flushes);
    }
};

}  // namespace chronivel::testing
