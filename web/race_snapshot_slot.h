#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "documents/race_json.h"
#include "engine/exact_result.h"
#include "engine/race_window_model.h"

namespace palomind {

// The latest copy of the race window, with the race's exact result and its
// last pass, handed from the thread that changes the race to the web
// server's thread. Both sides hold the lock only to swap or copy pointers,
// so neither can keep the other waiting.
class RaceSnapshotSlot {
  public:
    struct Snapshot {
        std::uint64_t sequence = 0;  // 0 until the first publication
        std::shared_ptr<const RaceWindowModel> window;
        std::shared_ptr<const ExactResult> result;  // empty for a result file shown
        std::optional<LastPass> lastPass;
    };

    void Publish(const RaceWindowModel& window, const ExactResult& result = {},
                 const std::optional<LastPass>& lastPass = {});
    Snapshot Latest() const;

  private:
    mutable std::mutex mutex_;
    Snapshot latest_;
};

}  // namespace palomind
