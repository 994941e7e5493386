// SPDX-License-Identifier: GPL-3.0-or-later
// The inotify watch for a serial device to come back, on a scratch folder
// standing for /dev: by-id links and their folder made again by "udev", a
// link re-pointed at a new node, the node's permissions set.
#ifdef __linux__

#include "platform/linuxdevicewatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "scratchfoldertest.h"

namespace chronivel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class LinuxDeviceWatch : public ScratchFolderTest {
protected:
    LinuxDeviceWatch() : ScratchFolderTest("chronivel-watch-")
    {
        fs::create_directory(dev_);
        for (const char* node : {"ttyUSB0", "ttyUSB1", "ttyS0"}) Put((dev_ / node).string(), "");
    }
    // Its calls reach what the fixture holds: it goes first.
    ~LinuxDeviceWatch() override { watch_.reset(); }

    // Watches `device`, counting the calls and whether one found what the test looks for.
    void Watch(const fs::path& device)
    {
        watch_ = linuxserial::WatchDevice(device.string(), [this] {
            std::lock_guard lock(mutex_);
            ++calls_;
            found_ = found_ || !lookFor_ || lookFor_();
            called_.notify_all();
        });
        ASSERT_NE(watch_, nullptr) << "no inotify watch on " << device;
    }

    // Does `change` and waits for a call after it that finds `lookFor` true; any call without one.
    void ExpectCall(const std::function<void()>& change, std::function<bool()> lookFor = {})
    {
        std::unique_lock lock(mutex_);
        const int before = calls_;
        lookFor_ = std::move(lookFor);
        found_ = false;
        lock.unlock();
        change();
        lock.lock();
        EXPECT_TRUE(called_.wait_for(lock, 10s, [&] { return calls_ > before && found_; }))
            << "no call after the change, or none that found it done";
        lookFor_ = {};
    }

    int Calls()
    {
        std::lock_guard lock(mutex_);
        return calls_;
    }

    // As udev does it: a link under a temporary name, renamed into place.
    void Link(const std::string& node) const
    {
        const fs::path made = link_.parent_path() / ".link-tmp";
        fs::create_symlink("../../" + node, made);
        fs::rename(made, link_);
    }
    std::function<bool()> Links(const std::string& node) const
    {
        return [this, node] {
            std::error_code missing;
            return fs::read_symlink(link_, missing) == "../../" + node;
        };
    }

    const fs::path dev_ = fs::path(Dir()) / "dev";
    const fs::path link_ = dev_ / "serial" / "by-id" / "usb-FTDI_FT232R_A1-if00-port0";
    std::unique_ptr<DeviceWatch> watch_;

private:
    std::mutex mutex_;
    std::condition_variable called_;
    std::function<bool()> lookFor_;
    int calls_ = 0;
    bool found_ = false;
};

TEST_F(LinuxDeviceWatch, ALinkInFoldersThatComeOnlyLaterIsSeen)
{
    Watch(link_);
    ExpectCall([&] { fs::create_directory(dev_ / "serial"); });
    ExpectCall([&] { fs::create_directory(link_.parent_path()); });
    ExpectCall([&] { Link("ttyUSB0"); }, Links("ttyUSB0"));
}

TEST_F(LinuxDeviceWatch, ALinkMadeAgainWithItsFolderAndRepointedIsSeen)
{
    fs::create_directories(link_.parent_path());
    Link("ttyUSB0");
    Watch(link_);
    // Unplugged: udev takes the last link and its folder; plugged in again under a new node.
    fs::remove_all(dev_ / "serial");
    ExpectCall(
        [&] {
            fs::create_directories(link_.parent_path());
            Link("ttyUSB1");
        },
        Links("ttyUSB1"));
    ExpectCall([&] { Link("ttyUSB0"); }, Links("ttyUSB0"));
}

// The node's permissions, set after the node was made, are seen whether the
// device is watched by its link or by its own name; other nodes' churn is not.
TEST_F(LinuxDeviceWatch, PermissionsOfTheNodeCallAndOtherNodesDoNot)
{
    fs::create_directories(link_.parent_path());
    Link("ttyUSB1");
    const fs::path node = dev_ / "ttyUSB1";
    const auto setTo = [&](fs::perms perms) {
        ExpectCall([&] { fs::permissions(node, perms); },
                   [node, perms] { return fs::status(node).permissions() == perms; });
    };
    for (const fs::path& device : {link_, node}) {
        Watch(device);
        setTo(fs::perms::owner_read);
        const int before = Calls();
        // Spread out, so that the watch wakes for some of it alone.
        for (int i = 0; i < 200; ++i) {
            fs::permissions(dev_ / "ttyS0", i % 2 ? fs::perms::owner_read : fs::perms::owner_all);
            std::this_thread::yield();
        }
        Put((dev_ / "ttyACM7").string(), "");
        fs::remove(dev_ / "ttyACM7");
        setTo(fs::perms::owner_read | fs::perms::group_read);
        EXPECT_EQ(Calls(), before + 1) << "churn of other nodes called, watching " << device;
        watch_.reset();
    }
}

TEST_F(LinuxDeviceWatch, ADestroyedWatchCallsNoMore)
{
    std::atomic<int> stale = 0;
    auto destroyed = linuxserial::WatchDevice((dev_ / "ttyUSB0").string(), [&stale] { ++stale; });
    ASSERT_NE(destroyed, nullptr);
    destroyed.reset();
    // A second watch sees the same change; by then the first would have called.
    Watch(dev_ / "ttyUSB0");
    ExpectCall([&] { fs::permissions(dev_ / "ttyUSB0", fs::perms::owner_read); });
    EXPECT_EQ(stale, 0);
}

}  // namespace
}  // namespace chronivel

#endif  // __linux__
