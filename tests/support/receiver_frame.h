#pragma once
#include <cstdint>
#include <vector>

namespace palomind::testing {

// One receiver frame: the sync run FE FE FE, the transponder ID, two data
// bytes and the checksum, (ID + data 1 + data 2) mod 256.
inline std::vector<std::uint8_t> Frame(std::uint8_t id, std::uint8_t data1 = 0x10,
                                       std::uint8_t data2 = 0x20) {
    return {0xFE, 0xFE, 0xFE, id, data1, data2, static_cast<std::uint8_t>(id + data1 + data2)};
}

}  // namespace palomind::testing
