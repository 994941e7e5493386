// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chronivel {

// Where finished runs are kept: the protocol file.
class ProtocolLog {
public:
    virtual ~ProtocolLog() = default;
    // Appends one run, the lines of its lap list, to the file at `path`.
    // Empty when it was written; otherwise the system's reason, and nothing
    // of the run is left in the file.
    virtual std::string Append(const std::string& path, const std::vector<std::string>& run) = 0;
    // Whether the file at `path` ends with this run, as Append writes it: a
    // run whose write was cut short by a kill may be there already.
    virtual bool EndsWith(const std::string& path, const std::vector<std::string>& run) const = 0;
    // The whole file, as its bytes. Safe on any thread. Throws
    // std::runtime_error with the words the user sees, naming the path.
    virtual std::string Read(const std::string& path) const = 0;
    // Puts `bytes` in place of the file's content, whole or not at all.
    // Throws std::runtime_error naming the path.
    virtual void Replace(const std::string& path, std::string_view bytes) = 0;
    // Whether there is a file at `path` to show.
    virtual bool Exists(const std::string& path) const = 0;
    // Why a run could not be appended at `path` now (its folder is missing
    // or read-only, the file is), without touching the file; empty when it could.
    virtual std::string WriteProblem(const std::string& path) const = 0;
    // The highest number of the runs of the day `shortDate` (as the locale
    // writes it, UTF-8) that the file at `path` holds; 0 when it holds none or
    // cannot be read. The day's runs are the last ones: only the file's end is read.
    virtual std::int32_t HighestRunNumberOn(const std::string& path, const std::string& shortDate) const = 0;
};

}  // namespace chronivel
