#include "web/web_address.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>

namespace palomind {

namespace {

bool IsIpv4(const std::string& text) {
    in_addr parsed{};
    return inet_pton(AF_INET, text.c_str(), &parsed) == 1;
}

bool IsIpv6(const std::string& text) {
    in6_addr parsed{};
    return inet_pton(AF_INET6, text.c_str(), &parsed) == 1;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// RFC 1123: labels of letters, digits and inner hyphens; the last one not all
// digits, or it would be a mistyped address rather than a name.
bool IsHostName(std::string_view name) {
    if (name.empty() || name.size() > 253) return false;
    std::string_view label;
    while (!name.empty()) {
        const std::size_t dot = name.find('.');
        label = name.substr(0, dot);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-' ||
            !std::all_of(label.begin(), label.end(), [](char c) {
                return IsDigit(c) || c == '-' || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
            }))
            return false;
        name.remove_prefix(dot == std::string_view::npos ? name.size() : dot + 1);
        if (dot != std::string_view::npos && name.empty()) return false;
    }
    return !std::all_of(label.begin(), label.end(), IsDigit);
}

bool IsLocalhost(std::string host) {
    std::transform(host.begin(), host.end(), host.begin(), [](char c) { return c | 0x20; });
    const std::string_view suffix = ".localhost";
    return host == "localhost" ||
           (host.size() > suffix.size() &&
            host.compare(host.size() - suffix.size(), suffix.size(), suffix) == 0);
}

}  // namespace

std::optional<WebAddress> ParseWebAddress(std::string_view text) {
    WebAddress address;
    std::string_view port = text;
    if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        std::string_view host = text.substr(0, colon);
        port = text.substr(colon + 1);
        const bool bracketed = host.size() >= 2 && host.front() == '[' && host.back() == ']';
        if (bracketed) host = host.substr(1, host.size() - 2);
        address.host = host;
        // An IPv6 address needs its brackets, and only it has them.
        if (bracketed ? !IsIpv6(address.host) : !IsIpv4(address.host) && !IsHostName(host))
            return std::nullopt;
    }
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || ec != std::errc() || end != port.data() + port.size() || value > 65535)
        return std::nullopt;
    address.port = static_cast<std::uint16_t>(value);
    return address;
}

std::optional<WebAddress> ResolveWebAddress(WebAddress address, const HostResolver& resolve,
                                            std::string& error) {
    address.resolved.clear();
    if (address.host.empty() || IsIpv4(address.host) || IsIpv6(address.host)) return address;
    // RFC 6761: localhost names are the loopback addresses, whatever a
    // resolver or the network may say.
    std::vector<std::string> found = IsLocalhost(address.host)
                                         ? std::vector<std::string>{"127.0.0.1", "::1"}
                                         : resolve(address.host);
    for (const std::string& each : found) {
        if (std::find(address.resolved.begin(), address.resolved.end(), each) ==
            address.resolved.end())
            address.resolved.push_back(each);
    }
    if (address.resolved.empty()) {
        error = "\"" + address.host + "\" resolves to no address";
        return std::nullopt;
    }
    return address;
}

std::string WebUrl(const WebAddress& address, std::uint16_t port) {
    std::string host = address.resolved.empty() ? address.host : address.resolved.front();
    if (host.empty()) host = "0.0.0.0";
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return "http://" + host + ":" + std::to_string(port) + "/";
}

}  // namespace palomind
