// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/textencoding.h"

#include <gtest/gtest.h>

namespace chronivel {
namespace {

TEST(Utf8, AppendsOneToFourBytesByTheCodePointsSize)
{
    std::string out;
    for (const char32_t c : {U'A', U'\u00E9', U'\u20AC', U'\U0001F601', U'\U0010FFFF'}) AppendUtf8(out, c);
    EXPECT_EQ(out, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x81\xF4\x8F\xBF\xBF");
}

TEST(Utf8, DecodesOneSequenceAndGivesItsLength)
{
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x81";
    const struct {
        std::size_t pos;
        std::size_t length;
        char32_t codePoint;
    } cases[] = {{0, 1, U'A'}, {1, 2, U'\u00E9'}, {3, 3, U'\u20AC'}, {6, 4, U'\U0001F601'}};
    for (const auto& c : cases) {
        char32_t codePoint = 0;
        EXPECT_EQ(DecodeUtf8(text, c.pos, codePoint), c.length) << c.pos;
        EXPECT_EQ(codePoint, c.codePoint) << c.pos;
    }
    char32_t ignored = 0;
    EXPECT_EQ(DecodeUtf8(text, 2, ignored), 0u);  // a continuation byte starts nothing
    EXPECT_EQ(DecodeUtf8(text.substr(0, 8), 6, ignored), 0u);  // cut off by the end
}

TEST(Utf8, ValidityRefusesEveryMalformedSequence)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII\t\n"));
    EXPECT_TRUE(IsValidUtf8("Z\u00FCrich \u20AC \U0001F601 \U0010FFFF"));
    EXPECT_TRUE(IsValidUtf8("\xED\x9F\xBF\xEE\x80\x80"));  // U+D7FF and U+E000, around the surrogates

    EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));           // Windows-1252
    EXPECT_FALSE(IsValidUtf8("\x80"));                // a lone continuation byte
    EXPECT_FALSE(IsValidUtf8("a\xC3"));               // cut off at the end
    EXPECT_FALSE(IsValidUtf8("\xE2\x82z"));           // cut off before another character
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));            // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));        // overlong in three bytes
    EXPECT_FALSE(IsValidUtf8("\xF0\x8F\xBF\xBF"));    // overlong in four bytes
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));        // a high surrogate
    EXPECT_FALSE(IsValidUtf8("\xED\xBF\xBF"));        // a low surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));    // beyond U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xF8\x88\x80\x80\x80"));  // five bytes were never UTF-8
    EXPECT_FALSE(IsValidUtf8("\xFF"));
}

TEST(Windows1252, EveryByteSurvivesTheRoundTripThroughUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = Windows1252ToUtf8(all);
    EXPECT_EQ(Utf8ToWindows1252(utf8), all);
    // 128 ASCII bytes; two UTF-8 bytes for 0xA0..0xFF, the five undefined
    // bytes and the ten letters of 0x80..0x9F below U+0800; three for the
    // other seventeen (quotes, dashes, the euro sign, ...).
    EXPECT_EQ(utf8.size(), 128u + 2u * (96u + 5u + 10u) + 3u * 17u);
}

TEST(Windows1252, LettersAndSymbolsMapBothWays)
{
    const struct {
        const char* utf8;
        const char* cp1252;
    } cases[] = {
        {"\u00D8", "\xD8"}, {"\u00E4\u00F6\u00FC\u00DF", "\xE4\xF6\xFC\xDF"}, {"\u20AC", "\x80"},
        {"\u201E\u201C", "\x84\x93"}, {"\u2026", "\x85"}, {"\u0178", "\x9F"}, {"\u00A0", "\xA0"},
        {"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.cp1252) << c.utf8;
        EXPECT_EQ(Windows1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
    }
}

TEST(Windows1252, UnmappableCharactersAndBrokenUtf8BecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToWindows1252("a\u0100b"), "a?b");             // Latin Extended, not in 1252
    EXPECT_EQ(Utf8ToWindows1252("\u0080\u009F"), "??");         // C1 controls 1252 uses for other characters
    EXPECT_EQ(Utf8ToWindows1252("\U0001F600!"), "?!");           // beyond the basic plane: one character
    EXPECT_EQ(Utf8ToWindows1252("x\xFFy"), "x?y");               // never a UTF-8 byte
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), "?");                   // cut off at the end
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82z"), "??z");            // cut off before another character
    EXPECT_EQ(Utf8ToWindows1252("\x98"), "?");                   // a lone continuation byte
    EXPECT_EQ(Utf8ToWindows1252("\xC0\xAF"), "??");              // overlong "/"
    EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), "???");         // a surrogate
    EXPECT_EQ(Utf8ToWindows1252("\xF4\x90\x80\x80"), "????");    // beyond U+10FFFF
}

TEST(Utf16Le, PairsBecomeOneCharacterAndBrokenOnesTheReplacementCharacter)
{
    using namespace std::string_literals;
    EXPECT_EQ(Utf16LeToUtf8(""), "");
    EXPECT_EQ(Utf16LeToUtf8("A\0\xE9\0\xAC\x20"s), "A\u00E9\u20AC");
    EXPECT_EQ(Utf16LeToUtf8("\x3D\xD8\x01\xDE"s), "\U0001F601");  // a surrogate pair
    EXPECT_EQ(Utf16LeToUtf8("\x3D\xD8" "A\0"s), "\uFFFDA");        // a high surrogate alone
    EXPECT_EQ(Utf16LeToUtf8("\x01\xDE" "A\0"s), "\uFFFDA");        // a low surrogate alone
    EXPECT_EQ(Utf16LeToUtf8("\x3D\xD8"s), "\uFFFD");               // a high surrogate at the end
    EXPECT_EQ(Utf16LeToUtf8("A\0B"s), "A\uFFFD");                  // an odd last byte
}

TEST(Utf16Le, EveryCharacterGoesThereAndBackAndBrokenUtf8BecomesReplacements)
{
    using namespace std::string_literals;
    EXPECT_EQ(Utf8ToUtf16Le(""), "");
    EXPECT_EQ(Utf8ToUtf16Le("A\u00E4\u20AC\u03A9\u65E5"), "A\0\xE4\0\xAC\x20\xA9\x03\xE5\x65"s);
    EXPECT_EQ(Utf8ToUtf16Le("\U0001F601\U0010FFFF"), "\x3D\xD8\x01\xDE\xFF\xDB\xFF\xDF"s);  // surrogate pairs
    EXPECT_EQ(Utf8ToUtf16Le("a\0b"s), "a\0\0\0b\0"s);  // a zero is a character like any other
    EXPECT_EQ(Utf8ToUtf16Le("x\xE9y"), "x\0\xFD\xFFy\0"s);          // Windows-1252, not UTF-8
    EXPECT_EQ(Utf8ToUtf16Le("\xE2\x82z"), "\xFD\xFF\xFD\xFFz\0"s);   // cut off: one replacement a byte
    EXPECT_EQ(Utf8ToUtf16Le("\xED\xA0\x80"), "\xFD\xFF\xFD\xFF\xFD\xFF"s);  // a surrogate in UTF-8

    std::string everyPlane;
    for (const char32_t c : {U'\u007F', U'\u0080', U'\u07FF', U'\u0800', U'\uD7FF', U'\uE000', U'\uFFFF',
                             U'\U00010000', U'\U0010FFFF'})
        AppendUtf8(everyPlane, c);
    EXPECT_EQ(Utf16LeToUtf8(Utf8ToUtf16Le(everyPlane)), everyPlane);
}

}  // namespace
}  // namespace chronivel
