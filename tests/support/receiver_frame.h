#pragma once
#include <cstdint>
#include <vector>

#include "engine/receiver_frame.h"

namespace palomind::testing {

// One receiver frame, with data bytes no test cares about unless it says.
inline std::vector<std::uint8_t> Frame(std::uint8_t id, std::uint8_t data1 = 0x10,
                                       std::uint8_t data2 = 0x20) {
    return ReceiverFrame(id, data1, data2);
}

}  // namespace palomind::testing
