#pragma once
#include <string>

namespace palomind {

// The identity of the machine's current boot: on Linux the kernel's boot_id,
// elsewhere empty. The tick counter starts again with every boot, so a
// journal's ticks only compare with a counter of the same boot.
std::string ReadBootIdentity();

}  // namespace palomind
