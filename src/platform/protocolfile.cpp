#include "platform/protocolfile.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#endif

namespace chronivel {

namespace {

constexpr const char* kFileName = "Protocol.txt";

std::runtime_error CannotOpen(const std::string& path, const std::string& reason)
{
    return std::runtime_error("Cannot open file \"" + path + "\". " + reason);
}

std::runtime_error CannotSave(const std::string& path, const std::string& reason)
{
    return std::runtime_error("Cannot save file \"" + path + "\". " + reason);
}

std::string Joined(const std::string& dir, const std::string& name, char separator)
{
    if (dir.empty()) return name;
    if (dir.back() == '/' || dir.back() == separator) return dir + name;
    return dir + separator + name;
}

#ifdef _WIN32

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Utf8(const std::wstring& wide)
{
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::string SystemReason(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = n > 0 && text ? std::wstring(text, n) : L"Error " + std::to_wstring(error);
    if (text) LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' '))
        reason.pop_back();
    return Utf8(reason);
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    bool Close()
    {
        const bool ok = !Valid() || CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

bool WriteWhole(HANDLE file, std::string_view bytes)
{
    if (bytes.size() > MAXDWORD) return false;
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

#else

std::string SystemReason(int error)
{
    return std::strerror(error);
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    bool Valid() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    void Reset(int fd)
    {
        Close();
        fd_ = fd;
    }
    bool Close()
    {
        const bool ok = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

private:
    int fd_;
};

std::string ParentDir(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new name in a folder lasts a crash only once the folder itself is synced.
void SyncDir(const std::string& dir)
{
    const Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid()) ::fsync(fd.Get());
}

ssize_t WriteOnce(int fd, std::string_view bytes)
{
    ssize_t written;
    do written = ::write(fd, bytes.data(), bytes.size());
    while (written < 0 && errno == EINTR);
    return written;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = WriteOnce(fd, bytes);
        if (written == 0) errno = ENOSPC;  // no progress and no reason given
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Whether a file can be made in `dir`. Trying is the only honest test:
// access() knows nothing of read-only mounts, and root passes it anyway.
bool FolderTakesFiles(const std::string& dir)
{
    if (dir.empty()) return false;
    std::string probe = Joined(dir, ".chronivel-XXXXXX", '/');
    const Fd fd(::mkstemp(probe.data()));
    if (!fd.Valid()) return false;
    ::unlink(probe.c_str());
    return true;
}

std::string DataHome()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return xdg;  // a relative one is to be ignored
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0]) {
        home = h;
    } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
        home = user->pw_dir;
    }
    return Joined(home, ".local/share", '/');
}

void MakeFolders(const std::string& dir)
{
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        ::mkdir(dir.substr(0, slash).c_str(), 0700);  // an existing one is fine
        if (slash == std::string::npos) break;
    }
}

#endif

}  // namespace

#ifdef _WIN32

bool AppendToProtocol(const std::string& path, std::string_view bytes)
{
    if (path.empty()) return false;
    // Append-only access: every write goes to the end, even with another writer.
    Handle file(CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    // NTFS reserves the room before it writes, so a full disk fails the call whole.
    const bool written = WriteWhole(file.Get(), bytes) && FlushFileBuffers(file.Get());
    return file.Close() && written;
}

std::string ReadProtocol(const std::string& path)
{
    Handle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw CannotOpen(path, SystemReason(GetLastError()));
    std::string content;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))
            throw CannotOpen(path, SystemReason(GetLastError()));
        if (got == 0) break;
        content.append(buffer, got);
    }
    return content;
}

void ReplaceProtocol(const std::string& path, std::string_view bytes)
{
    if (path.empty()) throw CannotSave(path, SystemReason(ERROR_PATH_NOT_FOUND));
    const std::wstring target = Wide(path);
    const std::wstring temp = target + L".tmp";
    Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw CannotSave(path, SystemReason(GetLastError()));
    const bool written = WriteWhole(file.Get(), bytes) && FlushFileBuffers(file.Get());
    DWORD error = GetLastError();
    const bool closed = file.Close();
    if (written && !closed) error = GetLastError();
    if (!written || !closed) {
        DeleteFileW(temp.c_str());
        throw CannotSave(path, SystemReason(error));
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD moveError = GetLastError();
        DeleteFileW(temp.c_str());
        throw CannotSave(path, SystemReason(moveError));
    }
}

std::string DefaultProtocolPath(const std::string& executableDir, const std::string&)
{
    return Joined(executableDir, kFileName, '\\');
}

#else

bool AppendToProtocol(const std::string& path, std::string_view bytes)
{
    if (path.empty()) return false;
    bool created = false;
    Fd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (!fd.Valid() && errno == ENOENT) {
        fd.Reset(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
        created = fd.Valid();
    }
    if (!fd.Valid()) return false;

    struct stat before {};
    if (::fstat(fd.Get(), &before) != 0) return false;
    // One call, so that another program appending at the same time cannot
    // come between the lines of a run.
    const ssize_t written = WriteOnce(fd.Get(), bytes);
    if (written != static_cast<ssize_t>(bytes.size())) {
        // A full disk may take part of the block: take it back out.
        if (written > 0) static_cast<void>(::ftruncate(fd.Get(), before.st_size));
        return false;
    }
    const bool synced = ::fsync(fd.Get()) == 0;
    if (!fd.Close() || !synced) return false;
    if (created) SyncDir(ParentDir(path));
    return true;
}

std::string ReadProtocol(const std::string& path)
{
    const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) throw CannotOpen(path, SystemReason(errno));
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw CannotOpen(path, SystemReason(errno));
        if (got == 0) break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

void ReplaceProtocol(const std::string& path, std::string_view bytes)
{
    if (path.empty()) throw CannotSave(path, SystemReason(ENOENT));
    // Through a link the file it points to is replaced, not the link.
    std::string target = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;

    const std::string temp = target + ".tmp";
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd.Valid()) throw CannotSave(path, SystemReason(errno));
    const auto fail = [&](int error) {
        ::unlink(temp.c_str());
        return CannotSave(path, SystemReason(error));
    };
    if (existed) static_cast<void>(::fchmod(fd.Get(), old.st_mode & 07777));  // the user's rights stay
    if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0) throw fail(errno);
    if (!fd.Close()) throw fail(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0) throw fail(errno);
    SyncDir(ParentDir(target));
}

std::string DefaultProtocolPath(const std::string& executableDir, const std::string& title)
{
    if (FolderTakesFiles(executableDir)) return Joined(executableDir, kFileName, '/');
    const std::string dir = DataHome() + "/Orvantis/" + title;
    MakeFolders(dir);
    return dir + "/" + kFileName;
}

#endif

}  // namespace chronivel
