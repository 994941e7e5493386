// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file of systems without a registry; Windows keeps its
// settings in the registry instead (registrystore_test.cpp).
#ifndef _WIN32

#include "platform/regfilestore.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "core/regfile.h"
#include "core/settings.h"
#include "core/textencoding.h"
#include "platform/systemsettingsstore.h"
#include "scopedenv.h"

namespace chronivel {
namespace {

namespace fs = std::filesystem;

constexpr const char* Key = "HKEY_CURRENT_USER\\Software\\Orvantis\\Test";

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text of a file we wrote, in UTF-8: regedit's "Unicode" form is UTF-16.
std::string TextOf(const fs::path& path)
{
    const std::string bytes = Contents(path);
    EXPECT_TRUE(bytes.starts_with("\xFF\xFE")) << path;
    return Utf16LeToUtf8(std::string_view(bytes).substr(2));
}

void WriteFile(const fs::path& path, std::string_view text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

class RegFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "chronivel-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

TEST_F(RegFileStoreTest, AnAbsentFileIsAFirstStart)
{
    const RegFileStore store((folder_ / "none.reg").string(), Key);
    EXPECT_FALSE(store.Exists());
    EXPECT_EQ(store.OpenProblem(), "");
    EXPECT_FALSE(store.Get("Left"));
}

TEST_F(RegFileStoreTest, EveryTypeReadsBackFromTheFile)
{
    const fs::path path = folder_ / "settings.reg";
    std::vector<std::uint8_t> everyByte;
    for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<std::uint8_t>(i));
    const NamedValues values = {
        {"Left", RegValue::Dword(-120)},
        {"Fon", RegValue::Text("Segoe \"UI\" \\ Zürich")},
        {"Note", RegValue::Text("two\nlines")},
        {"FileName", RegValue::Text("%HOME%/Läufe.txt", RegType::ExpandSz)},
        {"Alarm", RegValue::Binary(everyByte)},
        {"Multi", RegValue{7, {'a', 0, 0}}},
        {"", RegValue::Text("default")},
    };
    {
        RegFileStore store(path.string(), Key);
        for (const auto& [name, value] : values) store.Set(name, value);
        store.Set("Left", RegValue::Dword(5));  // replaced where it stands
        EXPECT_FALSE(store.Exists());
        store.Flush();
        EXPECT_EQ(store.Get("left"), RegValue::Dword(5));
    }
    const std::string text = TextOf(path);
    EXPECT_TRUE(text.starts_with("Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]\r\n\"Left\"=dword:00000005\r\n"))
        << text;

    const RegFileStore reread(path.string(), Key);
    EXPECT_TRUE(reread.Exists());
    EXPECT_EQ(reread.OpenProblem(), "");
    EXPECT_EQ(reread.Get("Left"), RegValue::Dword(5));
    for (std::size_t i = 1; i < values.size(); ++i) EXPECT_EQ(reread.Get(values[i].first), values[i].second);
    EXPECT_EQ(reread.Get("FILENAME"), values[3].second);  // names ignore case, as in the registry
    EXPECT_FALSE(reread.Get("Top"));
}

// A save is written later, on another thread, while the program sets values
// again: it holds the values of its moment, and the lines it keeps of values
// that did not change are those that WriteRegFile makes.
TEST_F(RegFileStoreTest, ASaveHoldsTheValuesOfItsMomentByteForByte)
{
    const fs::path path = folder_ / "settings.reg";
    RegFileStore store(path.string(), Key);
    NamedValues mirror;
    const auto set = [&](std::string_view name, RegValue value) {
        store.Set(name, value);
        SetValue(mirror, name, std::move(value));
    };
    set("Left", RegValue::Dword(10));
    set("Ballast", RegValue::Text(std::string(100'000, 'x')));
    set("FileName", RegValue::Text("/data/Protocol.txt"));
    const std::unique_ptr<SettingsSave> first = store.TakeSave();
    const std::string firstBytes = WriteRegFile(Key, mirror);

    set("LEFT", RegValue::Dword(11));  // the same value in another spelling
    set("TickCount", RegValue::Binary({1, 2, 3, 4, 5, 6, 7, 8}));
    set("FileName", RegValue::Text("/data/Protocol.txt"));  // unchanged
    const std::unique_ptr<SettingsSave> second = store.TakeSave();
    const std::string secondBytes = WriteRegFile(Key, mirror);
    set("Left", RegValue::Dword(10));  // back, after the second was taken
    set("TickCount", RegValue::Binary({}));

    first->Write();
    EXPECT_EQ(Contents(path), firstBytes);
    second->Write();
    EXPECT_EQ(Contents(path), secondBytes);
    store.Flush();
    EXPECT_EQ(Contents(path), WriteRegFile(Key, mirror));
    EXPECT_EQ(RegFileStore(path.string(), Key).Get("Left"), RegValue::Dword(10));
}

TEST_F(RegFileStoreTest, RefusesNamesTheFileCannotHold)
{
    RegFileStore store((folder_ / "s.reg").string(), Key);
    EXPECT_THROW(store.Set("two\nlines", RegValue::Dword(1)), SettingsError);
    EXPECT_FALSE(store.Get("two\nlines"));
}

TEST_F(RegFileStoreTest, MakesMissingFoldersForTheUserAlone)
{
    const fs::path path = folder_ / "config" / "Orvantis" / "settings.reg";
    RegFileStore store(path.string(), Key);
    store.Set("Zoom", RegValue::Dword(2));
    store.Flush();

    for (const fs::path& made : {folder_ / "config", folder_ / "config" / "Orvantis"}) {
        struct stat info {};
        ASSERT_EQ(::stat(made.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }
    EXPECT_EQ(Entries(path.parent_path()), std::vector<std::string>{"settings.reg"});  // no temporary left over
    EXPECT_EQ(RegFileStore(path.string(), Key).Get("Zoom"), RegValue::Dword(2));
}

TEST_F(RegFileStoreTest, ALinkedFileStaysALinkAndItsTargetGetsTheSave)
{
    // As a dotfile manager leaves it: the settings file a link into a
    // repository of the user's, readable by the group there.
    const fs::path repository = folder_ / "dotfiles";
    fs::create_directories(repository);
    const fs::path target = repository / "Chronivel.reg";
    const fs::path path = folder_ / "settings.reg";
    {
        RegFileStore first(target.string(), Key);
        first.Set("Zoom", RegValue::Dword(1));
        first.Flush();
    }
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    fs::create_symlink(target, path);

    RegFileStore store(path.string(), Key);
    EXPECT_EQ(store.Get("Zoom"), RegValue::Dword(1));
    store.Set("Zoom", RegValue::Dword(3));
    store.Flush();
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(RegFileStore(target.string(), Key).Get("Zoom"), RegValue::Dword(3));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(repository), std::vector<std::string>{"Chronivel.reg"});

    // A link whose file is not there yet (a fresh checkout): the save makes it.
    const fs::path fresh = folder_ / "fresh.reg";
    fs::create_symlink(repository / "Fresh.reg", fresh);
    RegFileStore first(fresh.string(), Key);
    EXPECT_FALSE(first.Exists());
    first.Set("Zoom", RegValue::Dword(4));
    first.Flush();
    EXPECT_TRUE(fs::is_symlink(fresh));
    EXPECT_EQ(RegFileStore((repository / "Fresh.reg").string(), Key).Get("Zoom"), RegValue::Dword(4));
}

TEST_F(RegFileStoreTest, ADamagedFileIsReportedOnceAndRewrittenClean)
{
    const fs::path path = folder_ / "settings.reg";
    WriteFile(path,
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]\r\n"
              "\"Left\"=dword:00000010\r\n"
              "\"Top\"=dword:123\r\n"
              "\"Fon\"=\"Arial\"\r\n"
              "\"Zoom\"=hex:01,zz\r\n");
    {
        RegFileStore store(path.string(), Key);
        EXPECT_TRUE(store.Exists());
        EXPECT_EQ(store.OpenProblem(), "Settings file " + path.string() +
                                           ", line 5: a dword must be 8 hex digits; the other values were read, "
                                           "and the file will be rewritten at the next save.");
        EXPECT_EQ(store.Get("Left"), RegValue::Dword(16));
        EXPECT_EQ(store.Get("Fon"), RegValue::Text("Arial"));
        EXPECT_FALSE(store.Get("Top"));
        EXPECT_FALSE(store.Get("Zoom"));
        store.Set("Top", RegValue::Dword(3));
        store.Flush();
    }
    const RegFileStore reread(path.string(), Key);
    EXPECT_EQ(reread.OpenProblem(), "");
    EXPECT_EQ(reread.Get("Left"), RegValue::Dword(16));
    EXPECT_EQ(reread.Get("Top"), RegValue::Dword(3));
    EXPECT_EQ(reread.Get("Fon"), RegValue::Text("Arial"));
    EXPECT_TRUE(TextOf(path).starts_with("Windows Registry Editor Version 5.00\r\n"));
}

// Before, texts went into a REGEDIT4 file as UTF-8, which regedit reads
// garbled; such a file still loads, and the next save makes it regedit's own.
TEST_F(RegFileStoreTest, AFileOfAnEarlierVersionLoadsTheSameTexts)
{
    const fs::path path = folder_ / "settings.reg";
    const std::string fileName = "/home/j\u00FCrgen/L\u00E4ufe \u20AC/\u03A9 \u65E5\u672C.txt";
    const std::string fon = "C:\\Stra\u00DFe\\\u0142\u00F3d\u017A \U0001F3C1.bmp";
    WriteFile(path,
              "REGEDIT4\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]\n"
              "\"FileName\"=\"/home/j\u00FCrgen/L\u00E4ufe \u20AC/\u03A9 \u65E5\u672C.txt\"\n"
              "\"Fon\"=\"C:\\\\Stra\u00DFe\\\\\u0142\u00F3d\u017A \U0001F3C1.bmp\"\n"
              "\"Note\"=hex(1):c3,a4,0a,ce,a9,00\n"
              "\n");
    {
        RegFileStore store(path.string(), Key);
        EXPECT_EQ(store.OpenProblem(), "");
        EXPECT_EQ(ReadText(store, "FileName"), fileName);
        EXPECT_EQ(ReadText(store, "Fon"), fon);
        EXPECT_EQ(ReadText(store, "Note"), "\u00E4\n\u03A9");
        store.Flush();
    }
    EXPECT_NE(TextOf(path).find("\r\n\"FileName\"=\"/home/j\u00FCrgen/L\u00E4ufe \u20AC/\u03A9 \u65E5\u672C.txt\"\r\n"),
              std::string::npos);
    const RegFileStore reread(path.string(), Key);
    EXPECT_EQ(ReadText(reread, "FileName"), fileName);
    EXPECT_EQ(ReadText(reread, "Fon"), fon);
    EXPECT_EQ(ReadText(reread, "Note"), "\u00E4\n\u03A9");
}

TEST_F(RegFileStoreTest, AnAbsentOrMistypedValueNamesTheFile)
{
    const fs::path path = folder_ / "settings.reg";
    WriteFile(path, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]\n\"WidthP\"=\"wide\"\n");
    const RegFileStore store(path.string(), Key);
    const auto messageOf = [&](auto read) {
        try {
            read();
        } catch (const SettingsError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(messageOf([&] { ReadInteger(store, "LeftP"); }), "Failed to get data for 'LeftP' in " + path.string());
    EXPECT_EQ(messageOf([&] { ReadInteger(store, "WidthP"); }), "Invalid data type for 'WidthP' in " + path.string());

    // The main window's values as well, each absent one named, with the file.
    Settings settings;
    const std::string message = LoadSettings(store, settings, LoadMoment{}).Message(store.Location());
    EXPECT_TRUE(message.starts_with("Failed to get data for 'Left' (missing), 'Top' (missing), ")) << message;
    EXPECT_NE(message.find("'Alg' (missing) in " + path.string() + ": they take their defaults."), std::string::npos)
        << message;
}

TEST_F(RegFileStoreTest, AFileWithoutOurKeyOrUnreadableGivesDefaults)
{
    const fs::path otherKey = folder_ / "other.reg";
    WriteFile(otherKey, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvantis\\Else]\n\"Left\"=dword:00000001\n");
    const RegFileStore foreign(otherKey.string(), Key);
    EXPECT_FALSE(foreign.Exists());
    EXPECT_FALSE(foreign.Get("Left"));
    EXPECT_EQ(foreign.OpenProblem(), "Settings file " + otherKey.string() + ": the key [" + Key +
                                         "] is missing; default settings are used, and the file will be "
                                         "rewritten at the next save.");

    const fs::path garbage = folder_ / "garbage.reg";
    WriteFile(garbage, "\x7f" "ELF\x02\x01\x01");
    const RegFileStore binary(garbage.string(), Key);
    EXPECT_FALSE(binary.Exists());
    EXPECT_EQ(binary.OpenProblem(), "Settings file " + garbage.string() +
                                        ", line 1: it does not begin with REGEDIT4; default settings are used, and "
                                        "the file will be rewritten at the next save.");

    // A folder where the file should be: it cannot be read, nor replaced.
    const fs::path folderInTheWay = folder_ / "folder.reg";
    fs::create_directory(folderInTheWay);
    fs::create_directory(folderInTheWay / "inside");
    RegFileStore blocked(folderInTheWay.string(), Key);
    EXPECT_FALSE(blocked.Exists());
    EXPECT_NE(blocked.OpenProblem().find(folderInTheWay.string() + " cannot be read (Is a directory)"),
              std::string::npos)
        << blocked.OpenProblem();
    blocked.Set("Left", RegValue::Dword(1));
    EXPECT_THROW(blocked.Flush(), SettingsError);
    EXPECT_FALSE(blocked.Exists());
    EXPECT_EQ(Entries(folder_).size(), 3u) << "a temporary file was left over";
}

TEST_F(RegFileStoreTest, AFailedSaveNamesTheFileAndLeavesNothingBehind)
{
    const fs::path notAFolder = folder_ / "plain";
    WriteFile(notAFolder, "x");
    const std::string path = (notAFolder / "Orvantis" / "settings.reg").string();
    RegFileStore store(path, Key);
    store.Set("Left", RegValue::Dword(1));
    try {
        store.Flush();
        ADD_FAILURE() << "saved below a plain file";
    } catch (const SettingsError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("'" + path + "'"), std::string::npos) << message;
        EXPECT_NE(message.find("Not a directory"), std::string::npos) << message;
    }
    EXPECT_FALSE(store.Exists());
    EXPECT_EQ(Contents(notAFolder), "x");
}

// Root may write anywhere, but not past the process's file size limit; so a
// save that runs into it shows what a full disk would do.
TEST_F(RegFileStoreTest, AFailedSaveKeepsThePreviousFileWhole)
{
    const fs::path path = folder_ / "settings.reg";
    {
        RegFileStore store(path.string(), Key);
        store.Set("Left", RegValue::Dword(7));
        store.Flush();
    }
    const std::string before = Contents(path);

    RegFileStore store(path.string(), Key);
    store.Set("Block", RegValue::Binary(std::vector<std::uint8_t>(100'000, 0xAB)));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        store.Flush();
    } catch (const SettingsError& error) {
        message = error.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(message.find(path.string()), std::string::npos) << message;
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(Contents(path), before);
    EXPECT_EQ(Entries(folder_), std::vector<std::string>{"settings.reg"});
    EXPECT_EQ(RegFileStore(path.string(), Key).Get("Left"), RegValue::Dword(7));
}

TEST_F(RegFileStoreTest, LivesInTheXdgConfigFolder)
{
    const std::string home = (folder_ / "home").string();
    const std::string config = (folder_ / "xdg").string();
    const ScopedEnv homeEnv("HOME", home.c_str());
    ScopedEnv xdgEnv("XDG_CONFIG_HOME", nullptr);

    EXPECT_EQ(SettingsLocation("Chronivel"), home + "/.config/Orvantis/Chronivel.reg");
    for (const char* ignored : {"", "relative/config"}) {
        ScopedEnv::Set("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(SettingsLocation("Chronivel"), home + "/.config/Orvantis/Chronivel.reg") << ignored;
    }
    ScopedEnv::Set("XDG_CONFIG_HOME", (config + "/").c_str());
    EXPECT_EQ(SettingsLocation("Chronivel"), config + "/Orvantis/Chronivel.reg");

    {
        const std::unique_ptr<SettingsStore> store = OpenSettingsStore("Chronivel");
        EXPECT_FALSE(store->Exists());
        WriteInteger(*store, "CountDownT", 90'000);
        store->Flush();
    }
    const std::string text = TextOf(config + "/Orvantis/Chronivel.reg");
    EXPECT_NE(text.find("\n[HKEY_CURRENT_USER\\Software\\Orvantis\\Chronivel]\r\n"), std::string::npos) << text;
    const std::unique_ptr<SettingsStore> reopened = OpenSettingsStore("Chronivel");
    EXPECT_TRUE(reopened->Exists());
    EXPECT_EQ(ReadInteger(*reopened, "CountDownT"), 90'000);
    EXPECT_FALSE(fs::exists(home));
}

// A value the program cannot read and will write over keeps its bytes in a
// file of their own beside the settings, named after the value and the moment.
TEST_F(RegFileStoreTest, AValueKeptAsideGoesToAFileBesideTheSettings)
{
    const RegValue damaged = RegValue::Binary({'S', 'T', 'A', 'R', 'T', 0, 0xFF});
    const std::string place = RegFileStore((folder_ / "Chronivel.reg").string(), Key).KeepAside("PendingRuns", damaged);
    const std::vector<std::string> names = Entries(folder_);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(std::regex_match(names[0], std::regex(R"(Chronivel\.PendingRuns-20\d{6}-\d{6}\.damaged)"))) << names[0];
    EXPECT_EQ(place, "\"" + (folder_ / names[0]).string() + "\"");
    EXPECT_EQ(Contents(folder_ / names[0]), std::string("START\0\xFF", 7));
    EXPECT_EQ(fs::status(folder_ / names[0]).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    WriteFile(folder_ / "plain", "");
    RegFileStore below((folder_ / "plain" / "Chronivel.reg").string(), Key);
    try {
        below.KeepAside("PendingRuns", damaged);
        FAIL() << "kept below a file";
    } catch (const SettingsError& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with("Cannot keep 'PendingRuns' in '" + folder_.string() +
                                                          "/plain/Chronivel.PendingRuns-"))
            << error.what();
    }
}

// Each kill during a save leaves a temporary file as large as the settings.
TEST_F(RegFileStoreTest, AStartRemovesTheTemporaryFilesOfCutSavesAndNothingElse)
{
    const ScopedEnv xdgEnv("XDG_CONFIG_HOME", folder_.c_str());
    const fs::path settings = folder_ / "Orvantis";
    std::vector<std::string> kept{"Chronivel.reg",          ".Chronivel.reg.aB3dE",   ".Chronivel.reg.aB3dE99",
                                  ".Chronivel.reg.aB-dE9",  "Chronivel.reg.aB3dE9",   ".Chronivel.reg.aB3dE9~",
                                  ".Chronivel 2.reg.aB3dE9", ".Chronivel.reg.Qw3rTy", ".Chronivel.reg.L1nked"};
    fs::create_directories(settings / kept[7]);  // a folder and a link of the name stay
    fs::create_symlink(settings / kept[0], settings / kept[8]);
    for (std::size_t i = 0; i < 7; ++i) WriteFile(settings / kept[i], "settings");
    for (const char* leftover : {".Chronivel.reg.aB3dE9", ".Chronivel.reg.ZZZZZZ"}) WriteFile(settings / leftover, "");
    fs::create_directories(folder_ / "elsewhere");
    WriteFile(folder_ / "elsewhere" / ".Chronivel.reg.aB3dE9", "not beside the settings");

    RemoveSettingsLeftovers("Chronivel");
    std::vector<std::string> names = Entries(settings);
    std::sort(names.begin(), names.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(names, kept);
    EXPECT_TRUE(fs::exists(folder_ / "elsewhere" / ".Chronivel.reg.aB3dE9"));
    fs::remove_all(settings);
    RemoveSettingsLeftovers("Chronivel");  // no folder yet: a first start
}

}  // namespace
}  // namespace chronivel

#endif  // _WIN32
