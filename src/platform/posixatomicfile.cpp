#include "platform/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform/posixfile.h"

namespace chronivel {
namespace {

ReplaceFailure Failure(std::string_view step, int error)
{
    return {std::string(step), std::strerror(error)};
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Through a link, the file it points to.
std::string LinkTarget(const std::string& path)
{
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string target = real;
    std::free(real);
    return target;
}

// Makes a file of a name no other file has, as mkostemp does, but with the
// rights asked for (less the umask), which mkostemp cannot give.
int CreateUnique(const std::string& prefix, mode_t rights, std::string& name)
{
    static constexpr std::string_view Letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // Seeded from the clock: std::random_device may throw where it finds no source.
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix;
        for (int i = 0; i < 6; ++i) name += Letters[random() % Letters.size()];
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
    const bool inPlace = how == Replacement::InPlace;
    const std::string target = inPlace ? LinkTarget(path) : path;
    const std::string folder = ParentFolder(target);
    struct stat old {};
    const bool keepRights = inPlace && ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    std::string temporary;
    FileDescriptor file(CreateUnique(folder + "/." + BaseName(target) + ".", inPlace ? 0666 : 0600, temporary));
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

}  // namespace chronivel
