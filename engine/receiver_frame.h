#pragma once
#include <cstdint>
#include <vector>

namespace palomind {

// The receiver's frame: three 0xFE sync bytes, the transponder ID, two data
// bytes and a checksum ((ID + data 1 + data 2) mod 256). The engine decodes
// it (engine/frame_decoder.cpp); the simulator, the fuzzers and the tests
// build it here.
inline constexpr std::uint8_t kReceiverSyncByte = 0xFE;
inline constexpr int kReceiverSyncLength = 3;

std::uint8_t ReceiverFrameChecksum(std::uint8_t id, std::uint8_t data1, std::uint8_t data2);

// FE FE FE, ID, data 1, data 2, checksum.
std::vector<std::uint8_t> ReceiverFrame(std::uint8_t id, std::uint8_t data1, std::uint8_t data2);

}  // namespace palomind
