// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace chronivel {

// A test with a fresh folder of its own for the files it makes, removed
// with all it holds when the test ends.
class ScratchFolderTest : public ::testing::Test {
protected:
    explicit ScratchFolderTest(const std::string& prefix)
    {
        std::mt19937_64 random(std::random_device{}() ^
                               static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
        dir_ = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
        std::filesystem::create_directories(dir_);
    }
    ~ScratchFolderTest() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
    std::string Dir() const { return dir_.string(); }

    static std::string Bytes(const std::string& path)
    {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Put(const std::string& path, const std::string& bytes)
    {
        std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
    }
    // What the folder holds, sorted by name.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path dir_;
};

}  // namespace chronivel
