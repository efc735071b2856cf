#include "documents/cp932.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace palomind {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string Repeat(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// Characters where cp932 differs from plain Shift-JIS, or that only its NEC
// and IBM rows hold: each must survive a trip in both directions.
TEST(Cp932, WindowsCharactersRoundTripByteForByte) {
    struct Case {
        std::string_view utf8;
        std::string_view cp932;
    };
    const Case cases[] = {
        {"～", "\x81\x60"},  // U+FF5E, not the wave dash
        {"－", "\x81\x7C"},  // U+FF0D, not the minus sign
        {"①", "\x87\x40"},
        {"㈱", "\x87\x8A"},
        {"㍾", "\x87\x8D"},
        {"＂", "\xFA\x57"},
        {"レースコメント記入欄",
         "\x83\x8C\x81\x5B\x83\x58\x83\x52\x83\x81\x83\x93\x83\x67\x8B\x4C\x93\xFC\x97\x93"},
        {"ﾚｰｽ", "\xDA\xB0\xBD"},  // half-width katakana are single bytes
        {"a,\"\r\n\\~", "a,\"\r\n\\~"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.utf8;
        EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8) << c.utf8;
    }
}

TEST(Cp932, LongTextConvertsWhole) {
    // Longer than one conversion buffer in both directions.
    const std::string utf8 = Repeat("記入欄～abc", 3000);
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(utf8)), utf8);
}

TEST(Cp932, InvalidBytesDecodeToReplacementAndKeepWhatFollows) {
    const std::string r(kReplacement);
    // Bytes no character starts with.
    EXPECT_EQ(Cp932ToUtf8("a\x80"
                          "b\xA0"
                          "c\xFD\xFE\xFF"),
              "a" + r + "b" + r + "c" + r + r + r);
    // A lead byte before an ASCII byte: the quote and line end survive.
    EXPECT_EQ(Cp932ToUtf8("\"\x82\"\r\n"), "\"" + r + "\"\r\n");
    // A lead byte cut off by the end of the input.
    EXPECT_EQ(Cp932ToUtf8("ab\x82"), "ab" + r);
    // A lead and a non-ASCII trail byte that no character uses: one unknown
    // character.
    EXPECT_EQ(Cp932ToUtf8("\x85\x9F"
                          "x"),
              r + "x");
}

TEST(Cp932, CharactersCp932LacksEncodeAsQuestionMark) {
    EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
    EXPECT_EQ(Utf8ToCp932("é"), "?");
    // Malformed UTF-8: each bad byte alone, and what follows is kept.
    EXPECT_EQ(Utf8ToCp932("x\xC3"
                          "y\xFF\"z"),
              "x?y?\"z");
    EXPECT_EQ(Utf8ToCp932("\xE3\x81"), "??");
}

TEST(Cp932, ArbitraryBytesNeverBreakDecoding) {
    std::string allBytes;
    for (int round = 0; round < 64; ++round)
        for (int b = 0; b < 256; ++b) allBytes.push_back(static_cast<char>((b * 7 + round) & 0xFF));
    const std::string utf8 = Cp932ToUtf8(allBytes);
    // Every delimiter byte of the input comes through.
    for (const char delimiter : {'"', ',', '\r', '\n'}) {
        EXPECT_EQ(std::count(utf8.begin(), utf8.end(), delimiter),
                  std::count(allBytes.begin(), allBytes.end(), delimiter));
    }
    // And what came out encodes again without trouble.
    EXPECT_FALSE(Utf8ToCp932(utf8).empty());
}

}  // namespace
}  // namespace palomind
