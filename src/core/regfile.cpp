// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/regfile.h"

#include <cstdint>
#include <cstdio>

#include "core/textencoding.h"

namespace chronivel {
namespace {

constexpr std::string_view Regedit4Header = "REGEDIT4";
constexpr std::string_view Version5Header = "Windows Registry Editor Version 5.00";
// What regedit writes, and the one form in which it reads every character:
// "Unicode" exports. A REGEDIT4 file it reads in the ANSI code page.
constexpr std::string_view Utf16ByteOrderMark = "\xFF\xFE";
constexpr char LineEnd[] = "\r\n";
// regedit wraps hex lists so that no line is wider than this.
constexpr std::size_t LineWidth = 80;
constexpr std::string_view ContinuationIndent = "  ";

// ---- The file's encoding ---------------------------------------------------

struct DecodedFile {
    std::string text;            // UTF-8
    bool ansiBytes = false;      // the file was Windows-1252, and so are its hex texts
};

DecodedFile DecodeFile(std::string_view bytes)
{
    if (bytes.starts_with(Utf16ByteOrderMark)) return {Utf16LeToUtf8(bytes.substr(2)), false};
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (IsValidUtf8(bytes)) return {std::string(bytes), false};
    return {Windows1252ToUtf8(bytes), true};
}

// ---- Small text helpers ---------------------------------------------------

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && SameValueName(s.substr(0, prefix.size()), prefix);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hex digits only, at most 8 of them.
std::optional<std::uint32_t> HexNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t n = 0;
    for (const char c : digits) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        n = n << 4 | static_cast<std::uint32_t>(d);
    }
    return n;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// ---- Reading ----------------------------------------------------------------

// A line's fault, reported with the line it was found on.
struct Fault {
    std::string reason;
};

enum class Quote { Name, Text };

// Reads a quoted string at the start of `s` and removes it from `s`. Its
// escapes are \\ and \", and in a text the \n and \r with which Wine's
// regedit exports line breaks (a name cannot hold a line break).
std::string QuotedString(std::string_view& s, Quote kind)
{
    const std::string what = kind == Quote::Name ? "name" : "text";
    std::string out;
    std::size_t i = 1;
    for (; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) break;
        switch (s[i]) {
        case '\\':
        case '"': out += s[i]; break;
        case 'n':
        case 'r':
            if (kind == Quote::Text) {
                out += s[i] == 'n' ? '\n' : '\r';
                break;
            }
            [[fallthrough]];
        default: throw Fault{"unknown escape \\" + std::string(1, s[i]) + " in a " + what};
        }
    }
    if (i >= s.size()) throw Fault{"a " + what + " without its closing quote"};
    s.remove_prefix(i + 1);
    return out;
}

std::vector<std::uint8_t> HexBytes(std::string_view list)
{
    std::vector<std::uint8_t> bytes;
    list = Trimmed(list);
    if (list.empty()) return bytes;
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view token = Trimmed(list.substr(0, comma));
        if (token.empty()) throw Fault{"a hex list with a missing byte"};
        const std::optional<std::uint32_t> byte = token.size() <= 2 ? HexNumber(token) : std::nullopt;
        if (!byte) throw Fault{"'" + std::string(token.substr(0, 8)) + "' is not a hex byte"};
        bytes.push_back(static_cast<std::uint8_t>(*byte));
        if (comma == std::string_view::npos) return bytes;
        list.remove_prefix(comma + 1);
    }
}

class Reader {
public:
    Reader(std::string_view text, std::string_view keyPath, bool ansiBytes)
        : lines_(SplitLines(text)), keyPath_(keyPath), ansiBytes_(ansiBytes)
    {
    }

    RegFileParse Read()
    {
        const std::string_view header = lines_.empty() ? std::string_view{} : Trimmed(lines_[0]);
        version5_ = header == Version5Header;
        next_ = version5_ || header == Regedit4Header ? 1 : 0;
        // Read on all the same: a lost header should not cost the values.
        if (next_ == 0) Report(1, "it does not begin with " + std::string(Regedit4Header));
        while (next_ < lines_.size()) {
            const std::size_t index = next_++;
            try {
                ReadLine(Trimmed(lines_[index]));
            } catch (const Fault& fault) {
                Report(static_cast<int>(index) + 1, fault.reason);
            }
        }
        if (!result_.keyFound) Report(0, "the key [" + std::string(keyPath_) + "] is missing");
        return std::move(result_);
    }

private:
    enum class Section { BeforeAnyKey, Ours, Other };

    void Report(int line, std::string reason)
    {
        if (!result_.problem) result_.problem = RegFileProblem{line, std::move(reason)};
    }

    void ReadLine(std::string_view line)
    {
        if (line.empty() || line.front() == ';') return;
        if (line.front() == '[') return ReadKeyLine(line);
        if (section_ == Section::Other) return;
        if (section_ == Section::BeforeAnyKey) throw Fault{"a value before the first key"};
        ReadValueLine(line);
    }

    void ReadKeyLine(std::string_view line)
    {
        section_ = Section::Other;
        if (!line.ends_with(']')) throw Fault{"a key line without its closing ]"};
        const std::string_view path = Trimmed(line.substr(1, line.size() - 2));
        // "[-key]" deletes a key: never ours to keep.
        if (SameValueName(path, keyPath_)) {
            section_ = Section::Ours;
            result_.keyFound = true;
        }
    }

    void ReadValueLine(std::string_view line)
    {
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (line.front() == '"') {
            name = QuotedString(line, Quote::Name);
        } else {
            throw Fault{"a line that is neither a key nor a value"};
        }
        line = Trimmed(line);
        if (!line.starts_with('=')) throw Fault{"no = after the name"};
        line = Trimmed(line.substr(1));
        if (line == "-") return;  // deletes the value: nothing to keep

        RegValue value = ReadData(line);
        if (FindValue(result_.values, name))
            throw Fault{"'" + name + "' is there twice; the first one counts"};
        result_.values.emplace_back(std::move(name), std::move(value));
    }

    RegValue ReadData(std::string_view data)
    {
        if (data.starts_with('"')) {
            std::string text = QuotedString(data, Quote::Text);
            if (!Trimmed(data).empty()) throw Fault{"more after the text's closing quote"};
            return RegValue::Text(text);
        }
        if (StartsWithIgnoringCase(data, "dword:")) {
            const std::string_view digits = Trimmed(data.substr(6));
            const std::optional<std::uint32_t> number = digits.size() == 8 ? HexNumber(digits) : std::nullopt;
            if (!number) throw Fault{"a dword must be 8 hex digits"};
            return RegValue::Dword(static_cast<std::int32_t>(*number));
        }
        if (StartsWithIgnoringCase(data, "hex")) return ReadHex(data.substr(3));
        throw Fault{"a value of no known kind"};
    }

    // After "hex": an optional "(type)", a colon and the bytes.
    RegValue ReadHex(std::string_view rest)
    {
        std::uint32_t type = static_cast<std::uint32_t>(RegType::Binary);
        if (rest.starts_with('(')) {
            const std::size_t close = rest.find(')');
            const std::optional<std::uint32_t> number =
                close == std::string_view::npos ? std::nullopt : HexNumber(rest.substr(1, close - 1));
            if (!number) throw Fault{"hex( must hold a type number of up to 8 hex digits"};
            type = *number;
            rest.remove_prefix(close + 1);
        }
        if (!rest.starts_with(':')) throw Fault{"no : after hex"};
        std::vector<std::uint8_t> bytes = HexBytes(ContinuedList(rest.substr(1)));
        if (type == static_cast<std::uint32_t>(RegType::Sz) || type == static_cast<std::uint32_t>(RegType::ExpandSz))
            return RegValue::Text(HexText(bytes), static_cast<RegType>(type));
        return RegValue{type, std::move(bytes)};
    }

    // A list ending in a backslash goes on in the next line.
    std::string ContinuedList(std::string_view list)
    {
        std::string joined;
        list = Trimmed(list);
        while (list.ends_with('\\')) {
            joined += list.substr(0, list.size() - 1);
            // A continuation holds only more bytes; anything else is the next
            // line of its own, and the list was cut off before it.
            const std::string_view more = next_ < lines_.size() ? Trimmed(lines_[next_]) : std::string_view{};
            if (more.empty() || HexDigit(more.front()) < 0) throw Fault{"a hex list that breaks off"};
            ++next_;
            list = more;
        }
        joined += list;
        if (Trimmed(joined).ends_with(',')) throw Fault{"a hex list that breaks off"};
        return joined;
    }

    // Texts given as bytes end in a terminating zero, which the value leaves out.
    std::string HexText(const std::vector<std::uint8_t>& bytes)
    {
        std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (version5_) {
            if (raw.size() % 2 != 0) throw Fault{"a UTF-16 text must have an even number of bytes"};
            if (raw.ends_with(std::string_view("\0\0", 2))) raw.remove_suffix(2);
            return Utf16LeToUtf8(raw);
        }
        if (raw.ends_with('\0')) raw.remove_suffix(1);
        if (ansiBytes_ || !IsValidUtf8(raw)) return Windows1252ToUtf8(raw);
        return std::string(raw);
    }

    std::vector<std::string_view> lines_;
    std::string_view keyPath_;
    bool ansiBytes_;
    bool version5_ = false;
    std::size_t next_ = 0;
    Section section_ = Section::BeforeAnyKey;
    RegFileParse result_;
};

// ---- Writing ----------------------------------------------------------------

std::string Quoted(std::string_view s)
{
    std::string out = "\"";
    for (const char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

bool FitsInQuotes(std::string_view text)
{
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) return false;
    }
    return IsValidUtf8(text);
}

std::string HexNumberText(std::uint32_t n, int width)
{
    char digits[9];
    std::snprintf(digits, sizeof digits, "%0*x", width, static_cast<unsigned>(n));
    return digits;
}

// Appends `line` and the bytes, wrapped as regedit wraps them: a backslash
// at the end of a full line, two spaces at the start of the next.
void AppendHexLine(std::string& out, std::string line, const std::vector<std::uint8_t>& bytes)
{
    std::size_t column = line.size();
    out += line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool last = i + 1 == bytes.size();
        const std::size_t width = last ? 2 : 4;  // "ff" or "ff," with room for the backslash
        if (column + width > LineWidth && column > ContinuationIndent.size()) {
            out += "\\";
            out += LineEnd;
            out += ContinuationIndent;
            column = ContinuationIndent.size();
        }
        out += HexNumberText(bytes[i], 2);
        if (!last) out += ',';
        column += last ? 2 : 3;
    }
    out += LineEnd;
}

void AppendValue(std::string& out, std::string_view name, const RegValue& value)
{
    std::string line = name.empty() ? "@=" : Quoted(name) + "=";
    if (value.Is(RegType::Dword) && value.data.size() == 4) {
        out += line + "dword:" + HexNumberText(static_cast<std::uint32_t>(value.AsDword()), 8) + LineEnd;
    } else if (value.Is(RegType::Sz) && FitsInQuotes(value.AsText())) {
        out += line + Quoted(value.AsText()) + LineEnd;
    } else if (value.Is(RegType::Sz) || value.Is(RegType::ExpandSz)) {
        // As the registry holds them: UTF-16 with a terminating zero.
        const std::string text = Utf8ToUtf16Le(value.AsText()) + std::string(2, '\0');
        AppendHexLine(out, line + "hex(" + HexNumberText(value.type, 1) + "):",
                      std::vector<std::uint8_t>(text.begin(), text.end()));
    } else if (value.Is(RegType::Binary)) {
        AppendHexLine(out, line + "hex:", value.data);
    } else {
        AppendHexLine(out, line + "hex(" + HexNumberText(value.type, 1) + "):", value.data);
    }
}

}  // namespace

bool IsWritableValueName(std::string_view name)
{
    return name.find('\n') == std::string_view::npos && IsValidUtf8(name);
}

bool SameValueName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

std::optional<RegValue> FindValue(const NamedValues& values, std::string_view name)
{
    for (const auto& [known, value] : values)
        if (SameValueName(known, name)) return value;
    return std::nullopt;
}

void SetValue(NamedValues& values, std::string_view name, RegValue value)
{
    for (auto& [known, old] : values) {
        if (SameValueName(known, name)) {
            old = std::move(value);
            return;
        }
    }
    values.emplace_back(std::string(name), std::move(value));
}

RegFileParse ParseRegFile(std::string_view fileBytes, std::string_view keyPath)
{
    const DecodedFile file = DecodeFile(fileBytes);
    return Reader(file.text, keyPath, file.ansiBytes).Read();
}

std::string RegFileHead(std::string_view keyPath)
{
    return std::string(Utf16ByteOrderMark) +
           Utf8ToUtf16Le(std::string(Version5Header) + LineEnd + LineEnd + "[" + std::string(keyPath) + "]" + LineEnd);
}

std::string RegFileValue(std::string_view name, const RegValue& value)
{
    if (!IsWritableValueName(name)) throw SettingsError("Invalid value name " + Quoted(name));
    std::string text;
    AppendValue(text, name, value);
    return Utf8ToUtf16Le(text);
}

std::string RegFileTail()
{
    return Utf8ToUtf16Le(LineEnd);
}

std::string WriteRegFile(std::string_view keyPath, const NamedValues& values)
{
    std::string out = RegFileHead(keyPath);
    for (const auto& [name, value] : values) out += RegFileValue(name, value);
    return out + RegFileTail();
}

}  // namespace chronivel
