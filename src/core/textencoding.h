// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace chronivel {

// Appends the UTF-8 form of one code point (up to U+10FFFF).
void AppendUtf8(std::string& out, char32_t codePoint);

// Decodes the UTF-8 sequence that starts at text[pos] into `codePoint` and
// returns its length; 0 when the bytes there are not well-formed UTF-8: a
// stray or missing continuation byte, a sequence cut off by the end, an
// overlong form, a surrogate or a number beyond U+10FFFF.
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& codePoint);

// Whether the whole text is well-formed UTF-8, by DecodeUtf8's rules.
bool IsValidUtf8(std::string_view text);

// Windows-1252, Windows' "ANSI" code page in Western Europe and America.
// Characters without a Windows-1252 byte, and bytes that are not valid
// UTF-8, become '?'. The five bytes 1252 leaves undefined come back from
// U+0081, U+008D, U+008F, U+0090 and U+009D, as Windows maps them, so every
// byte survives a round trip through Windows1252ToUtf8.
std::string Utf8ToWindows1252(std::string_view utf8);
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-16 little-endian bytes, as Windows keeps its texts, to UTF-8.
// Unpaired surrogates and a lone last byte become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

// UTF-8 to UTF-16 little-endian bytes, characters beyond U+FFFF as surrogate
// pairs. Each byte that is not part of well-formed UTF-8 becomes U+FFFD.
std::string Utf8ToUtf16Le(std::string_view utf8);

}  // namespace chronivel
