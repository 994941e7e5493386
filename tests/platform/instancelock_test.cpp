// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/instancelock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <random>
#include <string>

#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "scopedenv.h"
#include "scratchfoldertest.h"

extern char** environ;
#endif

namespace chronivel {
namespace {

using State = InstanceLock::State;

// Titles of their own, so that runs of the tests side by side do not meet.
std::string FreshTitle()
{
    static std::mt19937_64 random(std::random_device{}() ^
                                  static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return "locktest" + std::to_string(random());
}

TEST(InstanceLock, OneHolderPerTitleUntilItLetsGo)
{
    const std::string title = FreshTitle();
    std::optional<InstanceLock> first(std::in_place, title);
    ASSERT_EQ(first->Get(), State::Held) << first->Problem();
    EXPECT_TRUE(first->Problem().empty());
    {
        const InstanceLock turnedAway(title);
        EXPECT_EQ(turnedAway.Get(), State::Elsewhere) << turnedAway.Problem();
        EXPECT_EQ(turnedAway.Location(), first->Location());
        EXPECT_EQ(turnedAway.ChannelName(), first->ChannelName());
    }
    // The copy turned away has not disturbed the holder's lock.
    InstanceLock waiting(title);
    EXPECT_EQ(waiting.Get(), State::Elsewhere);
    EXPECT_EQ(waiting.Retry(), State::Elsewhere);

    const InstanceLock other(FreshTitle());
    EXPECT_EQ(other.Get(), State::Held) << "another title is another settings key";
    EXPECT_NE(other.Location(), first->Location());
    EXPECT_NE(other.ChannelName(), first->ChannelName());

    first.reset();
    EXPECT_EQ(waiting.Retry(), State::Held) << "a copy waiting for the holder to end takes over";
    EXPECT_EQ(waiting.Retry(), State::Held);
    EXPECT_EQ(InstanceLock(title).Get(), State::Elsewhere);
}

#ifndef _WIN32

namespace fs = std::filesystem;

class InstanceLockFile : public ScratchFolderTest {
protected:
    InstanceLockFile() : ScratchFolderTest("chronivel-lock-")
    {
        fs::create_directory(PathOf("runtime"));
        ::chmod(PathOf("runtime").c_str(), 0700);
    }
    const ScopedEnv runtime_{"XDG_RUNTIME_DIR", PathOf("runtime").c_str()};
    const ScopedEnv config_{"XDG_CONFIG_HOME", PathOf("config").c_str()};
};

TEST_F(InstanceLockFile, LivesInTheRuntimeFolderElseBesideTheSettings)
{
    {
        const InstanceLock lock("relay");
        EXPECT_EQ(lock.Get(), State::Held) << lock.Problem();
        EXPECT_EQ(lock.Location(), PathOf("runtime") + "/Orvantis/relay.lock");
        EXPECT_EQ(lock.ChannelName(), PathOf("runtime") + "/Orvantis/relay.socket");
        EXPECT_TRUE(fs::exists(lock.Location()));
        // Kept through the runtime folder's clean-up of files untouched for hours.
        EXPECT_EQ(fs::status(lock.Location()).permissions(),
                  fs::perms::sticky_bit | fs::perms::owner_read | fs::perms::owner_write);
    }
    const ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    const InstanceLock lock("relay");
    EXPECT_EQ(lock.Get(), State::Held) << lock.Problem();
    EXPECT_EQ(lock.Location(), PathOf("config") + "/Orvantis/relay.lock");
    EXPECT_EQ(lock.ChannelName(), PathOf("config") + "/Orvantis/relay.socket");
}

// A runtime folder that is there but takes no lock must not let two copies
// run on one settings file: the lock goes beside the settings, and so does
// the channel on which a second start finds the first copy.
TEST_F(InstanceLockFile, FallsBackBesideTheSettingsWhenTheRuntimeFolderTakesNoLock)
{
    Put(PathOf("plain"), "a file, not a folder");
    fs::create_directories(PathOf("runtime/Orvantis/relay.lock"));  // a folder where the lock file belongs
    for (const std::string& runtime : {PathOf("plain"), PathOf("runtime")}) {
        ScopedEnv::Set("XDG_RUNTIME_DIR", runtime.c_str());
        std::optional<InstanceLock> first(std::in_place, "relay");
        ASSERT_EQ(first->Get(), State::Held) << runtime << ": " << first->Problem();
        EXPECT_EQ(first->Location(), PathOf("config") + "/Orvantis/relay.lock") << runtime;
        EXPECT_EQ(first->ChannelName(), PathOf("config") + "/Orvantis/relay.socket") << runtime;
        InstanceLock second("relay");
        EXPECT_EQ(second.Get(), State::Elsewhere) << runtime << ": " << second.Problem();
        EXPECT_EQ(second.ChannelName(), first->ChannelName()) << runtime;
        first.reset();
        EXPECT_EQ(second.Retry(), State::Held) << runtime;
    }
}

TEST_F(InstanceLockFile, SaysWhereItTriedWhenNoLockCanBeHad)
{
    Put(PathOf("runtime/Orvantis"), "a file where the folder belongs");
    Put(PathOf("config"), "a file where the settings' folder belongs");
    const InstanceLock lock("relay");
    EXPECT_EQ(lock.Get(), State::Failed);
    const std::string& problem = lock.Problem();
    EXPECT_NE(problem.find("'" + PathOf("runtime/Orvantis/relay.lock") + "' cannot be opened (Not a directory)"),
              std::string::npos)
        << problem;
    EXPECT_NE(problem.find("'" + PathOf("config/Orvantis") + "' cannot be created (Not a directory)"),
              std::string::npos)
        << problem;
    EXPECT_EQ(problem.rfind("Cannot take the lock that keeps a second copy out: ", 0), 0u) << problem;
}

// A child process that takes the lock and waits to be killed; returns its
// pid once it holds the lock, or -1.
pid_t ChildHolding(const std::string& title)
{
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        const InstanceLock lock(title);
        const char held = lock.Get() == State::Held ? 'y' : 'n';
        (void)!::write(ready[1], &held, 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char held = 'n';
    const bool told = ::read(ready[0], &held, 1) == 1;
    ::close(ready[0]);
    if (told && held == 'y') return child;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return -1;
}

TEST_F(InstanceLockFile, AHolderKilledOutrightLetsGo)
{
    const pid_t child = ChildHolding("relay");
    ASSERT_GT(child, 0);
    EXPECT_EQ(InstanceLock("relay").Get(), State::Elsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(InstanceLock("relay").Get(), State::Held);
}

TEST_F(InstanceLockFile, AProgramStartedByTheHolderDoesNotKeepIt)
{
    std::optional<InstanceLock> lock(std::in_place, "relay");
    ASSERT_EQ(lock->Get(), State::Held) << lock->Problem();
    // As a text editor opened from the program may outlive it.
    pid_t editor = -1;
    char sleep[] = "sleep", forever[] = "60";
    char* argv[] = {sleep, forever, nullptr};
    ASSERT_EQ(::posix_spawnp(&editor, "sleep", nullptr, nullptr, argv, environ), 0);
    lock.reset();
    EXPECT_EQ(InstanceLock("relay").Get(), State::Held);
    ::kill(editor, SIGKILL);
    ::waitpid(editor, nullptr, 0);
}

#endif

}  // namespace
}  // namespace chronivel
