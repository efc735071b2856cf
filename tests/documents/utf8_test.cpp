#include "documents/utf8.h"

#include <gtest/gtest.h>

#include <string_view>

namespace palomind {
namespace {

struct Case {
    std::string_view bytes;
    bool wellFormed;
};

// The edges of each length, and each kind of malformed sequence RFC 3629
// names.
constexpr Case kCases[] = {
    {"", true},
    {"plain \t\x01 ascii", true},
    {"\xC2\x80", true},          // U+0080, the smallest two-byte form
    {"\xDF\xBF", true},          // U+07FF
    {"\xE0\xA0\x80", true},      // U+0800
    {"\xED\x9F\xBF", true},      // U+D7FF, just below the surrogates
    {"\xEE\x80\x80", true},      // U+E000, just above them
    {"\xF0\x90\x80\x80", true},  // U+10000
    {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF, the largest
    {"日本語ﾃｽﾄ", true},
    {"\xC0\x80", false},          // overlong NUL
    {"\xC1\xBF", false},          // overlong two-byte
    {"\xE0\x9F\xBF", false},      // overlong three-byte
    {"\xF0\x8F\xBF\xBF", false},  // overlong four-byte
    {"\xED\xA0\x80", false},      // U+D800, a surrogate
    {"\xED\xBF\xBF", false},      // U+DFFF
    {"\xF4\x90\x80\x80", false},  // U+110000
    {"\xF5\x80\x80\x80", false},  // lead beyond F4
    {"\xFF", false},
    {"\x80", false},          // a lone continuation byte
    {"\xE3\x81", false},      // cut short
    {"\xE3\x41\x81", false},  // ASCII inside a character
    {"ok\xC3", false},        // cut at the end
};

TEST(Utf8Test, JudgesEachFormAsRfc3629Does) {
    for (const Case& c : kCases)
        EXPECT_EQ(IsWellFormedUtf8(c.bytes), c.wellFormed)
            << testing::PrintToString(std::string(c.bytes));
}

TEST(Utf8Test, DecodesCodePointsAndStopsWithoutMovingAtAMalformedOne) {
    constexpr std::string_view text = "a\xC3\xA9\xF0\x9F\x8F\x81\xED\xA0\x80";
    std::size_t at = 0;
    EXPECT_EQ(DecodeUtf8(text, at), U'a');
    EXPECT_EQ(DecodeUtf8(text, at), U'\u00E9');
    EXPECT_EQ(DecodeUtf8(text, at), U'\U0001F3C1');
    const std::size_t before = at;
    EXPECT_EQ(DecodeUtf8(text, at), std::nullopt);
    EXPECT_EQ(at, before);
    EXPECT_EQ(Utf8CharacterLength("\xE3\x81\x82z"), 3u);
    EXPECT_EQ(Utf8CharacterLength("\xE0\x80\x80"), 0u);
}

}  // namespace
}  // namespace palomind
