#include "platform/monotonic_tick_clock.h"

#include <chrono>

namespace palomind {

std::int32_t MonotonicTickClock::TimeGetTime() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
    // Keep the low 32 bits and read them as signed: the counter's own wrap.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms)));
}

}  // namespace palomind
