#include "tools/receiver_simulator/seeded_random.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace palomind::simulator {

std::uint64_t SeededRandom::Below(std::uint64_t bound) {
    // Rejection keeps every value equally likely.
    const std::uint64_t limit = std::numeric_limits<std::uint64_t>::max() -
                                std::numeric_limits<std::uint64_t>::max() % bound;
    std::uint64_t x = engine_();
    while (x >= limit) x = engine_();
    return x % bound;
}

int SeededRandom::Between(int low, int high) {
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low + 1);
    return static_cast<int>(low + static_cast<std::int64_t>(Below(span)));
}

double SeededRandom::Unit() {
    // The top 53 bits fill a double's mantissa exactly.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

double SeededRandom::Normal() {
    // Box-Muller; 1 - Unit() is in (0, 1], so the logarithm is finite.
    const double radius = std::sqrt(-2.0 * std::log(1.0 - Unit()));
    return radius * std::cos(2.0 * std::numbers::pi * Unit());
}

}  // namespace palomind::simulator
