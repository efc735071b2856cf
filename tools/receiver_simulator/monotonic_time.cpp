#include "tools/receiver_simulator/monotonic_time.h"

#include <chrono>

namespace palomind::simulator {

namespace {
constexpr std::int64_t kNanosPerMilli = 1'000'000;
}

std::int64_t MonotonicNanos() {
    // The same clock as the application's tick counter.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int32_t TickAt(std::int64_t nanos) {
    const std::int64_t millis = nanos / kNanosPerMilli;
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(millis)));
}

std::int64_t NanosOfTick(std::int32_t tick, std::int64_t nearNanos) {
    const auto ahead = static_cast<std::int32_t>(static_cast<std::uint32_t>(tick) -
                                                 static_cast<std::uint32_t>(TickAt(nearNanos)));
    return (nearNanos / kNanosPerMilli + ahead) * kNanosPerMilli;
}

}  // namespace palomind::simulator
