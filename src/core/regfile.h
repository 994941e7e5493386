// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/settingsstore.h"

namespace chronivel {

// The values of one key, each with its name, in the order they are kept.
using NamedValue = std::pair<std::string, RegValue>;
using NamedValues = std::vector<NamedValue>;

// The first thing wrong with a settings file.
struct RegFileProblem {
    int line = 0;        // 1-based; 0 when the file as a whole is at fault
    std::string reason;  // short, for a message to the user

    friend bool operator==(const RegFileProblem&, const RegFileProblem&) = default;
};

struct RegFileParse {
    NamedValues values;                     // of the wanted key, in file order
    std::optional<RegFileProblem> problem;  // the first bad line; the good ones are all in `values`
    bool keyFound = false;                  // whether the file has a section for the key
};

// Reads the text of a registry export ("REGEDIT4", or "Windows Registry
// Editor Version 5.00" in UTF-16 or UTF-8) and keeps the values of the key
// `keyPath` (such as HKEY_CURRENT_USER\Software\Orvantis\Chronivel); other
// keys are skipped. Accepts what regedit writes: CRLF or LF, Windows-1252
// bytes, hex lists continued over lines, and the REGEDIT4 files in UTF-8 that
// earlier versions of this program wrote. A damaged file costs only its bad
// lines: every line that parses is read, and the first bad one is reported.
// Texts come out as UTF-8.
RegFileParse ParseRegFile(std::string_view fileBytes, std::string_view keyPath);

// A key with these values as regedit exports it, and so as regedit imports
// it with every character intact: "Windows Registry Editor Version 5.00" in
// UTF-16LE with a byte-order mark and CRLF line ends. ParseRegFile reads it
// back with the same names, types and bytes. Texts that a quoted string
// cannot hold (line breaks, control characters) and expandable texts are
// written as hex(1) and hex(2) in UTF-16, as the registry keeps them; a text
// that is not UTF-8 has each stray byte written as U+FFFD. Throws
// SettingsError for a name IsWritableValueName refuses.
std::string WriteRegFile(std::string_view keyPath, const NamedValues& values);

// The same file in pieces, its bytes exactly: the head, then each value's
// lines in order, then the tail. A writer that keeps the pieces of values
// that did not change need not encode them again.
std::string RegFileHead(std::string_view keyPath);
std::string RegFileValue(std::string_view name, const RegValue& value);
std::string RegFileTail();

// Whether a settings file can hold a value of this name: UTF-8 without a line
// break. The empty name is the key's default value, written as @.
bool IsWritableValueName(std::string_view name);

// Value names compare as the registry compares them, ignoring ASCII case.
bool SameValueName(std::string_view a, std::string_view b);

// The value of that name, by SameValueName; none when there is no such value.
std::optional<RegValue> FindValue(const NamedValues& values, std::string_view name);

// Replaces the value of that name where it stands, or adds it at the end.
void SetValue(NamedValues& values, std::string_view name, RegValue value);

}  // namespace chronivel
