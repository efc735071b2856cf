#pragma once
#include "platform/tick_clock.h"

namespace palomind {

// The system's monotonic clock in milliseconds, taken as a signed 32-bit
// value (it wraps like the tick counter the race is timed with).
class MonotonicTickClock final : public TickClock {
  public:
    std::int32_t TimeGetTime() override;
};

}  // namespace palomind
