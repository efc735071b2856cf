#include "documents/utf8.h"

namespace palomind {

namespace {

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

}  // namespace

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& at) {
    if (at >= text.size()) return std::nullopt;
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    // The lead byte gives the length and the smallest value that length may
    // hold; C0, C1 and F5 to FF never start a character.
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - at < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if (!IsContinuation(next)) return std::nullopt;
        value = value << 6 | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    at += length;
    return value;
}

std::size_t Utf8CharacterLength(std::string_view rest) {
    std::size_t at = 0;
    return DecodeUtf8(rest, at) ? at : 0;
}

bool IsWellFormedUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size())
        if (!DecodeUtf8(text, at)) return false;
    return true;
}

}  // namespace palomind
