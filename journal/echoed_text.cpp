#include "journal/echoed_text.h"

#include "documents/utf8.h"

namespace palomind {

namespace {

void AppendHexEscape(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

// One character of the echo: itself when printable UTF-8, else its escape.
void AppendEchoed(std::string& out, std::string_view character) {
    const auto byte = static_cast<unsigned char>(character.front());
    if (character.size() > 1) {
        out += character;
    } else if (byte == '\n') {
        out += "\\n";
    } else if (byte == '\r') {
        out += "\\r";
    } else if (byte == '\t') {
        out += "\\t";
    } else if (byte == '"' || byte == '\\') {
        out += '\\';
        out += static_cast<char>(byte);
    } else if (byte < 0x20 || byte >= 0x7F) {
        AppendHexEscape(out, byte);
    } else {
        out += static_cast<char>(byte);
    }
}

}  // namespace

std::string EchoedText(std::string_view raw) {
    std::string echoed = "\"";
    std::size_t characters = 0;
    for (std::size_t at = 0; at < raw.size(); ++characters) {
        if (characters == kEchoedCharacters) {
            echoed += "\"…";
            return echoed;
        }
        // A byte that starts no well-formed character is one of its own.
        std::size_t length = Utf8CharacterLength(raw.substr(at));
        std::string_view character = raw.substr(at, length == 0 ? 1 : length);
        // C1 controls (U+0080 to U+009F) act on terminals too.
        if (length == 2 && static_cast<unsigned char>(character[0]) == 0xC2 &&
            static_cast<unsigned char>(character[1]) < 0xA0) {
            AppendHexEscape(echoed, static_cast<unsigned char>(character[0]));
            AppendHexEscape(echoed, static_cast<unsigned char>(character[1]));
        } else {
            AppendEchoed(echoed, character);
        }
        at += character.size();
    }
    echoed += '"';
    return echoed;
}

}  // namespace palomind
