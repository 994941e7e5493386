// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/protocolfile.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "core/protocol.h"
#include "core/runnumbers.h"
#include "platform/atomicfile.h"

#ifdef _WIN32
#include "platform/win32file.h"
#include "platform/win32text.h"
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posixfile.h"
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

#ifndef _WIN32

ssize_t WriteOnce(int fd, std::string_view bytes)
{
    ssize_t written;
    do written = ::write(fd, bytes.data(), bytes.size());
    while (written < 0 && errno == EINTR);
    return written;
}

// Why no file can be made in `dir`; 0 when one can. Trying is the only honest
// test: access() knows nothing of read-only mounts, and root passes it anyway.
int FolderRefusesFiles(const std::string& dir)
{
    if (dir.empty()) return ENOENT;
    std::string probe = Joined(dir, ".chronivel-XXXXXX", '/');
    const FileDescriptor fd(::mkstemp(probe.data()));
    if (!fd.Valid()) return errno;
    ::unlink(probe.c_str());
    return 0;
}

// A folder named bin holds the programs of many packages, as /usr/bin does,
// or a scratch root's usr/bin: never a folder of the program's own, even
// where it could write there (as root).
bool SharedProgramFolder(std::string dir)
{
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    const std::string name = dir.substr(dir.rfind('/') + 1);  // the whole path when there is no slash
    return name == "bin" || name == "sbin" || name == "games";
}

std::string DataHome()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return xdg;  // a relative one is to be ignored
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0])
        home = h;
    else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        home = user->pw_dir;
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

// The last `count` bytes of the file, all of it when it is shorter; nothing
// when it cannot be read.
std::optional<std::string> ReadTail(const std::string& path, std::size_t count);

// A block as it goes to the end of the file: on a line of its own, also where
// the file ends without a line end (an editor that writes none, a file cut
// off mid-line) or halfway through one. The bytes before it stay as they are.
std::string OnALineOfItsOwn(const std::string& path, std::string_view block)
{
    const std::optional<std::string> last = ReadTail(path, 1);
    std::string_view lineEnd;
    if (last && !last->empty() && last->back() != '\n') lineEnd = last->back() == '\r' ? "\n" : "\r\n";
    std::string bytes;
    bytes.reserve(lineEnd.size() + block.size());
    return bytes.append(lineEnd).append(block);
}

}  // namespace

#ifdef _WIN32

namespace {

bool Failed(std::string* reason, DWORD error)
{
    if (reason) *reason = SystemMessage(error);
    return false;
}

std::optional<std::string> ReadTail(const std::string& path, std::size_t count)
{
    FileHandle file(CreateFileW(Utf16(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size)) return std::nullopt;
    std::string tail(static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, static_cast<LONGLONG>(count))), '\0');
    LARGE_INTEGER from{};
    from.QuadPart = size.QuadPart - static_cast<LONGLONG>(tail.size());
    if (!SetFilePointerEx(file.Get(), from, nullptr, FILE_BEGIN)) return std::nullopt;
    for (std::size_t got = 0; got < tail.size();) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), tail.data() + got, static_cast<DWORD>(tail.size() - got), &read, nullptr) ||
            read == 0)
            return std::nullopt;
        got += read;
    }
    return tail;
}

}  // namespace

bool AppendToProtocol(const std::string& path, std::string_view bytes, std::string* reason)
{
    if (path.empty()) return Failed(reason, ERROR_PATH_NOT_FOUND);
    const std::string block = OnALineOfItsOwn(path, bytes);
    // Append-only access: every write goes to the end, even with another writer.
    FileHandle file(CreateFileW(Utf16(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.Valid()) return Failed(reason, GetLastError());
    // NTFS reserves the room before it writes, so a full disk fails the call whole.
    if (!WriteWhole(file.Get(), block) || !FlushFileBuffers(file.Get())) return Failed(reason, GetLastError());
    if (!file.Close()) return Failed(reason, GetLastError());
    return true;
}

std::string ReadProtocol(const std::string& path)
{
    FileHandle file(CreateFileW(Utf16(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw CannotOpen(path, SystemMessage(GetLastError()));
    std::string content;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))
            throw CannotOpen(path, SystemMessage(GetLastError()));
        if (got == 0) break;
        content.append(buffer, got);
    }
    return content;
}

std::string ProtocolWriteProblem(const std::string& path)
{
    if (path.empty()) return SystemMessage(ERROR_PATH_NOT_FOUND);
    const std::wstring wide = Utf16(path);
    {
        // As Append opens it, without making it.
        const FileHandle file(CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid()) return {};
        if (const DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND) return SystemMessage(error);
    }
    // A file made and gone again tells whether the folder takes one.
    const std::size_t slash = wide.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : wide.substr(0, slash);
    const std::wstring probe = folder + L"\\.chronivel-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const FileHandle made(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return made.Valid() ? std::string() : SystemMessage(GetLastError());
}

std::string DefaultProtocolPath(const std::string& executableDir, const std::string&)
{
    return Joined(executableDir, kFileName, '\\');
}

#else

namespace {

bool Failed(std::string* reason, int error)
{
    if (reason) *reason = std::strerror(error);
    return false;
}

std::optional<std::string> ReadTail(const std::string& path, std::size_t count)
{
    // Not held up by a pipe without a writer, nor made the terminal of the program by a tty.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::string tail(static_cast<std::size_t>(std::min<off_t>(info.st_size, static_cast<off_t>(count))), '\0');
    const off_t from = info.st_size - static_cast<off_t>(tail.size());
    for (std::size_t got = 0; got < tail.size();) {
        const ssize_t read = ::pread(fd.Get(), tail.data() + got, tail.size() - got, from + static_cast<off_t>(got));
        if (read < 0 && errno == EINTR) continue;
        if (read <= 0) return std::nullopt;
        got += static_cast<std::size_t>(read);
    }
    return tail;
}

}  // namespace

bool AppendToProtocol(const std::string& path, std::string_view bytes, std::string* reason)
{
    if (path.empty()) return Failed(reason, ENOENT);
    const std::string block = OnALineOfItsOwn(path, bytes);
    bool created = false;
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (!fd.Valid() && errno == ENOENT) {
        fd.Reset(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
        created = fd.Valid();
    }
    if (!fd.Valid()) return Failed(reason, errno);

    struct stat before {};
    if (::fstat(fd.Get(), &before) != 0) return Failed(reason, errno);
    // One call, so that another program appending at the same time cannot
    // come between the lines of a run.
    const ssize_t written = WriteOnce(fd.Get(), block);
    if (written != static_cast<ssize_t>(block.size())) {
        // A write cut short says no more than that the disk is full.
        const int error = written < 0 ? errno : ENOSPC;
        // A full disk may take part of the block: take it back out.
        if (written > 0) static_cast<void>(::ftruncate(fd.Get(), before.st_size));
        return Failed(reason, error);
    }
    if (::fsync(fd.Get()) != 0) return Failed(reason, errno);
    if (!fd.Close()) return Failed(reason, errno);
    if (created) SyncFolder(ParentFolder(path));
    return true;
}

std::string ReadProtocol(const std::string& path)
{
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) throw CannotOpen(path, std::strerror(errno));
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw CannotOpen(path, std::strerror(errno));
        if (got == 0) break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

std::string ProtocolWriteProblem(const std::string& path)
{
    if (path.empty()) return std::strerror(ENOENT);
    // As Append opens it, without making it; a pipe without a reader must not hold the window up.
    const FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Valid()) return {};
    if (errno != ENOENT) return std::strerror(errno);
    const int refused = FolderRefusesFiles(ParentFolder(path));
    return refused == 0 ? std::string() : std::strerror(refused);
}

std::string DefaultProtocolPath(const std::string& executableDir, const std::string& title)
{
    if (!SharedProgramFolder(executableDir) && FolderRefusesFiles(executableDir) == 0)
        return Joined(executableDir, kFileName, '/');
    const std::string dir = DataHome() + "/Orvantis/" + title;
    MakeFolders(dir);
    return dir + "/" + kFileName;
}

#endif

void ReplaceProtocol(const std::string& path, std::string_view bytes)
{
    const std::optional<ReplaceFailure> failure = ReplaceFileContent(path, bytes, Replacement::InPlace);
    // A folder that would not sync after the rename leaves the new content in
    // place: the save is done, as far as the user can tell.
    if (failure && !failure->replaced) throw CannotSave(path, failure->reason);
}

bool ProtocolEndsWith(const std::string& path, std::string_view bytes)
{
    const std::optional<std::string> tail = ReadTail(path, bytes.size());
    return tail && *tail == bytes;
}

std::string ProtocolFile::Append(const std::string& path, const std::vector<std::string>& run)
{
    std::string reason;
    return AppendToProtocol(path, ProtocolBlock(run), &reason) ? std::string() : reason;
}

bool ProtocolFile::EndsWith(const std::string& path, const std::vector<std::string>& run) const
{
    return ProtocolEndsWith(path, ProtocolBlock(run));
}

std::string ProtocolFile::WriteProblem(const std::string& path) const
{
    return ProtocolWriteProblem(path);
}

std::int32_t ProtocolFile::HighestRunNumberOn(const std::string& path, const std::string& shortDate) const
{
    // A start reads the end of the file, and further back only while no run
    // of another day shows where the day's runs begin (a run of many laps).
    constexpr std::size_t First = 64 * 1024, Last = 4 * 1024 * 1024;
    for (std::size_t size = First;; size *= 8) {
        const std::optional<std::string> tail = ReadTail(path, size);
        if (!tail) return 0;
        const DayRuns runs = RunsOn(*tail, shortDate);
        if (runs.otherDaySeen || tail->size() < size || size >= Last) return runs.highest;
    }
}

bool ProtocolFile::Exists(const std::string& path) const
{
    // Paths are UTF-8 here on every system.
    std::error_code error;
    return std::filesystem::is_regular_file(std::u8string(path.begin(), path.end()), error);
}

}  // namespace chronivel
