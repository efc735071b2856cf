#include "app/seconds_input.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace palomind {
namespace {

// Full-width forms U+FF0B '＋', U+FF0D '－', U+FF0E '．', U+FF10..U+FF19
// '０'..'９' and the ideographic space U+3000, each three bytes in UTF-8,
// become their ASCII forms; other text is kept as it is.
std::string NarrowFullWidth(std::string_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        if (i + 2 < text.size() && byte(0) == 0xEF && byte(1) == 0xBC && byte(2) >= 0x8B &&
            byte(2) <= 0x99) {
            // U+FF0B..U+FF19 map to '+'..'9' (0x2B..0x39).
            narrow += static_cast<char>(byte(2) - 0x8B + 0x2B);
            i += 2;
        } else if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) {
            narrow += ' ';
            i += 2;
        } else {
            narrow += text[i];
        }
    }
    return narrow;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number in units of 10^-decimals, rounded to the nearest unit with
// ties to even; too large when its whole seconds pass `mostSeconds`.
SecondsInput ParseScaled(std::string_view input, int decimals, std::int64_t mostSeconds) {
    const std::string text = NarrowFullWidth(input);
    std::size_t i = 0;
    const auto skipSpaces = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    skipSpaces();
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // The whole part is accumulated only while it can still matter: anything
    // above the bound is too large however many more digits follow.
    const std::int64_t beyondBound = mostSeconds + 2;
    std::int64_t whole = 0;
    bool anyDigit = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        anyDigit = true;
        if (whole < beyondBound) whole = whole * 10 + (text[i] - '0');
    }
    // The digits kept join the whole part; the first digit after them and
    // whether any other follows decide the rounding exactly, in decimal:
    // above one half rounds up, below rounds down, exactly one half goes to
    // the even number.
    std::int64_t units = whole;
    int kept = 0;
    int firstDropped = 0;
    bool moreAfterFirst = false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++kept) {
            anyDigit = true;
            const int digit = text[i] - '0';
            if (kept < decimals) {
                units = units * 10 + digit;
            } else if (kept == decimals) {
                firstDropped = digit;
            } else if (digit != 0) {
                moreAfterFirst = true;
            }
        }
    }
    for (; kept < decimals; ++kept) units *= 10;
    skipSpaces();
    if (!anyDigit || i != text.size()) return {};

    const bool roundUp = firstDropped > 5 || (firstDropped == 5 && moreAfterFirst) ||
                         (firstDropped == 5 && !moreAfterFirst && units % 2 == 1);
    if (roundUp) ++units;
    std::int64_t unitsPerSecond = 1;
    for (int k = 0; k < decimals; ++k) unitsPerSecond *= 10;
    if (whole > mostSeconds || units > mostSeconds * unitsPerSecond)
        return {SecondsInput::Kind::TooLarge, 0};
    return {SecondsInput::Kind::Value, static_cast<std::int32_t>(negative ? -units : units)};
}

}  // namespace

SecondsInput ParseSecondsInput(std::string_view input) {
    return ParseScaled(input, 0, kMaxRaceSeconds);
}

SecondsInput ParseHundredthsInput(std::string_view input) {
    return ParseScaled(input, 2, kMaxHundredthsSeconds);
}

}  // namespace palomind
