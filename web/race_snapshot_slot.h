#pragma once
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/race_window_model.h"

namespace palomind {

// The latest copy of the race window, handed from the thread that changes the
// race to the web server's thread. Both sides hold the lock only to swap or
// copy a pointer, so neither can keep the other waiting.
class RaceSnapshotSlot {
  public:
    struct Snapshot {
        std::uint64_t sequence = 0;  // 0 until the first publication
        std::shared_ptr<const RaceWindowModel> window;
    };

    void Publish(const RaceWindowModel& window);
    Snapshot Latest() const;

  private:
    mutable std::mutex mutex_;
    Snapshot latest_;
};

}  // namespace palomind
