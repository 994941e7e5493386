#pragma once

#include <string>
#include <vector>

namespace chronivel {

// Where finished runs are kept: the protocol file.
class ProtocolLog {
public:
    virtual ~ProtocolLog() = default;
    // Appends one run, the lines of its lap list, to the file at `path`;
    // false when it could not be written (nothing of the run is left there then).
    virtual bool Append(const std::string& path, const std::vector<std::string>& run) = 0;
    // Whether there is a file at `path` to show.
    virtual bool Exists(const std::string& path) const = 0;
};

}  // namespace chronivel
