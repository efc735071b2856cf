#include "platform/boot_identity.h"

#include <algorithm>
#include <fstream>

namespace palomind {

std::string ReadBootIdentity() {
#if defined(__linux__)
    std::ifstream file("/proc/sys/kernel/random/boot_id");
    std::string identity;
    if (!std::getline(file, identity)) return {};
    // One word of printable ASCII, as the journal keeps it.
    const bool printable =
        !identity.empty() &&
        std::all_of(identity.begin(), identity.end(), [](char c) { return c > 0x20 && c < 0x7F; });
    return printable ? identity : std::string();
#else
    return {};
#endif
}

}  // namespace palomind
