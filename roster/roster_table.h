#pragma once
#include <array>
#include <string>

namespace palomind {

// The roster: one participant name per transponder ID, indexed by the ID
// itself. Entries 1 to 64 are used; entry 0 is never shown, read or stored.
// Names are UTF-8 in memory (the file is cp932).
inline constexpr int kRosterSize = 65;
using RosterTable = std::array<std::string, kRosterSize>;

inline constexpr const char* kUnregisteredName = "未登録";

}  // namespace palomind
