#pragma once
#include <cstdint>
#include <functional>
#include <optional>

#include "engine/exact_result.h"
#include "engine/race_events.h"
#include "engine/race_window_model.h"
#include "web/race_snapshot_slot.h"

namespace palomind {

// Follows the race events and copies the race window, with the times and
// short-lap marks of the race's exact result (its corrections applied, as
// `result` gives it), the result itself and the last pass counted, into the
// snapshot slot for the spectators' page, on
// the thread that changes the race. A saturated
// receiver line raises some 270 events a second, so copies are paced: a
// change is copied at once when the last copy is older than the interval,
// otherwise it waits for Flush, which the owner calls periodically.
class SpectatorFeed final : public RaceEventListener {
  public:
    static constexpr std::int32_t kDefaultIntervalMs = 100;

    using ResultSource = std::function<ExactResult()>;

    SpectatorFeed(const RaceWindowModel& window, ResultSource result, RaceSnapshotSlot& slot,
                  std::int32_t intervalMs = kDefaultIntervalMs);

    void OnRaceEvent(const RaceEvent& event) override;
    // Copies a change the pacing held back, once its interval has passed.
    void Flush(std::int32_t nowTick);
    // Copies the window now (when publishing starts, or a replay has ended).
    void PublishNow(std::int32_t nowTick);

  private:
    const RaceWindowModel& window_;
    ResultSource result_;
    RaceSnapshotSlot& slot_;
    std::int32_t intervalMs_;
    bool pending_ = false;
    bool published_ = false;
    std::int32_t publishedAt_ = 0;
    std::optional<LastPass> lastPass_;  // none since the last reset
};

}  // namespace palomind
