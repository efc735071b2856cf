#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace palomind::fuzz {

void CheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

std::int16_t ByteProgram::Int16() {
    const auto low = static_cast<std::uint16_t>(Byte());
    const auto high = static_cast<std::uint16_t>(Byte());
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

std::int32_t ByteProgram::Int32() {
    std::uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8)
        value |= static_cast<std::uint32_t>(Byte()) << shift;
    return static_cast<std::int32_t>(value);
}

std::string_view ByteProgram::Bytes(std::size_t count) {
    const std::size_t available = size_ - std::min(pos_, size_);
    const std::size_t taken = std::min(count, available);
    const std::string_view bytes(reinterpret_cast<const char*>(data_) + pos_, taken);
    pos_ += taken;
    return bytes;
}

bool HasOnlyCrLfBreaks(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    }
    return true;
}

std::string ExpectedAfterRewrite(std::string_view text) {
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
    constexpr std::string_view kFullWidthQuote = "\xEF\xBC\x82";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, kReplacement.size()) == kReplacement) {
            out += '?';
            i += kReplacement.size() - 1;
        } else if (text[i] == '"') {
            out += kFullWidthQuote;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace palomind::fuzz
