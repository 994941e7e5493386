#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/instancelock.h"
#include "platform/posixfile.h"
#include "platform/systemsettingsstore.h"

namespace chronivel {

namespace {

// The session's runtime folder is per user and emptied at logout, which a
// lock file wants. Without one, the settings' own folder is per user too and
// belongs to the key the lock guards; a folder in /tmp could be swept away
// under a running copy by a cleaner and let a second one in.
std::string LockFolder(std::string_view title)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/Orvantis";
    return ParentFolder(SettingsLocation(title));
}

}  // namespace

InstanceLock::InstanceLock(std::string_view title)
{
    const std::string folder = LockFolder(title);
    location_ = folder + "/" + std::string(title) + ".lock";
    channel_ = folder + "/" + std::string(title) + ".socket";
    Take();
}

void InstanceLock::Take()
{
    state_ = State::Failed;
    problem_.clear();
    const std::string folder = ParentFolder(location_);
    std::string failedFolder;
    if (const int error = MakeFolders(folder, failedFolder); error != 0) {
        problem_ = "Cannot create the folder '" + failedFolder + "' for the lock file '" + location_ +
                   "': " + std::strerror(error);
        return;
    }
    // Close-on-exec: a program started from here (the text editor) must not
    // go on holding the lock after this copy has ended.
    fd_ = ::open(location_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        problem_ = "Cannot open the lock file '" + location_ + "': " + std::strerror(errno);
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) state_ = State::Elsewhere;
        else problem_ = "Cannot lock the file '" + location_ + "': " + std::strerror(error);
        ::close(fd_);
        fd_ = -1;
        return;
    }
    // A runtime folder may be cleaned of files untouched for hours, unless
    // they carry the sticky bit.
    ::fchmod(fd_, S_ISVTX | S_IRUSR | S_IWUSR);
    state_ = State::Held;
}

InstanceLock::~InstanceLock()
{
    // The file stays: removing it would race with a copy that has just
    // opened it, which would then hold a lock on a name nobody else sees.
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace chronivel
