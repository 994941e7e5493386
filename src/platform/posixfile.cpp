// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posixfile.h"

#include <fcntl.h>
#include <sys/stat.h>
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

int MakeFolders(const std::string& folder, std::string& failed)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return 0;
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string prefix = folder.substr(0, end);
        if (!prefix.empty() && ::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            failed = prefix;
            return errno;
        }
        if (end == std::string::npos) return 0;
    }
}

int SyncFolder(const std::string& folder)
{
    const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.Valid()) return errno;
    if (::fsync(dir.Get()) != 0 && errno != EINVAL) return errno;
    return 0;
}

}  // namespace chronivel
