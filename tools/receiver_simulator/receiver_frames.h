#pragma once
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/receiver_frame.h"
#include "tools/receiver_simulator/seeded_random.h"

namespace palomind::simulator {

using Bytes = std::vector<std::uint8_t>;

// What one block put on the line is.
enum class TransmissionKind {
    Pass,           // a valid frame: one pass of a transponder
    WrongChecksum,  // a whole frame whose checksum does not match
    BrokenSync,     // a frame body behind a sync run of the wrong length
    StrayBytes,     // a few bytes outside any frame
    Recorded,       // bytes played back from a journal, as received then
};

std::string_view KindName(TransmissionKind kind);

// A valid frame for `id` with random data bytes. A running decoder counts any
// 0xFE as a sync byte, so the data bytes are drawn until neither they nor the
// checksum is 0xFE: every frame made here is one the receiver's listener
// accepts. `id` must not be 0xFE.
Bytes MakePassFrame(std::uint8_t id, SeededRandom& random);

// One burst of line noise of the given kind (not Pass or Recorded). Noise is
// drawn so that it leaves a frame decoder where it found it, between frames:
// none of it reaches a checksum that matches, and it ends on a byte that is
// not 0xFE outside a sync run, so the next valid frame is still accepted.
Bytes MakeNoise(TransmissionKind kind, SeededRandom& random);

// Noise of a random kind.
struct Noise {
    TransmissionKind kind;
    Bytes bytes;
};
Noise MakeRandomNoise(SeededRandom& random);

}  // namespace palomind::simulator
