// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chronivel {

// The protocol file is a plain-text record of every finished run, written
// in Windows-1252 with CR LF line ends so that any editor on either system
// reads it. Each run leaves one block there:
//
//   START 1 = 14:05:09 = Mo. 07.12.26
//   LAP 1 = 12,345
//   ___________________________________
//   STOP: = 30,500 (+18,155) 18,155 Ø 15,250
//   (an empty line)

// The line set above each line that begins with "STOP": 35 underscores.
inline constexpr std::string_view kProtocolSeparator = "___________________________________";

// The file bytes of one run's block, from the run's lap-list lines (UTF-8).
std::string ProtocolBlock(const std::vector<std::string>& lines);

// Whether the lap-list line is a closing one, which gets the separator.
inline bool IsStopLine(std::string_view line)
{
    return line.starts_with("STOP");
}

// The whole file as editable text: UTF-8, every line end (CR LF, or a lone
// LF or CR as another editor may leave) one LF, as a text editor shows it.
std::string ProtocolFileToText(std::string_view fileBytes);

// The file bytes for the edited text (UTF-8, lines ended by LF) of a file
// that held `fileBytes`: a line the edit left as it was keeps its bytes and
// its line end; a new or changed line is Windows-1252 and ends in CR LF.
std::string EditedProtocol(std::string_view fileBytes, std::string_view editedText);

}  // namespace chronivel
