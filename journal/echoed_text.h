#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace palomind {

// Input from outside quoted for a message: in double quotes, with control
// characters, a double quote, a backslash and bytes that are not UTF-8
// written as escapes (`\n`, `\x1b`, ...), so nothing of it acts on the
// terminal, and cut after `kEchoedCharacters` characters with "…" so a huge
// field makes no huge message.
inline constexpr std::size_t kEchoedCharacters = 80;

std::string EchoedText(std::string_view raw);

}  // namespace palomind
