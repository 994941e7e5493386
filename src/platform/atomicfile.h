#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace chronivel {

// What a replacement keeps of the file it replaces (on POSIX systems; on
// Windows the path itself always gets the new file).
enum class Replacement {
    // A new file of the user's alone takes the path, whatever stood there.
    Private,
    // As if the file were rewritten where it is: through a link the file it
    // points to is replaced, and it keeps its rights. A file made anew gets
    // the rights the umask allows.
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

}  // namespace chronivel
