// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace chronivel {

// The rights of a file that a replacement makes anew. Either way, a file that
// is there keeps its rights, and a path that is a link (or a chain of links)
// stays one: the file it leads to is replaced, or made when it is missing.
enum class Replacement {
    // The user's alone (settings).
    Private,
    // What the umask allows, as any program's new file (the protocol).
    InPlace,
};

// The step of a replacement that failed, and the system's words for why.
struct ReplaceFailure {
    std::string step;       // such as "cannot write '<temporary file>'"
    std::string reason;     // such as "No space left on device"
    bool replaced = false;  // the new content is in place, but may not last a crash
};

// Puts `bytes` in place of the file's content: they are written whole to a
// temporary file in the same folder, flushed to the disk and renamed over
// the file, and then the folder is flushed too. So the file holds the old
// content or the new one, whole, even if the machine stops half-way; the
// temporary file is gone again when a step before the rename fails.
std::optional<ReplaceFailure> ReplaceFileContent(const std::string& path, std::string_view bytes, Replacement how);

#ifndef _WIN32
// Removes the temporary files that replacements of the file at `path` left
// in its folder when a kill stopped them before the rename: regular files of
// the names they are given there (".<file's name>.<six letters or digits>"),
// never a link or a folder. Only for the one process that replaces the file,
// and never while it does. (On Windows a replacement's temporary file has one
// name, which the next replacement takes over.)
void RemoveLeftoverReplacements(const std::string& path);
#endif

}  // namespace chronivel
