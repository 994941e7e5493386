// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/atomicfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#ifndef _WIN32
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#endif

#include "scratchfoldertest.h"

namespace chronivel {
namespace {

namespace fs = std::filesystem;

// "done", or the failure in words, for a readable test failure.
std::string Outcome(const std::optional<ReplaceFailure>& failure)
{
    return failure ? failure->step + ": " + failure->reason : "done";
}

class AtomicFileTest : public ScratchFolderTest {
protected:
    AtomicFileTest() : ScratchFolderTest("chronivel-atomic-") {}
};

TEST_F(AtomicFileTest, ReplacesTheWholeContentOrMakesTheFile)
{
    const std::string path = PathOf("data.txt");
    Put(path, std::string(10'000, 'x'));
    for (const Replacement how : {Replacement::Private, Replacement::InPlace}) {
        const std::string bytes = std::string("line\r\n\0\xFF", 8) + std::to_string(static_cast<int>(how));
        EXPECT_EQ(Outcome(ReplaceFileContent(path, bytes, how)), "done");
        EXPECT_EQ(Bytes(path), bytes);
    }
    EXPECT_EQ(Outcome(ReplaceFileContent(path, "", Replacement::Private)), "done");
    EXPECT_EQ(Bytes(path), "");
    EXPECT_EQ(Outcome(ReplaceFileContent(PathOf("new.txt"), "fresh", Replacement::InPlace)), "done");
    EXPECT_EQ(Bytes(PathOf("new.txt")), "fresh");
    EXPECT_EQ(Names(), (std::vector<std::string>{"data.txt", "new.txt"})) << "a temporary file was left over";
}

TEST_F(AtomicFileTest, AFailureNamesItsStepAndTheSystemsReasonAndLeavesNothing)
{
    const std::string plain = PathOf("plain");
    Put(plain, "untouched");
    const std::optional<ReplaceFailure> below = ReplaceFileContent(plain + "/data.txt", "new", Replacement::Private);
    ASSERT_TRUE(below);
    EXPECT_FALSE(below->replaced);
    EXPECT_FALSE(below->step.empty());
    EXPECT_FALSE(below->reason.empty());
#ifndef _WIN32
    EXPECT_EQ(below->step, "cannot create a file in '" + plain + "'");
    EXPECT_EQ(below->reason, std::strerror(ENOTDIR));
#endif

    const std::optional<ReplaceFailure> nameless = ReplaceFileContent("", "new", Replacement::InPlace);
    ASSERT_TRUE(nameless);
    EXPECT_FALSE(nameless->replaced);
    EXPECT_FALSE(nameless->reason.empty());

    // A folder with something in it cannot be renamed over.
    const std::string folder = PathOf("folder");
    fs::create_directories(fs::path(folder) / "inside");
    const std::optional<ReplaceFailure> blocked = ReplaceFileContent(folder, "new", Replacement::Private);
    ASSERT_TRUE(blocked);
    EXPECT_FALSE(blocked->replaced);
#ifndef _WIN32
    EXPECT_EQ(blocked->step, "cannot replace it");
#endif

    EXPECT_EQ(Bytes(plain), "untouched");
    EXPECT_EQ(Names(), (std::vector<std::string>{"folder", "plain"})) << "a temporary file was left over";
}

#ifndef _WIN32

mode_t Rights(const std::string& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST_F(AtomicFileTest, EitherWayAChainOfLinksStaysAndTheFileAtItsEndKeepsItsRights)
{
    // dotfiles/settings.reg <- dotfiles/current (relative) <- link.reg, the
    // way a dotfile manager and a user's own link stack up.
    const std::string folder = PathOf("dotfiles");
    fs::create_directories(folder);
    const std::string real = folder + "/settings.reg";
    Put(real, "old");
    ASSERT_EQ(::chmod(real.c_str(), 0654), 0);
    fs::create_symlink("settings.reg", folder + "/current");
    const std::string link = PathOf("link.reg");
    fs::create_symlink(folder + "/current", link);

    for (const Replacement how : {Replacement::Private, Replacement::InPlace}) {
        const std::string bytes = "saved " + std::to_string(static_cast<int>(how));
        EXPECT_EQ(Outcome(ReplaceFileContent(link, bytes, how)), "done");
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_TRUE(fs::is_symlink(folder + "/current"));
        EXPECT_EQ(Bytes(real), bytes);
        EXPECT_EQ(Rights(real), 0654u);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"dotfiles", "link.reg"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)
        << "a temporary file was left beside the target";
}

TEST_F(AtomicFileTest, ALinkToNoFileGetsItsFileMadeAndALoopIsAFailure)
{
    const std::string settings = PathOf("settings.reg");
    const std::string protocol = PathOf("protocol.txt");
    fs::create_symlink("settings-target.reg", settings);
    fs::create_symlink("protocol-target.txt", protocol);
    EXPECT_EQ(Outcome(ReplaceFileContent(settings, "first", Replacement::Private)), "done");
    EXPECT_EQ(Outcome(ReplaceFileContent(protocol, "first", Replacement::InPlace)), "done");
    EXPECT_TRUE(fs::is_symlink(settings));
    EXPECT_EQ(Bytes(PathOf("settings-target.reg")), "first");
    EXPECT_EQ(Rights(PathOf("settings-target.reg")), 0600u) << "a settings file made anew is the user's alone";
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(Rights(PathOf("protocol-target.txt")), 0666u & ~mask);

    const std::string loop = PathOf("loop");
    fs::create_symlink("loop", loop);
    const std::optional<ReplaceFailure> failure = ReplaceFileContent(loop, "never", Replacement::Private);
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->replaced);
    EXPECT_EQ(failure->step, "cannot follow the link '" + loop + "'");
    EXPECT_EQ(failure->reason, std::strerror(ELOOP));
    EXPECT_TRUE(fs::is_symlink(loop));
    EXPECT_EQ(Names(), (std::vector<std::string>{"loop", "protocol-target.txt", "protocol.txt", "settings-target.reg",
                                                 "settings.reg"}));
}

#endif

}  // namespace
}  // namespace chronivel
