// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/win32.h"

#include <string_view>

namespace chronivel {

// A file handle that closes itself at the end of its scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    // Closes now, for the error closing can report on a written file.
    bool Close()
    {
        const bool ok = !Valid() || CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

// All the bytes in one call, as NTFS either takes them whole or fails.
inline bool WriteWhole(HANDLE file, std::string_view bytes)
{
    if (bytes.size() > MAXDWORD) return false;
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace chronivel
