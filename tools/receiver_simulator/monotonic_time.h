#pragma once
#include <cstdint>

namespace palomind::simulator {

// The monotonic clock the application stamps passes with, in nanoseconds.
std::int64_t MonotonicNanos();

// The application's tick for a moment: milliseconds of the monotonic clock,
// the low 32 bits read as signed.
std::int32_t TickAt(std::int64_t nanos);

// The moment, nearest to `nearNanos`, whose tick is `tick` (the start of that
// millisecond). Ticks wrap every 2^32 ms, so a tick names many moments.
std::int64_t NanosOfTick(std::int32_t tick, std::int64_t nearNanos);

}  // namespace palomind::simulator
