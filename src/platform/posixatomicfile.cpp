// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>

#include "platform/posixfile.h"

namespace chronivel {
namespace {

// A temporary file is named after the file it replaces: ".<name>." and
// UniqueLength of these.
constexpr std::string_view UniqueLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t UniqueLength = 6;

ReplaceFailure Failure(std::string_view step, int error)
{
    return {std::string(step), std::strerror(error)};
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TemporaryNamePrefix(const std::string& target)
{
    return "." + BaseName(target) + ".";
}

// Through links, however many, the name of the file they lead to: where the
// temporary file goes and what it is renamed over, so that the links stay.
// A link that leads nowhere gives the name it leads to, which the save then
// creates. Only a loop of links (or one that cannot be read) is a failure.
std::optional<std::string> FinalTarget(std::string path, int& error)
{
    for (int hops = 0; hops < 40; ++hops) {  // the kernel's own limit
        struct stat info {};
        // Anything else (a missing folder, say) is told by the step that meets it.
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 4096, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            error = errno;
            return std::nullopt;
        }
        target.resize(static_cast<std::size_t>(length));
        if (!target.starts_with('/')) {
            // Relative to the folder the link is in.
            const std::string folder = ParentFolder(path);
            target = (folder == "/" ? folder : folder + "/") + target;
        }
        path = std::move(target);
    }
    error = ELOOP;
    return std::nullopt;
}

// Makes a file of a name no other file has, as mkostemp does, but with the
// rights asked for (less the umask), which mkostemp cannot give.
int CreateUnique(const std::string& prefix, mode_t rights, std::string& name)
{
    // Seeded from the clock: std::random_device may throw where it finds no source.
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix;
        for (std::size_t i = 0; i < UniqueLength; ++i) name += UniqueLetters[random() % UniqueLetters.size()];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, rights);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = ENOSPC;  // no progress and no reason given
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

std::optional<ReplaceFailure> ReplaceFileContent(const std::string& path, std::string_view bytes, Replacement how)
{
    if (path.empty()) return Failure("no file name", ENOENT);
    int linkError = 0;
    const std::optional<std::string> final = FinalTarget(path, linkError);
    if (!final) return Failure("cannot follow the link '" + path + "'", linkError);
    const std::string& target = *final;
    const std::string folder = ParentFolder(target);
    struct stat old {};
    const bool keepRights = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    std::string temporary;
    const mode_t newRights = how == Replacement::InPlace ? 0666 : 0600;
    FileDescriptor file(CreateUnique(folder + "/" + TemporaryNamePrefix(target), newRights, temporary));
    if (!file.Valid()) {
        const int error = errno;
        return Failure("cannot create a file in '" + folder + "'", error);
    }
    // Each step's text is made before the step, so that errno is still its own when read.
    const std::string writing = "cannot write '" + temporary + "'";
    const auto fail = [&](std::string_view step, int error) {
        ::unlink(temporary.c_str());
        return Failure(step, error);
    };
    if (keepRights) static_cast<void>(::fchmod(file.Get(), old.st_mode & 07777));
    if (!WriteAll(file.Get(), bytes) || ::fsync(file.Get()) != 0 || !file.Close()) return fail(writing, errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) return fail("cannot replace it", errno);

    if (const int error = SyncFolder(folder); error != 0) {
        ReplaceFailure failure = Failure("cannot sync folder '" + folder + "'", error);
        failure.replaced = true;
        return failure;
    }
    return std::nullopt;
}

void RemoveLeftoverReplacements(const std::string& path)
{
    const std::string folder = ParentFolder(path);
    const std::string prefix = TemporaryNamePrefix(path);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;  // no folder, no leftovers
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + UniqueLength || !name.starts_with(prefix) ||
            name.find_first_not_of(UniqueLetters, prefix.size()) != std::string_view::npos)
            continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
            ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

}  // namespace chronivel
