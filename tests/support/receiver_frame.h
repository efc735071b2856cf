#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/receiver_frame.h"

namespace palomind::testing {

// One receiver frame, with data bytes no test cares about unless it says.
inline std::vector<std::uint8_t> Frame(std::uint8_t id, std::uint8_t data1 = 0x10,
                                       std::uint8_t data2 = 0x20) {
    return ReceiverFrame(id, data1, data2);
}

// A journal's "rx" line of that frame at `tick`.
inline std::string RxLine(int tick, std::uint8_t id) {
    std::string line = std::to_string(tick) + " rx";
    static constexpr char kHex[] = "0123456789abcdef";
    for (const std::uint8_t b : Frame(id)) line += {' ', kHex[b >> 4], kHex[b & 0xF]};
    return line + "\n";
}

}  // namespace palomind::testing
