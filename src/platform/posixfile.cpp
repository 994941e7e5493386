#include "platform/posixfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace chronivel {

bool FileDescriptor::Close()
{
    const bool ok = fd_ < 0 || ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

std::string ParentFolder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int SyncFolder(const std::string& folder)
{
    const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.Valid()) return errno;
    if (::fsync(dir.Get()) != 0 && errno != EINVAL) return errno;
    return 0;
}

}  // namespace chronivel
