// SPDX-License-Identifier: GPL-3.0-or-later
// Watching for a serial device to come back. An unplugged adapter's node and
// its /dev/serial/by-id link go, and with the last link the by-id folder too;
// when it is plugged in again udev makes them anew, perhaps under another
// node name. The watch follows the folders on the way to the device as they
// come and go, and the folder of the node its link names, and sleeps in
// poll() between their events.
#include "platform/linuxdevicewatch.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <thread>
#include <utility>

namespace chronivel::linuxserial {

namespace {

namespace fs = std::filesystem;

// A folder on the way waits for the next name to be made or moved there; in
// the folder of the device or of its node, attributes matter too (udev sets
// a node's permissions after making it). Other programs' terminals change
// attributes in /dev too, so only those folders wake for them.
constexpr std::uint32_t WayEvents = IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t NodeEvents = WayEvents | IN_ATTRIB;

bool IsFolder(const fs::path& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const fs::path& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// What matters in a folder: these names, for these events.
struct Wanted {
    std::set<std::string> names;
    std::uint32_t events = WayEvents;
    friend bool operator==(const Wanted&, const Wanted&) = default;
};
using Plan = std::map<fs::path, Wanted>;

Plan PlanFor(const fs::path& device)
{
    Plan plan;
    fs::path next = device;
    fs::path folder = device.parent_path();
    while (!IsFolder(folder) && folder != folder.root_path()) {
        next = folder;
        folder = folder.parent_path();
    }
    plan[folder].names.insert(next.filename().string());
    if (next == device) plan[folder].events = NodeEvents;
    // The node a link names, even while the link dangles.
    std::error_code error;
    fs::path node = fs::read_symlink(device, error);
    if (!error) {
        node = fs::weakly_canonical(device.parent_path() / node, error);
        if (!error && node.has_filename()) {
            Wanted& wanted = plan[node.parent_path()];
            wanted.names.insert(node.filename().string());
            wanted.events = NodeEvents;
        }
    }
    return plan;
}

class InotifyWatch final : public DeviceWatch {
public:
    InotifyWatch(fs::path device, std::function<void()> changed, int inotify, int wake)
        : device_(std::move(device)), changed_(std::move(changed)), inotify_(inotify), wake_(wake)
    {
        Arm();
    }

    ~InotifyWatch() override
    {
        if (thread_.joinable()) {
            const std::uint64_t one = 1;
            while (write(wake_, &one, sizeof one) < 0 && errno == EINTR) {
            }
            thread_.join();
        }
        close(inotify_);
        close(wake_);
    }

    bool Watching() const { return !watched_.empty(); }

    void Start()
    {
        // Process signals go to the program's other threads.
        sigset_t all, previous;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous);
        try {
            thread_ = std::thread(&InotifyWatch::Run, this);
        } catch (...) {
            pthread_sigmask(SIG_SETMASK, &previous, nullptr);
            throw;
        }
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }

private:
    struct Folder {
        fs::path path;
        std::set<std::string> names;
    };

    bool Arm();
    void Run();
    void Handle(const inotify_event& event, bool& rearm, bool& call) const;

    const fs::path device_;
    const std::function<void()> changed_;
    const int inotify_;
    const int wake_;
    std::map<int, Folder> watched_;  // by watch descriptor
    std::thread thread_;
};

// Watches the folders of the plan and drops the others. True when a folder
// newly watched already holds a name that matters: it may have come before
// the watch did.
bool InotifyWatch::Arm()
{
    std::map<int, Folder> now;
    std::set<int> added;
    // A folder that comes or goes between the plan and its watch changes the
    // plan; once the watches stand, later changes are events.
    Plan plan = PlanFor(device_);
    for (int attempt = 0; attempt < 8; ++attempt) {
        now.clear();
        for (const auto& [path, wanted] : plan) {
            const int wd = inotify_add_watch(inotify_, path.c_str(), wanted.events);
            if (wd < 0) continue;
            added.insert(wd);
            Folder& folder = now[wd];
            folder.path = path;
            folder.names.insert(wanted.names.begin(), wanted.names.end());
        }
        Plan after = PlanFor(device_);
        if (after == plan) break;
        plan = std::move(after);
    }
    bool arrived = false;
    for (const auto& [wd, folder] : now) {
        if (watched_.count(wd)) continue;
        for (const std::string& name : folder.names) arrived = arrived || Exists(folder.path / name);
    }
    for (const auto& [wd, folder] : watched_) added.insert(wd);
    for (const int wd : added)
        if (!now.count(wd)) inotify_rm_watch(inotify_, wd);
    watched_ = std::move(now);
    return arrived;
}

void InotifyWatch::Handle(const inotify_event& event, bool& rearm, bool& call) const
{
    if (event.mask & IN_Q_OVERFLOW) {
        rearm = call = true;
        return;
    }
    const auto found = watched_.find(event.wd);
    if (found == watched_.end()) return;  // a watch dropped already
    if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
        rearm = true;
        return;
    }
    // The name is padded with zeros to its length.
    if (event.len > 0 && found->second.names.count(event.name)) rearm = call = true;
}

void InotifyWatch::Run()
{
    pthread_setname_np(pthread_self(), "device watch");
    pollfd waits[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (waits[1].revents != 0) return;
        bool rearm = false;
        bool call = false;
        ssize_t length;
        while ((length = read(inotify_, buffer, sizeof buffer)) > 0)
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                Handle(*event, rearm, call);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        if (rearm && Arm()) call = true;
        if (call) changed_();
    }
}

}  // namespace

std::unique_ptr<DeviceWatch> WatchDevice(const std::string& device, std::function<void()> changed)
{
    const int inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify < 0) return nullptr;
    const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        close(inotify);
        return nullptr;
    }
    std::error_code error;
    auto watch = std::make_unique<InotifyWatch>(fs::absolute(device, error).lexically_normal(), std::move(changed),
                                                inotify, wake);
    // Out of watches (fs.inotify.max_user_watches): the caller looks now and then instead.
    if (!watch->Watching()) return nullptr;
    watch->Start();
    return watch;
}

}  // namespace chronivel::linuxserial
