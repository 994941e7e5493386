// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/protocolfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>

#include "scopedenv.h"
#endif

#ifdef _WIN32
#include "platform/win32file.h"
#include "platform/win32text.h"
#endif

#include "scratchfoldertest.h"

namespace chronivel {
namespace {

namespace fs = std::filesystem;

// 1252 bytes and CR LF, which a text-mode write would spoil.
const std::string kBlockA = "START 1 = 14:05:09 = Mo. 07.12.26\r\nLAP 1 = 12,345\r\n\r\n";
const std::string kBlockB = "___________________________________\r\nSTOP: = 30,500 \xD8 15,250\r\n\r\n";

class ProtocolFileTest : public ScratchFolderTest {
protected:
    ProtocolFileTest() : ScratchFolderTest("chronivel-protocol-") {}
};

TEST_F(ProtocolFileTest, AppendCreatesTheFileThenAddsToItsEnd)
{
    const std::string path = PathOf("Protocol.txt");
    ASSERT_TRUE(AppendToProtocol(path, kBlockA));
    EXPECT_EQ(Bytes(path), kBlockA);
    ASSERT_TRUE(AppendToProtocol(path, kBlockB));
    EXPECT_EQ(Bytes(path), kBlockA + kBlockB);
    EXPECT_EQ(Names(), std::vector<std::string>{"Protocol.txt"});
}

// A file an editor saved without a last line end, or one cut off mid-line:
// the block still starts on a line of its own, and the bytes before stay.
TEST_F(ProtocolFileTest, AppendStartsTheBlockOnALineOfItsOwn)
{
    const std::string path = PathOf("Protocol.txt");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"hand note", "hand note\r\n"},
        {"note\r", "note\r\n"},  // cut between CR and LF
        {"note\r\n", "note\r\n"},
        {"unix note\n", "unix note\n"},
        {"", ""},
    };
    for (const auto& [before, after] : cases) {
        Put(path, before);
        ASSERT_TRUE(AppendToProtocol(path, kBlockA));
        EXPECT_EQ(Bytes(path), after + kBlockA) << before;
        EXPECT_TRUE(ProtocolEndsWith(path, kBlockA)) << "a run is not written twice after a kill: " << before;
    }
}

TEST_F(ProtocolFileTest, AppendThatCannotOpenFailsAndWritesNothing)
{
    const std::string plain = PathOf("plain.txt");
    Put(plain, "untouched");
    EXPECT_FALSE(AppendToProtocol(plain + "/Protocol.txt", kBlockA));  // a folder path below a file
    EXPECT_FALSE(AppendToProtocol(Dir(), kBlockA));                     // a folder itself
    EXPECT_FALSE(AppendToProtocol("", kBlockA));
    EXPECT_EQ(Bytes(plain), "untouched");
    EXPECT_EQ(Names(), std::vector<std::string>{"plain.txt"});
}

TEST_F(ProtocolFileTest, AFailedAppendGivesTheSystemsReason)
{
    std::string reason;
    EXPECT_FALSE(AppendToProtocol(Dir(), kBlockA, &reason));
    EXPECT_FALSE(reason.empty());
    reason.clear();
    EXPECT_FALSE(AppendToProtocol(PathOf("missing/Protocol.txt"), kBlockA, &reason));
    EXPECT_FALSE(reason.empty());
#ifndef _WIN32
    EXPECT_EQ(reason, std::strerror(ENOENT));
    EXPECT_FALSE(AppendToProtocol(Dir(), kBlockA, &reason));
    EXPECT_EQ(reason, std::strerror(EISDIR));
#endif
}

TEST_F(ProtocolFileTest, TellsWhetherTheFileEndsWithARun)
{
    const std::string path = PathOf("Protocol.txt");
    EXPECT_FALSE(ProtocolEndsWith(path, kBlockA)) << "no file";
    ASSERT_TRUE(AppendToProtocol(path, kBlockA));
    EXPECT_TRUE(ProtocolEndsWith(path, kBlockA));
    ASSERT_TRUE(AppendToProtocol(path, kBlockB));
    EXPECT_FALSE(ProtocolEndsWith(path, kBlockA)) << "in the file, but not at its end";
    EXPECT_TRUE(ProtocolEndsWith(path, kBlockB));
    EXPECT_TRUE(ProtocolEndsWith(path, kBlockA + kBlockB));
    EXPECT_FALSE(ProtocolEndsWith(path, "x" + kBlockA + kBlockB)) << "longer than the file";
    EXPECT_FALSE(ProtocolEndsWith(Dir(), kBlockA));

    ProtocolFile protocol;
    const std::vector<std::string> run{"START 2 = 14:05:09 = Mo. 07.12.26", "STOP: = 30,500"};
    EXPECT_FALSE(protocol.EndsWith(path, run));
    EXPECT_EQ(protocol.Append(path, run), "");
    EXPECT_TRUE(protocol.EndsWith(path, run));
    EXPECT_NE(protocol.Append(Dir(), run), "");
}

// Laps of one long run, `bytes` long: no START line among them.
std::string Laps(std::size_t bytes)
{
    std::string laps;
    while (laps.size() < bytes) laps += "LAP 1 = 12,345\r\n";
    return laps;
}

// The day's runs are read from the file's end, as far back as they go, but
// no further than a few megabytes: a protocol may hold years of runs.
TEST_F(ProtocolFileTest, TheDaysHighestRunNumberComesFromTheFilesEnd)
{
    const std::string path = PathOf("Protocol.txt");
    const ProtocolFile protocol;
    EXPECT_EQ(protocol.HighestRunNumberOn(path, "07.12.26"), 0) << "no file";
    const std::string yesterday = "START 9 = 09:00:00 = So. 06.12.26\r\nSTOP: = 1,000\r\n\r\n";
    const std::string today7 = "START 7 = 10:00:00 = Mo. 07.12.26\r\nSTOP: = 1,000\r\n\r\n";
    const std::string today2 = "START 2 = 11:00:00 = Mo. 07.12.26\r\n";  // counted anew after a loss
    Put(path, Laps(100'000) + yesterday + today7 + today2 + Laps(1'000'000));
    EXPECT_EQ(protocol.HighestRunNumberOn(path, "07.12.26"), 7) << "behind a megabyte of laps";
    EXPECT_EQ(protocol.HighestRunNumberOn(path, "06.12.26"), 9);
    EXPECT_EQ(protocol.HighestRunNumberOn(path, "08.12.26"), 0);
    Put(path, yesterday + "hand note" + today7);
    EXPECT_EQ(protocol.HighestRunNumberOn(path, "07.12.26"), 7) << "glued to a line without its end";
    Put(path, today7 + Laps(5'000'000));
    EXPECT_EQ(protocol.HighestRunNumberOn(path, "07.12.26"), 0) << "read no further back than a few megabytes";
}

TEST_F(ProtocolFileTest, ExistsOnlyForAFileByItsUtf8Name)
{
    ProtocolFile protocol;
    const std::string path = PathOf("L\xC3\xA4ufe.txt");  // "Läufe.txt"
    EXPECT_FALSE(protocol.Exists(path));
    ASSERT_EQ(protocol.Append(path, {"START 1 = 14:05:09 = Mo. 07.12.26"}), "");
    EXPECT_TRUE(protocol.Exists(path));
    EXPECT_FALSE(protocol.Exists(Dir())) << "a folder is no protocol";
    EXPECT_FALSE(protocol.Exists(""));
}

TEST_F(ProtocolFileTest, ReadGivesTheBytesOrTheErrorTheUserSees)
{
    const std::string path = PathOf("Protocol.txt");
    const std::string bytes = kBlockA + std::string(70'000, 'x') + kBlockB;  // more than one read's worth
    Put(path, bytes);
    EXPECT_EQ(ReadProtocol(path), bytes);

    const std::string missing = PathOf("missing.txt");
    try {
        ReadProtocol(missing);
        FAIL() << "no error for a missing file";
    } catch (const std::runtime_error& e) {
        const std::string prefix = "Cannot open file \"" + missing + "\". ";
        const std::string message = e.what();
        ASSERT_EQ(message.substr(0, prefix.size()), prefix);
        EXPECT_GT(message.size(), prefix.size()) << "the system's reason is missing";
#ifndef _WIN32
        EXPECT_EQ(message.substr(prefix.size()), std::strerror(ENOENT));
#endif
    }
}

TEST_F(ProtocolFileTest, ReplaceSwapsTheWholeContentAndLeavesNoTemporaryFile)
{
    const std::string path = PathOf("Protocol.txt");
    Put(path, kBlockA + kBlockB + kBlockA);
    ReplaceProtocol(path, kBlockB);
    EXPECT_EQ(Bytes(path), kBlockB);
    ReplaceProtocol(path, "");
    EXPECT_EQ(Bytes(path), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"Protocol.txt"});

    const std::string fresh = PathOf("new.txt");
    ReplaceProtocol(fresh, kBlockA);
    EXPECT_EQ(Bytes(fresh), kBlockA);
}

TEST_F(ProtocolFileTest, ReplaceThatCannotWriteThrowsNamingThePath)
{
    const std::string plain = PathOf("plain.txt");
    Put(plain, "untouched");
    const std::string below = plain + "/Protocol.txt";
    try {
        ReplaceProtocol(below, kBlockA);
        FAIL() << "no error for a path below a file";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + below + "\""), std::string::npos) << e.what();
    }
    EXPECT_THROW(ReplaceProtocol("", kBlockA), std::runtime_error);
    EXPECT_EQ(Bytes(plain), "untouched");
    EXPECT_EQ(Names(), std::vector<std::string>{"plain.txt"});
}

TEST_F(ProtocolFileTest, WriteProblemIsNothingWhereAppendWouldWriteAndMakesNoFile)
{
    const std::string existing = PathOf("Protocol.txt");
    Put(existing, kBlockA);
    EXPECT_EQ(ProtocolWriteProblem(existing), "");
    EXPECT_EQ(ProtocolWriteProblem(PathOf("New.txt")), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"Protocol.txt"}) << "neither the file nor a trial file is left";
    EXPECT_EQ(Bytes(existing), kBlockA);
    EXPECT_EQ(ProtocolFile().WriteProblem(PathOf("New.txt")), "");
}

TEST_F(ProtocolFileTest, WriteProblemGivesTheSystemsReasonWhereAppendWouldFail)
{
    const std::string missingFolder = PathOf("missing/Protocol.txt");
    fs::create_directory(PathOf("folder"));
#ifdef _WIN32
    for (const std::string& path : {missingFolder, PathOf("folder")})
        EXPECT_NE(ProtocolWriteProblem(path), "") << path;
    // A spreadsheet that has the file open lets no one else write it.
    const std::string held = PathOf("held.txt");
    Put(held, kBlockA);
    {
        const FileHandle holder(CreateFileW(Utf16(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder.Valid());
        EXPECT_EQ(ProtocolWriteProblem(held), SystemMessage(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(ProtocolWriteProblem(held), "");
#else
    EXPECT_EQ(ProtocolWriteProblem(missingFolder), std::strerror(ENOENT));
    EXPECT_EQ(ProtocolWriteProblem(PathOf("folder")), std::strerror(EISDIR));
    EXPECT_EQ(ProtocolWriteProblem(PathOf("folder") + "/"), std::strerror(EISDIR));
#endif
    EXPECT_NE(ProtocolWriteProblem(""), "");
    EXPECT_FALSE(fs::exists(PathOf("missing")));
}

#ifndef _WIN32

// What ProtocolWriteProblem says to a user without root's right to write
// anywhere: run as nobody when the test runs as root. Nullopt when that fails.
std::optional<std::string> UnprivilegedWriteProblem(const std::string& path)
{
    if (::geteuid() != 0) return ProtocolWriteProblem(path);
    int pipe[2];
    if (::pipe(pipe) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        constexpr uid_t nobody = 65534;
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(2);
        const std::string said = ProtocolWriteProblem(path);
        const bool written = ::write(pipe[1], said.data(), said.size()) == static_cast<ssize_t>(said.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(pipe[1]);
    std::string said;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(got));
    ::close(pipe[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return said;
}

TEST_F(ProtocolFileTest, WriteProblemTellsOfAReadOnlyFolderOrFile)
{
    ASSERT_EQ(::chmod(Dir().c_str(), 0755), 0);
    const std::string open = PathOf("open");
    fs::create_directory(open);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    const std::string locked = PathOf("locked");
    fs::create_directory(locked);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    const std::string readOnly = PathOf("open/readonly.txt");
    Put(readOnly, kBlockA);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);

    EXPECT_EQ(UnprivilegedWriteProblem(open + "/Protocol.txt"), "") << "the same user can write beside it";
    EXPECT_EQ(UnprivilegedWriteProblem(locked + "/Protocol.txt"), std::strerror(EACCES));
    EXPECT_EQ(UnprivilegedWriteProblem(readOnly), std::strerror(EACCES));
    EXPECT_TRUE(fs::is_empty(locked));
    EXPECT_EQ(Bytes(readOnly), kBlockA);
    ::chmod(locked.c_str(), 0755);
}

TEST_F(ProtocolFileTest, WriteProblemDoesNotWaitForAPipesReader)
{
    const std::string fifo = PathOf("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::future<std::string> said = std::async(std::launch::async, [&] { return ProtocolWriteProblem(fifo); });
    if (said.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // lets the stuck open go
        said.wait();
        ::close(reader);
        FAIL() << "waited for a reader";
    }
    EXPECT_EQ(said.get(), std::strerror(ENXIO));
}

TEST_F(ProtocolFileTest, ReplaceKeepsTheFilesRightsAndLinks)
{
    const std::string path = PathOf("Protocol.txt");
    Put(path, kBlockA);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const std::string link = PathOf("link.txt");
    fs::create_symlink(path, link);

    ReplaceProtocol(link, kBlockB);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Bytes(path), kBlockB);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(ProtocolFileTest, DefaultPathIsBesideTheProgramWhenThatFolderTakesFiles)
{
    const std::string own = PathOf("Chronivel");  // a portable copy's folder
    fs::create_directory(own);
    const ScopedEnv xdg("XDG_DATA_HOME", PathOf("data").c_str());
    EXPECT_EQ(DefaultProtocolPath(own, "Chronivel"), own + "/Protocol.txt");
    EXPECT_EQ(DefaultProtocolPath(own + "/", "Chronivel"), own + "/Protocol.txt");
    EXPECT_TRUE(fs::is_empty(own)) << "the writing test left its file behind";
    EXPECT_FALSE(fs::exists(PathOf("data")));
}

// An installed program writes nothing beside itself, even where it could:
// as root, or unpacked into a folder of the user's.
TEST_F(ProtocolFileTest, DefaultPathOfAnInstalledProgramIsTheUsersDataFolder)
{
    const std::string root = PathOf("root");
    fs::create_directories(root + "/usr/bin");
    fs::create_directories(root + "/usr/games");
    const ScopedEnv xdg("XDG_DATA_HOME", PathOf("data").c_str());
    const std::string expected = PathOf("data") + "/Orvantis/Chronivel/Protocol.txt";
    for (const std::string& installed : {root + "/usr/bin", root + "/usr/bin/", root + "/usr/games",
                                         std::string("/usr/bin"), std::string("/usr/local/bin")})
        EXPECT_EQ(DefaultProtocolPath(installed, "Chronivel"), expected) << installed;
    EXPECT_TRUE(fs::is_empty(root + "/usr/bin"));
    const std::string binary = PathOf("binary");  // only the folder's own name counts
    fs::create_directory(binary);
    EXPECT_EQ(DefaultProtocolPath(binary, "Chronivel"), binary + "/Protocol.txt");
}

TEST_F(ProtocolFileTest, DefaultPathFallsBackToTheUsersDataFolder)
{
    const std::string plain = PathOf("plain");
    Put(plain, "");
    const std::string unusable = plain + "/bin";  // even root cannot make files there
    {
        const ScopedEnv xdg("XDG_DATA_HOME", PathOf("data").c_str());
        const std::string expected = PathOf("data") + "/Orvantis/Stopwatch 2/Protocol.txt";
        EXPECT_EQ(DefaultProtocolPath(unusable, "Stopwatch 2"), expected);
        EXPECT_TRUE(fs::is_directory(fs::path(expected).parent_path()));
        EXPECT_FALSE(fs::exists(expected)) << "only the folder is made";
    }
    const ScopedEnv home("HOME", PathOf("home").c_str());
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative/data"}) {
        const ScopedEnv unset("XDG_DATA_HOME", xdg);
        EXPECT_EQ(DefaultProtocolPath(unusable, "Chronivel"),
                  PathOf("home") + "/.local/share/Orvantis/Chronivel/Protocol.txt")
            << "XDG_DATA_HOME=" << (xdg ? xdg : "(unset)");
    }
    EXPECT_TRUE(fs::is_directory(PathOf("home") + "/.local/share/Orvantis/Chronivel"));
}

#else

TEST_F(ProtocolFileTest, DefaultPathIsAlwaysBesideTheProgram)
{
    EXPECT_EQ(DefaultProtocolPath(Dir(), "Chronivel"), Dir() + "\\Protocol.txt");
    EXPECT_EQ(DefaultProtocolPath("C:\\Programs\\Chronivel\\", "Chronivel"), "C:\\Programs\\Chronivel\\Protocol.txt");
    EXPECT_TRUE(fs::is_empty(Dir()));
}

#endif

}  // namespace
}  // namespace chronivel
