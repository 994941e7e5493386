// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/instancelock.h"
#include "platform/posixfile.h"
#include "platform/systemsettingsstore.h"

namespace chronivel {

namespace {

// The session's runtime folder is per user and emptied at logout, which a
// lock file wants. Without one, or where it takes no lock, the settings' own
// folder is per user too and belongs to the key the lock guards; a folder in
// /tmp could be swept away under a running copy by a cleaner and let a second
// one in. Every copy tries them in the same order, and so meets the others.
std::vector<std::string> LockFolders(const std::string& title)
{
    std::vector<std::string> folders;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') folders.push_back(std::string(runtime) + "/Orvantis");
    folders.push_back(ParentFolder(SettingsLocation(title)));
    return folders;
}

// The descriptor of the lock file at `path`, locked, its folder made first;
// -1 when another copy holds it, or with `refusal` saying why the system
// would not let it be taken.
int LockedFile(const std::string& path, std::string& refusal)
{
    std::string failedFolder;
    if (const int error = MakeFolders(ParentFolder(path), failedFolder); error != 0) {
        refusal = "the folder '" + failedFolder + "' cannot be created (" + std::strerror(error) + ")";
        return -1;
    }
    // Close-on-exec: a program started from here (the text editor) must not
    // go on holding the lock after this copy has ended.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        refusal = "the lock file '" + path + "' cannot be opened (" + std::strerror(errno) + ")";
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error != EWOULDBLOCK)
            refusal = "the lock file '" + path + "' cannot be locked (" + std::strerror(error) + ")";
        ::close(fd);
        return -1;
    }
    // A runtime folder may be cleaned of files untouched for hours, unless
    // they carry the sticky bit.
    ::fchmod(fd, S_ISVTX | S_IRUSR | S_IWUSR);
    return fd;
}

}  // namespace

InstanceLock::InstanceLock(std::string_view title) : title_(title)
{
    Take();
}

void InstanceLock::Take()
{
    state_ = State::Failed;
    problem_.clear();
    std::string refusals;
    for (const std::string& folder : LockFolders(title_)) {
        location_ = folder + "/" + title_ + ".lock";
        channel_ = folder + "/" + title_ + ".socket";
        std::string refusal;
        fd_ = LockedFile(location_, refusal);
        if (fd_ >= 0) {
            state_ = State::Held;
            return;
        }
        if (refusal.empty()) {
            state_ = State::Elsewhere;
            return;
        }
        refusals += (refusals.empty() ? "" : ", and ") + refusal;
    }
    problem_ = "Cannot take the lock that keeps a second copy out: " + refusals;
}

InstanceLock::~InstanceLock()
{
    // The file stays: removing it would race with a copy that has just
    // opened it, which would then hold a lock on a name nobody else sees.
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace chronivel
