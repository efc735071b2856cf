#pragma once
#include <string>
#include <string_view>

namespace palomind {

// A whole number 0 to 99 in hiragana as the Japanese voice reads it
// ("ろくじゅうよん" for 64); other values as ASCII digits.
std::string KanaNumber(int value);
// "1st", "2nd", "3rd", "4th", "11th", "21st" ...
std::string EnglishOrdinal(int value);

// Whether the text is written in kana only (hiragana, katakana with its long
// vowel mark, half-width katakana), with at least one character.
bool IsKanaOnly(std::string_view utf8);
// Whether the text is ASCII letters and spaces only, with at least one letter.
bool IsAsciiLettersOnly(std::string_view text);

}  // namespace palomind
