#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace palomind {

// Where the spectators' page is served: "--web [ADDRESS:]PORT".
struct WebAddress {
    WebAddress() = default;
    WebAddress(std::string asked, std::uint16_t atPort, std::vector<std::string> resolvedTo = {})
        : host(std::move(asked)), port(atPort), resolved(std::move(resolvedTo)) {}

    std::string host;  // as asked; empty: every address of the machine
    std::uint16_t port = 0;
    // The numeric addresses a host name gave, each listened at; empty when
    // the host is itself a numeric address (or empty).
    std::vector<std::string> resolved;
};

inline constexpr std::uint16_t kDefaultWebPort = 8080;

// "8080", "127.0.0.1:8080", "[::1]:8080" or "localhost:8080"; nothing for
// anything else (a host name must be one as RFC 1123 says). Port 0 asks for
// any free port (the one chosen is printed).
std::optional<WebAddress> ParseWebAddress(std::string_view text);

// The numeric addresses a host name stands for, in the resolver's order;
// none when it stands for nothing.
using HostResolver = std::function<std::vector<std::string>(const std::string& hostName)>;

// Fills in what the address's host name resolves to ("localhost" always to
// the loopback addresses, never asking the resolver); a numeric host or none
// is kept as it is. The reason, in one line, when the name resolves to
// nothing.
std::optional<WebAddress> ResolveWebAddress(WebAddress address, const HostResolver& resolve,
                                            std::string& error);

// The first address served, as a URL shows it: "[::1]" for an IPv6 address.
std::string WebUrl(const WebAddress& address, std::uint16_t port);

}  // namespace palomind
