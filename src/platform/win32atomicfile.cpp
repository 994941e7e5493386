// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/atomicfile.h"
#include "platform/win32file.h"
#include "platform/win32text.h"

namespace chronivel {
namespace {

ReplaceFailure Failure(std::string_view step, DWORD error)
{
    return {std::string(step), SystemMessage(error)};
}

// Through symbolic links and junctions, the file they lead to, as the system
// names it; the path itself when it leads to no file (a dangling link is then
// replaced by the file, as reading where it leads takes the reparse data).
std::string FinalTarget(const std::string& path)
{
    const FileHandle file(CreateFileW(Utf16(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid()) return path;
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file.Get(), name.data(), static_cast<DWORD>(name.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return path;
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(length);  // too small: the length asked for counts the terminating zero
    }
    // The name comes as \\?\C:\... or \\?\UNC\server\...; the API takes both,
    // but messages read better without the prefix.
    if (name.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + Utf8(std::wstring_view(name).substr(8));
    if (name.starts_with(L"\\\\?\\")) return Utf8(std::wstring_view(name).substr(4));
    return Utf8(name);
}

}  // namespace

// A link is followed to the file it leads to (see FinalTarget); the new file
// gets the rights its folder gives, as `how` has no further meaning here. The
// rename itself lasts a crash through MOVEFILE_WRITE_THROUGH.
std::optional<ReplaceFailure> ReplaceFileContent(const std::string& linkPath, std::string_view bytes, Replacement)
{
    if (linkPath.empty()) return Failure("no file name", ERROR_PATH_NOT_FOUND);
    const std::string path = FinalTarget(linkPath);
    const std::string temporaryName = path + ".tmp";
    const std::wstring temporary = Utf16(temporaryName);
    FileHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();  // before anything else can change it
        return Failure("cannot create '" + temporaryName + "'", error);
    }

    const bool written = WriteWhole(file.Get(), bytes) && FlushFileBuffers(file.Get());
    DWORD error = GetLastError();
    const bool closed = file.Close();
    if (written && !closed) error = GetLastError();
    if (!written || !closed) {
        DeleteFileW(temporary.c_str());
        return Failure("cannot write '" + temporaryName + "'", error);
    }
    if (!MoveFileExW(temporary.c_str(), Utf16(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileW(temporary.c_str());
        return Failure("cannot replace it", error);
    }
    return std::nullopt;
}

}  // namespace chronivel
