#include "core/protocol.h"

#include "core/textencoding.h"

namespace chronivel {

namespace {

constexpr std::string_view kCrLf = "\r\n";

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
    const std::string text = Windows1252ToUtf8(fileBytes);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

std::string ProtocolTextToFile(std::string_view utf8Text)
{
    std::string withCrLf;
    withCrLf.reserve(utf8Text.size() + utf8Text.size() / 16);
    for (std::size_t i = 0; i < utf8Text.size(); ++i) {
        // A CR LF that is there already stays one line end.
        if (utf8Text[i] == '\n' && (i == 0 || utf8Text[i - 1] != '\r')) withCrLf += '\r';
        withCrLf += utf8Text[i];
    }
    return Utf8ToWindows1252(withCrLf);
}

}  // namespace chronivel
