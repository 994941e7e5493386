// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace chronivel {

// Texts as the Windows API takes and gives them: UTF-16, where the program
// keeps UTF-8.
std::wstring Utf16(std::string_view utf8);
std::string Utf8(std::wstring_view utf16);

// The system's own words for an error code of GetLastError() or the
// registry's functions, without the line break they end in.
std::string SystemMessage(unsigned long error);

}  // namespace chronivel
