// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/regfile.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <type_traits>

#include "core/textencoding.h"

namespace chronivel {
namespace {

constexpr std::string_view Key = "HKEY_CURRENT_USER\\Software\\Orvantis\\Test";

std::string Joined(std::initializer_list<std::string_view> lines, std::string_view end = "\n")
{
    std::string text;
    for (const std::string_view line : lines) {
        text += line;
        text += end;
    }
    return text;
}

// The start of a file of our key, for the damaged files below: the header,
// a blank line and the key line, so the next line is line 4.
std::string OurFile(std::initializer_list<std::string_view> valueLines)
{
    std::string text = Joined({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]"});
    for (const std::string_view line : valueLines) text += std::string(line) + "\n";
    return text;
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> bytes;
    for (const int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

std::vector<std::uint8_t> EveryByte()
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<std::uint8_t>(255 - i));
    return bytes;
}

std::vector<std::string> Names(const RegFileParse& parse)
{
    std::vector<std::string> names;
    for (const auto& [name, value] : parse.values) names.push_back(name);
    return names;
}

// UTF-16LE with a byte-order mark, as regedit's "Unicode" exports are, of a
// text given in UTF-16 or in ASCII.
template <typename Text>
std::string Utf16File(const Text& text)
{
    std::string bytes = "\xFF\xFE";
    for (const auto c : text) {
        const auto unit = static_cast<std::uint16_t>(static_cast<std::make_unsigned_t<decltype(c)>>(c));
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// The lines of one of our files, in UTF-8 without their CR.
std::vector<std::string> LinesOf(std::string_view file)
{
    EXPECT_TRUE(file.starts_with("\xFF\xFE"));
    std::istringstream text(Utf16LeToUtf8(file.substr(2)));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        EXPECT_TRUE(line.ends_with('\r')) << line;
        if (line.ends_with('\r')) line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TEST(RegFile, EveryTypeReadsBackAsWritten)
{
    const NamedValues values = {
        {"Zero", RegValue::Dword(0)},
        {"Answer", RegValue::Dword(42)},
        {"Minus", RegValue::Dword(-1)},
        {"Least", RegValue::Dword(INT_MIN)},
        {"Empty", RegValue::Text("")},
        {"Path", RegValue::Text("C:\\Users\\\"quoted\" \\\\server\\")},
        {"Accents", RegValue::Text("Zürich – 東京 🏁")},
        {"Spaces", RegValue::Text("  padded  ")},
        {"TwoLines", RegValue::Text("first\r\nsecond\n")},
        {"Controls", RegValue::Text(std::string("tab\there") + '\0' + "nul\x7f")},
        {"Expand", RegValue::Text("%USERPROFILE%\\Läufe", RegType::ExpandSz)},
        {"ExpandEmpty", RegValue::Text("", RegType::ExpandSz)},
        {"ExpandNewline", RegValue::Text(std::string_view("a\nb\0", 4), RegType::ExpandSz)},
        {"AllBytes", RegValue::Binary(EveryByte())},
        {"NoBytes", RegValue::Binary({})},
        {"None", RegValue{0, Bytes({1, 2})}},
        {"MultiSz", RegValue{7, Bytes({'a', 0, 'b', 0, 0})}},
        {"Qword", RegValue{11, Bytes({1, 2, 3, 4, 5, 6, 7, 8})}},
        {"Huge type", RegValue{0xFFFFFFFF, Bytes({0xAB})}},
        {"ShortDword", RegValue{4, Bytes({1, 2, 3})}},
        {"", RegValue::Text("the default value")},
        {"@", RegValue::Dword(7)},
        {"name \"with\" \\ quotes", RegValue::Dword(5)},
        {"Grüße", RegValue::Binary(Bytes({0}))},
    };
    const std::string file = WriteRegFile(Key, values);
    const RegFileParse parse = ParseRegFile(file, Key);
    EXPECT_FALSE(parse.problem) << parse.problem->line << ": " << parse.problem->reason << "\n" << file;
    EXPECT_TRUE(parse.keyFound);
    EXPECT_EQ(parse.values, values) << file;
}

TEST(RegFile, WritesTheUnicodeFormThatRegeditReadsEveryCharacterOf)
{
    const NamedValues values = {
        {"Count", RegValue::Dword(42)},
        {"Negative", RegValue::Dword(-2)},
        {"Path", RegValue::Text("C:\\a \"b\"")},
        {"Fon", RegValue::Text("\u00E4 \u00DF \u20AC \u0142 \u03A9 \u65E5\u672C \U0001F3C1")},
        {"Gr\u00FC\u00DFe", RegValue::Dword(1)},
        {"Home", RegValue::Text("%A%\u03A9", RegType::ExpandSz)},
        {"Lines", RegValue::Text("a\n\u00E4")},
        {"Raw", RegValue::Binary(Bytes({0, 1, 0xFF}))},
        {"Multi", RegValue{7, Bytes({'x', 0, 0, 0, 0, 0})}},
        {"", RegValue::Text("default")},
    };
    EXPECT_EQ(WriteRegFile(Key, values),
              Utf16File(std::u16string_view(u"Windows Registry Editor Version 5.00\r\n"
                                            u"\r\n"
                                            u"[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]\r\n"
                                            u"\"Count\"=dword:0000002a\r\n"
                                            u"\"Negative\"=dword:fffffffe\r\n"
                                            u"\"Path\"=\"C:\\\\a \\\"b\\\"\"\r\n"
                                            u"\"Fon\"=\"\u00E4 \u00DF \u20AC \u0142 \u03A9 \u65E5\u672C \U0001F3C1\"\r\n"
                                            u"\"Gr\u00FC\u00DFe\"=dword:00000001\r\n"
                                            u"\"Home\"=hex(2):25,00,41,00,25,00,a9,03,00,00\r\n"
                                            u"\"Lines\"=hex(1):61,00,0a,00,e4,00,00,00\r\n"
                                            u"\"Raw\"=hex:00,01,ff\r\n"
                                            u"\"Multi\"=hex(7):78,00,00,00,00,00\r\n"
                                            u"@=\"default\"\r\n"
                                            u"\r\n")));
    EXPECT_EQ(WriteRegFile(Key, {}),
              Utf16File(std::string_view("Windows Registry Editor Version 5.00\r\n\r\n"
                                         "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]\r\n\r\n")));
}

TEST(RegFile, WrapsLongHexListsAsRegeditDoes)
{
    const std::string longName(90, 'N');
    const NamedValues values = {
        {"Block", RegValue::Binary(EveryByte())},
        {longName, RegValue::Binary(Bytes({1, 2, 3}))},
        {"Short", RegValue::Binary(std::vector<std::uint8_t>(20, 0xEE))},
    };
    const std::string file = WriteRegFile(Key, values);

    int continued = 0;
    bool previousGoesOn = false;
    for (const std::string& line : LinesOf(file)) {
        if (line.size() > 80) {
            EXPECT_TRUE(line.starts_with("\"" + longName)) << line;
        }
        if (previousGoesOn) {
            EXPECT_TRUE(line.starts_with("  ") && !line.starts_with("   ")) << line;
            ++continued;
        }
        previousGoesOn = line.ends_with('\\');
        if (previousGoesOn) {
            EXPECT_TRUE(line.ends_with(",\\") || line.ends_with(":\\")) << line;
        }
    }
    // 256 bytes: 22 after "Block"=hex:, then 25 a line; the long name's bytes
    // on a line of their own; 20 bytes fit on one line.
    EXPECT_EQ(continued, 10 + 1);
    std::string shortLine = "\"Short\"=hex:";
    for (int i = 0; i < 19; ++i) shortLine += "ee,";
    EXPECT_EQ(LinesOf(file).at(LinesOf(file).size() - 2), shortLine + "ee");

    const RegFileParse parse = ParseRegFile(file, Key);
    EXPECT_FALSE(parse.problem);
    EXPECT_EQ(parse.values, values);
}

TEST(RegFile, ReadsAWindowsExport)
{
    // As regedit on a Western European Windows writes it: CRLF, ANSI text,
    // continued hex lists, and other keys around ours.
    const std::string file = Joined(
        {
            "REGEDIT4",
            "",
            "[HKEY_CURRENT_USER\\Software\\Orvantis]",
            "\"Shared\"=dword:00000001",
            "",
            "[hkey_current_user\\software\\orvantis\\TEST]",
            "\"Fon\"=\"Caf\xE9 \x80 \\\"Arial\\\"\"",
            "; a comment",
            "\"Alarm\"=hex:00,00,00,00,00,00,e0,3f",
            "@=\"\"",
            "\"Folder\"=hex(2):25,55,53,45,52,50,52,4f,46,49,4c,45,25,5c,4d,fc,6c,6c,\\",
            "  65,72,00",
            "\"Removed\"=-",
            "\"Multi\"=hex(7):61,00,62,00,00",
            "\"Count\"=DWORD:0000FFFF",
            "",
            "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test\\Sub]",
            "\"Inner\"=dword:00000002",
            "",
        },
        "\r\n");
    const RegFileParse parse = ParseRegFile(file, Key);
    EXPECT_FALSE(parse.problem);
    EXPECT_TRUE(parse.keyFound);
    const NamedValues expected = {
        {"Fon", RegValue::Text("Café € \"Arial\"")},
        {"Alarm", RegValue::Binary(Bytes({0, 0, 0, 0, 0, 0, 0xE0, 0x3F}))},
        {"", RegValue::Text("")},
        {"Folder", RegValue::Text("%USERPROFILE%\\Müller", RegType::ExpandSz)},
        {"Multi", RegValue{7, Bytes({'a', 0, 'b', 0, 0})}},
        {"Count", RegValue::Dword(0xFFFF)},
    };
    EXPECT_EQ(parse.values, expected);
}

TEST(RegFile, TakesHexTextsAsUtf8OnlyWhenTheyAreUtf8)
{
    // Our own files are UTF-8; a hex text that is not UTF-8 came from an
    // ANSI export with plain ASCII around it.
    const RegFileParse parse = ParseRegFile(OurFile({
                                                "\"Utf8\"=hex(2):c3,a9,00",
                                                "\"Ansi\"=hex(2):e9,00",
                                                "\"NoZero\"=hex(1):41,42",
                                                "\"TwoZeros\"=hex(1):41,00,00",
                                            }),
                                            Key);
    EXPECT_FALSE(parse.problem);
    const NamedValues expected = {
        {"Utf8", RegValue::Text("é", RegType::ExpandSz)},
        {"Ansi", RegValue::Text("é", RegType::ExpandSz)},
        {"NoZero", RegValue::Text("AB")},
        {"TwoZeros", RegValue::Text(std::string("A\0", 2))},
    };
    EXPECT_EQ(parse.values, expected);
}

TEST(RegFile, ReadsVersion5ExportsInUtf16AndUtf8)
{
    const std::string text = Joined(
        {
            "Windows Registry Editor Version 5.00",
            "",
            "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]",
            "\"Name\"=\"Chronivel\"",
            "\"Home\"=hex(2):25,00,41,00,25,00,3d,d8,01,de,00,00",
            "\"NoZero\"=hex(2):41,00,42,00",
            "\"Ticks\"=dword:00000010",
        },
        "\r\n");
    const NamedValues expected = {
        {"Name", RegValue::Text("Chronivel")},
        {"Home", RegValue::Text("%A%\xF0\x9F\x98\x81", RegType::ExpandSz)},
        {"NoZero", RegValue::Text("AB", RegType::ExpandSz)},
        {"Ticks", RegValue::Dword(16)},
    };
    for (const std::string& file : {Utf16File(text), text}) {
        const RegFileParse parse = ParseRegFile(file, Key);
        EXPECT_FALSE(parse.problem);
        EXPECT_EQ(parse.values, expected);
    }

    const RegFileParse odd = ParseRegFile(Utf16File(Joined({
                                              "Windows Registry Editor Version 5.00",
                                              "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]",
                                              "\"Odd\"=hex(1):41,00,42",
                                              "\"Good\"=dword:00000001",
                                          })),
                                          Key);
    ASSERT_TRUE(odd.problem);
    EXPECT_EQ(odd.problem->line, 3);
    EXPECT_EQ(Names(odd), std::vector<std::string>{"Good"});
}

TEST(RegFile, ReadsTheUtf8FilesOfEarlierVersionsWithTheSameTexts)
{
    // REGEDIT4 with UTF-8 text and LF line ends, as this program wrote it before.
    const std::string file = OurFile({
        "\"FileName\"=\"/home/j\u00FCrgen/L\u00E4ufe \u20AC/\u03A9 \u65E5\u672C \U0001F3C1.txt\"",
        "\"Fon\"=\"C:\\\\Stra\u00DFe\\\\\u0142\u00F3d\u017A.bmp\"",
        "\"Note\"=hex(1):c3,a4,0a,ce,a9,00",
        "\"Home\"=hex(2):25,41,25,2f,c3,9f,00",
        "\"Left\"=dword:0000000c",
    });
    const NamedValues expected = {
        {"FileName", RegValue::Text("/home/j\u00FCrgen/L\u00E4ufe \u20AC/\u03A9 \u65E5\u672C \U0001F3C1.txt")},
        {"Fon", RegValue::Text("C:\\Stra\u00DFe\\\u0142\u00F3d\u017A.bmp")},
        {"Note", RegValue::Text("\u00E4\n\u03A9")},
        {"Home", RegValue::Text("%A%/\u00DF", RegType::ExpandSz)},
        {"Left", RegValue::Dword(12)},
    };
    const RegFileParse parse = ParseRegFile(file, Key);
    EXPECT_FALSE(parse.problem) << parse.problem->line << ": " << parse.problem->reason;
    EXPECT_EQ(parse.values, expected);

    // The next save writes them in today's form, and they come back the same.
    const RegFileParse again = ParseRegFile(WriteRegFile(Key, parse.values), Key);
    EXPECT_FALSE(again.problem);
    EXPECT_EQ(again.values, expected);
}

TEST(RegFile, ReadsLineBreaksAsWinesRegeditExportsThem)
{
    const RegFileParse parse = ParseRegFile(Utf16File(std::u16string_view(
                                                u"Windows Registry Editor Version 5.00\r\n"
                                                u"\r\n"
                                                u"[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]\r\n"
                                                u"\"Note\"=\"\u00E4\\n\u03A9\\r\\n\\\\n\"\r\n")),
                                            Key);
    EXPECT_FALSE(parse.problem) << parse.problem->line << ": " << parse.problem->reason;
    const NamedValues expected = {{"Note", RegValue::Text("\u00E4\n\u03A9\r\n\\n")}};
    EXPECT_EQ(parse.values, expected);
}

TEST(RegFile, ReportsTheFirstBadLineAndKeepsEveryGoodOne)
{
    struct Case {
        const char* what;
        std::string_view badLine;
    };
    const Case cases[] = {
        {"no quote around the name", "Name=dword:00000001"},
        {"no =", "\"Name\" dword:00000001"},
        {"unknown kind", "\"Name\"=qword:0000000000000001"},
        {"unterminated name", "\"Name=dword:00000001"},
        {"unterminated text", "\"Name\"=\"abc"},
        {"text ending in a backslash", "\"Name\"=\"abc\\"},
        {"bad escape", "\"Name\"=\"a\\tb\""},
        {"bad escape in the name", "\"Na\\me\"=dword:00000001"},
        {"line break in the name", "\"Na\\nme\"=dword:00000001"},
        {"more after the text", "\"Name\"=\"abc\" x"},
        {"seven-digit dword", "\"Name\"=dword:0000001"},
        {"nine-digit dword", "\"Name\"=dword:000000001"},
        {"dword with a non-hex digit", "\"Name\"=dword:0000000g"},
        {"empty dword", "\"Name\"=dword:"},
        {"bad hex byte", "\"Name\"=hex:00,1g,02"},
        {"three-digit hex byte", "\"Name\"=hex:00,100"},
        {"missing byte", "\"Name\"=hex:00,,02"},
        {"list ending in a comma", "\"Name\"=hex:00,01,"},
        {"hex without colon", "\"Name\"=hex 00"},
        {"bad type number", "\"Name\"=hex(zz):00"},
        {"type number too long", "\"Name\"=hex(100000000):00"},
        {"unclosed type", "\"Name\"=hex(2:00"},
        {"key line without ]", "[HKEY_CURRENT_USER\\Software"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = OurFile({"\"Before\"=dword:00000001", c.badLine, "\"After\"=\"x\""});
        const RegFileParse parse = ParseRegFile(file, Key);
        ASSERT_TRUE(parse.problem);
        EXPECT_EQ(parse.problem->line, 5);
        EXPECT_FALSE(parse.problem->reason.empty());
        EXPECT_TRUE(parse.keyFound);
        // A broken key line leaves us outside our key until the next one.
        const bool keyBroken = c.badLine.starts_with('[');
        const std::vector<std::string> kept =
            keyBroken ? std::vector<std::string>{"Before"} : std::vector<std::string>{"Before", "After"};
        EXPECT_EQ(Names(parse), kept);
    }
}

TEST(RegFile, ReportsCutOffHexListsWithoutLosingTheNextValue)
{
    const RegFileParse beforeValue = ParseRegFile(OurFile({
                                                      "\"A\"=dword:00000001",
                                                      "\"Cut\"=hex:00,01,\\",
                                                      "\"B\"=dword:00000002",
                                                  }),
                                                  Key);
    ASSERT_TRUE(beforeValue.problem);
    EXPECT_EQ(beforeValue.problem->line, 5);
    EXPECT_EQ(Names(beforeValue), (std::vector<std::string>{"A", "B"}));

    const RegFileParse atEnd = ParseRegFile(OurFile({"\"A\"=dword:00000001", "\"Cut\"=hex:00,01,\\", "  02,\\"}), Key);
    ASSERT_TRUE(atEnd.problem);
    EXPECT_EQ(atEnd.problem->line, 5);
    EXPECT_EQ(Names(atEnd), std::vector<std::string>{"A"});

    // A bad byte on a continuation line costs that value and its lines only.
    const RegFileParse badContinuation = ParseRegFile(OurFile({
                                                          "\"Bad\"=hex:00,01,\\",
                                                          "  zz,03",
                                                          "\"B\"=hex:00,\\",
                                                          "  01",
                                                      }),
                                                      Key);
    ASSERT_TRUE(badContinuation.problem);
    EXPECT_EQ(badContinuation.problem->line, 4);
    ASSERT_EQ(Names(badContinuation), std::vector<std::string>{"B"});
    EXPECT_EQ(badContinuation.values[0].second, RegValue::Binary(Bytes({0, 1})));
}

TEST(RegFile, KeepsTheFirstOfTwoValuesOfOneName)
{
    const RegFileParse parse = ParseRegFile(OurFile({
                                                "\"Left\"=dword:00000001",
                                                "\"Top\"=dword:00000002",
                                                "\"LEFT\"=dword:00000003",
                                                "\"left\"=-",
                                                "\"Zoom\"=dword:00000004",
                                                "\"top\"=\"again\"",
                                            }),
                                            Key);
    ASSERT_TRUE(parse.problem);
    EXPECT_EQ(parse.problem->line, 6);
    EXPECT_NE(parse.problem->reason.find("LEFT"), std::string::npos) << parse.problem->reason;
    const NamedValues expected = {
        {"Left", RegValue::Dword(1)},
        {"Top", RegValue::Dword(2)},
        {"Zoom", RegValue::Dword(4)},
    };
    EXPECT_EQ(parse.values, expected);
}

TEST(RegFile, ReportsFilesThatAreNotOursAsAWhole)
{
    const RegFileParse noHeader = ParseRegFile(
        Joined({"[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]", "\"A\"=dword:00000001"}), Key);
    ASSERT_TRUE(noHeader.problem);
    EXPECT_EQ(noHeader.problem->line, 1);
    EXPECT_EQ(Names(noHeader), std::vector<std::string>{"A"});

    for (const std::string_view empty : {"", "\r\n", "\xEF\xBB\xBF"}) {
        const RegFileParse parse = ParseRegFile(empty, Key);
        ASSERT_TRUE(parse.problem);
        EXPECT_EQ(parse.problem->line, 1);
        EXPECT_FALSE(parse.keyFound);
    }

    const RegFileParse otherKey = ParseRegFile(
        Joined({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\Orvantis\\Other]", "garbage that is not ours"}), Key);
    ASSERT_TRUE(otherKey.problem);
    EXPECT_EQ(otherKey.problem->line, 0);
    EXPECT_NE(otherKey.problem->reason.find(std::string(Key)), std::string::npos);
    EXPECT_FALSE(otherKey.keyFound);
    EXPECT_TRUE(otherKey.values.empty());

    const RegFileParse deletedKey = ParseRegFile(Joined({"REGEDIT4", "[-HKEY_CURRENT_USER\\Software\\Orvantis\\Test]"}), Key);
    ASSERT_TRUE(deletedKey.problem);
    EXPECT_FALSE(deletedKey.keyFound);

    const RegFileParse valueFirst = ParseRegFile(
        Joined({"REGEDIT4", "\"Early\"=dword:00000001", "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]",
                "\"A\"=dword:00000002"}),
        Key);
    ASSERT_TRUE(valueFirst.problem);
    EXPECT_EQ(valueFirst.problem->line, 2);
    EXPECT_EQ(Names(valueFirst), std::vector<std::string>{"A"});
}

TEST(RegFile, SkipsWhatIsNotOursWithoutComplaint)
{
    const RegFileParse parse = ParseRegFile(Joined({
                                                "REGEDIT4",
                                                "; written by hand",
                                                "[HKEY_LOCAL_MACHINE\\Software\\Else]",
                                                "anything at all",
                                                "\"X\"=dword:1",
                                                "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]",
                                                "   \"A\" = dword:00000001   ",
                                                "\t",
                                                "\"Gone\"=-",
                                                "@=-",
                                                "[HKEY_CURRENT_USER\\Software\\Orvantis\\Test]",
                                                "\"B\"=hex: 01 , 2 ",
                                            }),
                                            Key);
    EXPECT_FALSE(parse.problem) << parse.problem->line << ": " << parse.problem->reason;
    const NamedValues expected = {{"A", RegValue::Dword(1)}, {"B", RegValue::Binary(Bytes({1, 2}))}};
    EXPECT_EQ(parse.values, expected);
}

TEST(RegFile, NamesFollowTheRegistrysRules)
{
    EXPECT_TRUE(SameValueName("CountDownT", "countdownt"));
    EXPECT_FALSE(SameValueName("Count", "Counts"));
    EXPECT_FALSE(SameValueName("Zürich", "ZÜRICH"));  // the registry folds more; ASCII is what we use

    EXPECT_TRUE(IsWritableValueName(""));
    EXPECT_TRUE(IsWritableValueName("tab\tand \"quotes\""));
    EXPECT_FALSE(IsWritableValueName("two\nlines"));
    EXPECT_FALSE(IsWritableValueName("\xE9t\xE9"));
    EXPECT_THROW(WriteRegFile(Key, {{"two\nlines", RegValue::Dword(1)}}), SettingsError);
}

TEST(RegFile, ValuesAreFoundAndReplacedByNameIgnoringCase)
{
    NamedValues values;
    SetValue(values, "Left", RegValue::Dword(1));
    SetValue(values, "Top", RegValue::Dword(2));
    SetValue(values, "LEFT", RegValue::Dword(3));  // the same value: it keeps its place and name
    const NamedValues expected = {{"Left", RegValue::Dword(3)}, {"Top", RegValue::Dword(2)}};
    EXPECT_EQ(values, expected);
    EXPECT_EQ(FindValue(values, "top"), RegValue::Dword(2));
    EXPECT_FALSE(FindValue(values, "Width"));
}

}  // namespace
}  // namespace chronivel
