#include "meeting/draw_generator.h"

namespace palomind {

std::uint64_t DrawGenerator::Next() {
    state_ += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

std::uint64_t DrawGenerator::Below(std::uint64_t bound) {
    // 2^64 mod bound values at the top would favour the small results: they
    // are drawn again.
    const std::uint64_t uneven = (0 - bound) % bound;
    std::uint64_t value = Next();
    while (value < uneven) value = Next();
    return value % bound;
}

}  // namespace palomind
