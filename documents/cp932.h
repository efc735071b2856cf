#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace palomind {

// The text files are Windows-31J (cp932): Shift-JIS plus the NEC and IBM
// extensions (～ －, circled numbers, ㈱ ...). In memory all text is UTF-8.
//
// Neither conversion fails. A byte sequence cp932 does not define decodes to
// U+FFFD, one per invalid byte (a lead byte followed by a non-ASCII trail
// byte that no character uses counts as one); a character cp932 cannot hold,
// or a malformed UTF-8 byte, encodes as '?'. Neither ever swallows an ASCII
// byte that follows an invalid one, so the record delimiters survive damage.
std::string Cp932ToUtf8(std::string_view bytes);
std::string Utf8ToCp932(std::string_view utf8);
// Nothing when any byte sequence is not cp932: for files whose damage must be
// refused rather than shown as U+FFFD.
std::optional<std::string> Cp932ToUtf8Strict(std::string_view bytes);
// Whether cp932 holds every character of `utf8` (well-formed UTF-8 only):
// for text that must come back from a cp932 file as it went in.
bool Cp932CanHold(std::string_view utf8);

}  // namespace palomind
