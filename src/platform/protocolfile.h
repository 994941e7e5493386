// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/protocollog.h"

namespace chronivel {

// The protocol file on disk. Paths are UTF-8; the bytes are written as they
// come (see core/protocol.h for what they are).

// Appends one run's block in a single write and flushes it to the disk, so
// that a crash never leaves half a run in the file. Creates the file when
// it is not there. False when it cannot be opened or written, with the
// system's reason in `reason` when given; nothing of the block is left in
// the file then.
bool AppendToProtocol(const std::string& path, std::string_view bytes, std::string* reason = nullptr);

// Whether the file at `path` ends with `bytes`; false when it cannot be read.
bool ProtocolEndsWith(const std::string& path, std::string_view bytes);

// The whole file. Throws std::runtime_error with the text the user sees:
//   Cannot open file "<path>". <reason>
std::string ReadProtocol(const std::string& path);

// Puts `bytes` in place of the file's content through a temporary file
// beside it, so the old content stays whole until the new one is on disk.
// Throws std::runtime_error naming the path on failure.
void ReplaceProtocol(const std::string& path, std::string_view bytes);

// Why a run could not be appended at `path` now; empty when it could. The
// file is not made, nor changed.
std::string ProtocolWriteProblem(const std::string& path);

// Where the protocol goes when the user has chosen no place: beside the
// program when it runs from a folder of its own, as a portable copy does, and
// that folder takes files; otherwise, and always for a program installed in a
// bin folder (/usr/bin, /usr/local/bin), in the user's data folder,
// $XDG_DATA_HOME/Orvantis/<title>, which is created. On Windows always beside
// the program.
std::string DefaultProtocolPath(const std::string& executableDir, const std::string& title);

// The protocol file behind the application model: each run as one block.
class ProtocolFile final : public ProtocolLog {
public:
    std::string Append(const std::string& path, const std::vector<std::string>& run) override;
    bool EndsWith(const std::string& path, const std::vector<std::string>& run) const override;
    std::string Read(const std::string& path) const override { return ReadProtocol(path); }
    void Replace(const std::string& path, std::string_view bytes) override { ReplaceProtocol(path, bytes); }
    bool Exists(const std::string& path) const override;
    std::string WriteProblem(const std::string& path) const override;
    std::int32_t HighestRunNumberOn(const std::string& path, const std::string& shortDate) const override;
};

}  // namespace chronivel
