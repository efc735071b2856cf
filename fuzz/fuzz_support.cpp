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

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t min = 0;
        if (lead < 0x80)
            length = 1;
        else if (lead >= 0xC2 && lead <= 0xDF)
            length = 2, min = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3, min = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4, min = 0x10000;
        else
            return false;
        if (i + length > text.size()) return false;
        std::uint32_t code = length == 1 ? lead : (lead & (0x7F >> length));
        for (std::size_t k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            code = (code << 6) | (b & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
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
