#include "core/protocol.h"

#include <array>
#include <cstdint>

namespace chronivel {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Code points of the bytes 0x80..0x9F; the undefined ones keep their own
// number, as the C1 control they would be in Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOf(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char32_t{byte};
}

char ByteOf(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<char>(codePoint);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == codePoint) return static_cast<char>(0x80 + i);
    return '?';
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {  // every 1252 character lies in the basic plane
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[pos]. Returns its length, or 0 when the
// byte there does not start a well-formed sequence (overlong forms,
// surrogates and numbers beyond U+10FFFF included).
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    // Length, payload bits of the lead byte and the least number that needs this length.
    std::size_t length = 0;
    char32_t min = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        min = 0x80;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        min = 0x800;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        min = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(pos + i) & 0x3F);
    }
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
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

std::string Utf8ToWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(utf8, pos, codePoint);
        out += length == 0 ? '?' : ByteOf(codePoint);
        pos += length == 0 ? 1 : length;
    }
    return out;
}

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char b : bytes) AppendUtf8(out, CodePointOf(static_cast<unsigned char>(b)));
    return out;
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
