#include "voice/spoken_numbers.h"

#include <array>
#include <cstdint>
#include <optional>

#include "documents/utf8.h"

namespace palomind {

namespace {

constexpr std::array<std::string_view, 10> kKanaDigits = {
    "ぜろ", "いち", "に", "さん", "よん", "ご", "ろく", "なな", "はち", "きゅう",
};

bool IsKana(char32_t c) {
    return (c >= U'\u3041' && c <= U'\u3096') ||  // hiragana
           (c >= U'\u30A1' && c <= U'\u30FA') ||  // katakana
           c == U'\u30FC' ||                      // the long vowel mark ー
           (c >= U'\uFF66' && c <= U'\uFF9F');    // half-width katakana and its marks
}

}  // namespace

std::string KanaNumber(int value) {
    if (value < 0 || value > 99) return std::to_string(value);
    if (value < 10) return std::string(kKanaDigits[static_cast<std::size_t>(value)]);
    std::string kana;
    if (value >= 20) kana += kKanaDigits[static_cast<std::size_t>(value / 10)];
    kana += "じゅう";
    if (value % 10 != 0) kana += kKanaDigits[static_cast<std::size_t>(value % 10)];
    return kana;
}

std::string EnglishOrdinal(int value) {
    const int lastTwo = value % 100;
    const char* suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        switch (value % 10) {
            case 1:
                suffix = "st";
                break;
            case 2:
                suffix = "nd";
                break;
            case 3:
                suffix = "rd";
                break;
            default:
                break;
        }
    }
    return std::to_string(value) + suffix;
}

bool IsKanaOnly(std::string_view utf8) {
    if (utf8.empty()) return false;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::optional<char32_t> c = DecodeUtf8(utf8, at);
        if (!c || !IsKana(*c)) return false;
    }
    return true;
}

bool IsAsciiLettersOnly(std::string_view text) {
    bool letter = false;
    for (const char c : text) {
        const bool isLetter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!isLetter && c != ' ') return false;
        letter = letter || isLetter;
    }
    return letter;
}

}  // namespace palomind
