#include "web/system_host_resolver.h"

#include <netdb.h>
#include <sys/socket.h>

namespace palomind {

std::vector<std::string> SystemResolveHost(const std::string& hostName) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0) return {};
    std::vector<std::string> addresses;
    for (const addrinfo* each = found; each != nullptr; each = each->ai_next) {
        char numeric[NI_MAXHOST];
        if (getnameinfo(each->ai_addr, each->ai_addrlen, numeric, sizeof numeric, nullptr, 0,
                        NI_NUMERICHOST) == 0)
            addresses.emplace_back(numeric);
    }
    freeaddrinfo(found);
    return addresses;
}

}  // namespace palomind
