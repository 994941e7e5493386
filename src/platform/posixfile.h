// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace chronivel {

// A file descriptor that closes itself at the end of its scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool Valid() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    void Reset(int fd)
    {
        Close();
        fd_ = fd;
    }
    // Closes now, for the error close() can report on a written file (in errno).
    bool Close();

private:
    int fd_;
};

// The folder of a path: "." for a bare name, "/" for a name at the root.
std::string ParentFolder(const std::string& path);

// Like mkdir -p; folders made here are the user's own alone. Returns 0, or
// the errno of the failure with the folder it failed on in `failed`.
int MakeFolders(const std::string& folder, std::string& failed);

// A new name in a folder lasts a crash only once the folder itself is synced.
// Returns 0, or the errno of the failure. File systems that cannot sync a
// folder say so with EINVAL; they need not, so that counts as done.
int SyncFolder(const std::string& folder);

}  // namespace chronivel
