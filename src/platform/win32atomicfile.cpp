#include "platform/atomicfile.h"
#include "platform/win32file.h"
#include "platform/win32text.h"

namespace chronivel {
namespace {

ReplaceFailure Failure(std::string_view step, DWORD error)
{
    return {std::string(step), SystemMessage(error)};
}

}  // namespace

// Here the path always gets the new file, whatever `how` asks; the rename
// itself lasts a crash through MOVEFILE_WRITE_THROUGH.
std::optional<ReplaceFailure> ReplaceFileContent(const std::string& path, std::string_view bytes, Replacement)
{
    if (path.empty()) return Failure("no file name", ERROR_PATH_NOT_FOUND);
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
