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

TEST_F(AtomicFileTest, InPlaceKeepsLinksAndRightsAndPrivateMakesAFileOfTheUsersAlone)
{
    const std::string real = PathOf("real.txt");
    const std::string link = PathOf("link.txt");
    Put(real, "old");
    ASSERT_EQ(::chmod(real.c_str(), 0654), 0);
    fs::create_symlink(real, link);

    EXPECT_EQ(Outcome(ReplaceFileContent(link, "in place", Replacement::InPlace)), "done");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Bytes(real), "in place");
    EXPECT_EQ(Rights(real), 0654u);

    EXPECT_EQ(Outcome(ReplaceFileContent(link, "private", Replacement::Private)), "done");
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(Bytes(link), "private");
    EXPECT_EQ(Rights(link), 0600u);
    EXPECT_EQ(Bytes(real), "in place");
}

#endif

}  // namespace
}  // namespace chronivel
