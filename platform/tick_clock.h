#pragma once
#include <cstdint>

namespace palomind {

// The millisecond tick counter the race is timed with. The reading is the
// system's monotonic clock in milliseconds taken as a signed 32-bit value, so
// that journals written by one machine line up across restarts of the program.
//
// The program's real clock is read on three threads at once: the receiver's
// reader (stamping each block), the window thread and the voice's thread. An
// implementation given to more than one of them must be safe to read
// concurrently.
class TickClock {
  public:
    virtual ~TickClock() = default;
    virtual std::int32_t TimeGetTime() = 0;
};

// A clock that reads whatever tick it was last set to, on one thread only.
// Live, the race core sets it to the tick each event was stamped or latched
// with (app/receiver_inbox.h), so that every pass of one received block and the
// journal line that records it carry the same tick; the replay sets it to the
// tick of each journal line.
class SetTickClock final : public TickClock {
  public:
    std::int32_t TimeGetTime() override { return tick_; }
    void Set(std::int32_t tick) { tick_ = tick; }
    std::int32_t Now() const { return tick_; }

  private:
    std::int32_t tick_ = 0;
};

}  // namespace palomind
