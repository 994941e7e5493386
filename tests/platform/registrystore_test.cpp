// SPDX-License-Identifier: GPL-3.0-or-later
// The settings key in the Windows registry; elsewhere the settings live in a
// file (regfilestore_test.cpp). Under Wine this is Wine's registry of the test prefix.
#ifdef _WIN32

#include "platform/registrystore.h"

#include "platform/win32.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/systemsettingsstore.h"

namespace chronivel {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> bytes;
    for (const int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

// A key of its own for each run, removed afterwards.
class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        title_ = "ChronivelTest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount64());
        subKey_ = L"Software\\Orvantis\\" + std::wstring(title_.begin(), title_.end());
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, subKey_.c_str()); }

    bool KeyExists() const
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }

    // Writes a value as another program would, straight through the API.
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) const
    {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        ::RegCloseKey(key);
    }

    // The type and bytes the registry holds for a value.
    std::pair<DWORD, std::vector<std::uint8_t>> GetRaw(const wchar_t* name) const
    {
        DWORD type = REG_NONE;
        DWORD size = 0;
        std::vector<std::uint8_t> data(4096);
        size = static_cast<DWORD>(data.size());
        EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                                 data.data(), &size),
                  ERROR_SUCCESS);
        data.resize(size);
        return {type, data};
    }

    std::string title_;
    std::wstring subKey_;
};

TEST_F(RegistryStoreTest, OpeningAnAbsentKeyDoesNotMakeIt)
{
    const RegistryStore store(title_);
    EXPECT_FALSE(store.Exists());
    EXPECT_EQ(store.OpenProblem(), "");
    EXPECT_FALSE(store.Get("Left"));
    EXPECT_FALSE(KeyExists());
}

TEST_F(RegistryStoreTest, EveryTypeReadsBackFromTheRegistry)
{
    std::vector<std::uint8_t> everyByte;
    for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<std::uint8_t>(i));
    const NamedValues values = {
        {"Left", RegValue::Dword(INT_MIN)},
        {"Fon", RegValue::Text("Segoe \"UI\" \\ Zürich 東京")},
        {"Empty", RegValue::Text("")},
        {"Note", RegValue::Text("two\r\nlines")},
        {"FileName", RegValue::Text("%TEMP%\\Läufe.txt", RegType::ExpandSz)},
        {"Alarm", RegValue::Binary(everyByte)},
        {"NoBytes", RegValue::Binary({})},
        {"Qword", RegValue{REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8})}},
        {"", RegValue::Text("default")},
    };
    {
        RegistryStore store(title_);
        for (const auto& [name, value] : values) store.Set(name, value);
        EXPECT_EQ(store.Get("fon"), values[1].second);  // waiting values are read too
        EXPECT_FALSE(KeyExists());
        store.Flush();
        EXPECT_TRUE(KeyExists());
        EXPECT_EQ(store.Get("Alarm"), values[5].second);
    }
    const RegistryStore reread(title_);
    EXPECT_TRUE(reread.Exists());
    for (const auto& [name, value] : values) EXPECT_EQ(reread.Get(name), value) << name;
    EXPECT_EQ(reread.Get("FILENAME"), values[4].second);

    // What other programs see: texts in UTF-16 with their terminating zero.
    const auto [type, data] = GetRaw(L"Fon");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    const std::wstring expected = L"Segoe \"UI\" \\ Z\u00fcrich \u6771\u4eac";
    ASSERT_EQ(data.size(), (expected.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::memcmp(data.data(), expected.c_str(), data.size()), 0);
    EXPECT_EQ(GetRaw(L"Left"), std::make_pair(DWORD{REG_DWORD}, Bytes({0, 0, 0, 0x80})));
}

TEST_F(RegistryStoreTest, ReadsValuesOtherProgramsWrote)
{
    const wchar_t path[] = L"%USERPROFILE%\\L\u00e4ufe";
    SetRaw(L"Folder", REG_EXPAND_SZ, path, sizeof path);
    const wchar_t unterminated[] = {L'a', L'b'};
    SetRaw(L"NoZero", REG_SZ, unterminated, sizeof unterminated);
    const wchar_t multi[] = L"one\0two\0";
    SetRaw(L"Multi", REG_MULTI_SZ, multi, sizeof multi);
    const DWORD count = 42;
    SetRaw(L"Count", REG_DWORD, &count, sizeof count);

    RegistryStore store(title_);
    EXPECT_TRUE(store.Exists());
    EXPECT_EQ(store.Get("Folder"), RegValue::Text("%USERPROFILE%\\Läufe", RegType::ExpandSz));
    EXPECT_EQ(ReadText(store, "Folder"), "%USERPROFILE%\\Läufe");
    EXPECT_EQ(store.Get("NoZero"), RegValue::Text("ab"));
    EXPECT_EQ(ReadInteger(store, "Count"), 42);

    // A type this program does not know keeps its type and bytes, also when saved again.
    std::vector<std::uint8_t> multiBytes(sizeof multi);
    std::memcpy(multiBytes.data(), multi, sizeof multi);
    const RegValue foreign{REG_MULTI_SZ, multiBytes};
    EXPECT_EQ(store.Get("Multi"), foreign);
    store.Set("Multi", *store.Get("Multi"));
    store.Flush();
    EXPECT_EQ(GetRaw(L"Multi"), std::make_pair(DWORD{REG_MULTI_SZ}, multiBytes));
}

TEST_F(RegistryStoreTest, ReplacesValuesAndReachesThemThroughTheFactory)
{
    const std::unique_ptr<SettingsStore> store = OpenSettingsStore(title_);
    EXPECT_FALSE(store->Exists());
    WriteInteger(*store, "Zoom", 1);
    WriteInteger(*store, "ZOOM", 2);
    store->Flush();
    WriteText(*store, "Fon", "Arial");
    EXPECT_EQ(OpenSettingsStore(title_)->Get("Fon"), std::nullopt);  // not yet flushed
    store->Flush();

    const std::unique_ptr<SettingsStore> reopened = OpenSettingsStore(title_);
    EXPECT_EQ(ReadInteger(*reopened, "Zoom"), 2);
    EXPECT_EQ(ReadText(*reopened, "Fon"), "Arial");
    EXPECT_EQ(SettingsLocation(title_), "HKEY_CURRENT_USER\\Software\\Orvantis\\" + title_);
}

TEST_F(RegistryStoreTest, AnAbsentOrMistypedValueNamesTheKey)
{
    const DWORD left = 10;
    SetRaw(L"LeftP", REG_DWORD, &left, sizeof left);
    SetRaw(L"WidthP", REG_SZ, L"wide", sizeof L"wide");
    const RegistryStore store(title_);
    const std::string key = RegistryStore::KeyName(title_);
    EXPECT_EQ(ReadInteger(store, "LeftP"), 10);
    try {
        ReadInteger(store, "TopP");
        ADD_FAILURE() << "an absent value was read";
    } catch (const SettingsError& error) {
        EXPECT_EQ(std::string(error.what()), "Failed to get data for 'TopP' in " + key);
    }
    try {
        ReadInteger(store, "WidthP");
        ADD_FAILURE() << "a text was read as an integer";
    } catch (const SettingsError& error) {
        EXPECT_EQ(std::string(error.what()), "Invalid data type for 'WidthP' in " + key);
    }
}

// Windows allows 255 characters for a key's name and 16,383 for a value's.
// A value the program cannot read keeps its type and bytes under a name that
// tells when, written by the save that writes over the value itself.
TEST_F(RegistryStoreTest, AValueKeptAsideIsAnotherValueOfTheKey)
{
    RegistryStore store(title_);
    const std::string place = store.KeepAside("PendingRuns", RegValue::Dword(42));
    const std::string lead = "the value \"PendingRuns-";
    const std::string tail = ".damaged\" of " + RegistryStore::KeyName(title_);
    ASSERT_EQ(place.size(), lead.size() + 15 + tail.size()) << place;  // 20260407-140509
    EXPECT_TRUE(place.starts_with(lead) && place.ends_with(tail)) << place;
    store.Flush();
    const std::string kept = "PendingRuns-" + place.substr(lead.size(), 15) + ".damaged";
    EXPECT_EQ(GetRaw(std::wstring(kept.begin(), kept.end()).c_str()),
              (std::pair<DWORD, std::vector<std::uint8_t>>{REG_DWORD, Bytes({42, 0, 0, 0})}));
}

TEST_F(RegistryStoreTest, AFailedFlushNamesTheKeyAndTheValue)
{
    const std::string longName(20'000, 'N');
    RegistryStore store(title_);
    store.Set(longName, RegValue::Dword(1));
    try {
        store.Flush();
        ADD_FAILURE() << "a value name of 20,000 characters was taken";
    } catch (const SettingsError& error) {
        const std::string message = error.what();
        EXPECT_TRUE(message.starts_with("Failed to set data for '" + longName + "' in ")) << message.substr(0, 60);
        EXPECT_NE(message.find(RegistryStore::KeyName(title_)), std::string::npos);
    }

    const std::string longTitle = title_ + std::string(300, 'K');
    RegistryStore tooLong(longTitle);
    try {
        tooLong.Flush();
        ADD_FAILURE() << "a key name of 300 characters was taken";
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (subKey_ + std::wstring(300, L'K')).c_str());
    } catch (const SettingsError& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with("Failed to create key " + RegistryStore::KeyName(longTitle)))
            << error.what();
    }
    EXPECT_FALSE(tooLong.Exists());
}

}  // namespace
}  // namespace chronivel

#endif  // _WIN32
