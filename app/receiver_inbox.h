#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "platform/priority_inheriting_mutex.h"
#include "platform/tick_clock.h"

namespace palomind {

// Where the receiver's thread leaves what it read, stamped with the tick
// counter at the moment it was read: the stamp is the pass's time, so nothing
// the window thread does (painting, dialogs, a slow disk) may delay it.
//
// The window thread takes the blocks and reads the tick for its own next
// event in one step under the same lock as the stamping. A block stamped
// before that reading is therefore always taken with it, and is processed
// before the event; a block stamped after it waits for the next take, and
// its stamp is later. So the journal's ticks never go back, whichever thread
// was first.
class ReceiverInbox {
  public:
    explicit ReceiverInbox(TickClock& clock) : clock_(clock) {}

    struct Block {
        std::int32_t tick;
        std::vector<std::uint8_t> bytes;
    };

    // On the receiver's thread: stamps the bytes and leaves them. The bytes
    // are copied before the lock is taken, so the lock is held for the stamp
    // and a move only.
    void Stamp(std::span<const std::uint8_t> bytes);

    struct Taken {
        std::vector<Block> blocks;  // in the order they were read
        std::int32_t tick;          // read after every block taken was stamped
    };
    // On the window thread: every block waiting, and the tick for the event
    // that follows them.
    Taken TakeAndLatch();
    // The tick alone; the blocks wait (start-up has no race to give them to).
    std::int32_t LatchOnly();

  private:
    TickClock& clock_;
    // Taken by the real-time reader and the ordinary window thread alike.
    PriorityInheritingMutex mutex_;
    std::vector<Block> blocks_;
};

}  // namespace palomind
