#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

namespace palomind {

// The one rule for UTF-8 text, well-formed as RFC 3629 says: no overlong
// forms, no surrogates (U+D800 to U+DFFF), nothing above U+10FFFF. Control
// characters are well-formed; whether a file may hold them is its reader's
// rule, not this one's.

// The code point that starts at `at`, moving `at` past it; nothing (and `at`
// unchanged) where the bytes there are not one well-formed character.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& at);

// How many bytes the well-formed character at the front of `rest` spans; 0
// where it is not one (or `rest` is empty).
std::size_t Utf8CharacterLength(std::string_view rest);

bool IsWellFormedUtf8(std::string_view text);

}  // namespace palomind
