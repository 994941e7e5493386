// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol.h"

#include "core/linematch.h"
#include "core/textencoding.h"

namespace chronivel {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// One line of the file: its bytes and the line end after them, which the
// last line has not.
struct FileLine {
    std::string_view bytes;
    std::string_view end;
};

std::vector<FileLine> FileLines(std::string_view file)
{
    std::vector<FileLine> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] != '\r' && file[i] != '\n') continue;
        const std::size_t endLength = file.compare(i, 2, kCrLf) == 0 ? 2 : 1;
        lines.push_back({file.substr(start, i - start), file.substr(i, endLength)});
        i += endLength - 1;
        start = i + 1;
    }
    lines.push_back({file.substr(start), {}});
    return lines;
}

bool IsAscii(std::string_view bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool SameLine(std::string_view fileBytes, std::string_view utf8)
{
    // Most lines are plain ASCII, whose bytes are their text.
    if (IsAscii(fileBytes)) return fileBytes == utf8;
    return Windows1252ToUtf8(fileBytes) == utf8;
}

}  // namespace

std::string ProtocolBlock(const std::vector<std::string>& lines)
{
    std::string block;
    for (const std::string& line : lines) {
        if (IsStopLine(line)) {
            block += kProtocolSeparator;
            block += kCrLf;
        }
        block += Utf8ToWindows1252(line);
        block += kCrLf;
    }
    block += kCrLf;
    return block;
}

std::string ProtocolFileToText(std::string_view fileBytes)
{
    std::string text;
    text.reserve(fileBytes.size());
    for (const FileLine& line : FileLines(fileBytes)) {
        text += Windows1252ToUtf8(line.bytes);
        if (!line.end.empty()) text += '\n';
    }
    return text;
}

std::string EditedProtocol(std::string_view fileBytes, std::string_view editedText)
{
    const std::vector<FileLine> old = FileLines(fileBytes);
    std::vector<std::string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t lf = editedText.find('\n', start);
        lines.push_back(editedText.substr(start, lf - start));
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
    const std::vector<std::size_t> match = MatchLines(
        old.size(), lines.size(), [&](std::size_t o, std::size_t n) { return SameLine(old[o].bytes, lines[n]); });
    std::string file;
    file.reserve(fileBytes.size() + 64);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const FileLine* kept = match[n] != kNewLine ? &old[match[n]] : nullptr;
        if (kept) {
            file += kept->bytes;
        } else {
            file += Utf8ToWindows1252(lines[n]);
        }
        if (n + 1 == lines.size()) break;
        // A kept line keeps its line end unless it was the last and is followed now.
        file += kept && !kept->end.empty() ? kept->end : kCrLf;
    }
    return file;
}

}  // namespace chronivel
