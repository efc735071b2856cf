#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace palomind {

// Where the spectators' page is served: "--web [ADDRESS:]PORT".
struct WebAddress {
    std::string host;  // empty: every address of the machine
    std::uint16_t port = 0;
};

inline constexpr std::uint16_t kDefaultWebPort = 8080;

// "8080", "127.0.0.1:8080" or "[::1]:8080"; nothing for anything else. Port
// 0 asks for any free port (the one chosen is printed).
std::optional<WebAddress> ParseWebAddress(std::string_view text);

}  // namespace palomind
