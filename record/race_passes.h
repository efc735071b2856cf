#pragma once
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/race_events.h"
#include "engine/race_state.h"
#include "record/event_observer.h"

namespace palomind {

// A pass is known by its ID and its ordinal: the n-th pass of that ID that
// reached lap processing in the race as they came, counted or not. A manual
// pass (added by a correction) is known by its correction's number k
// instead, written "+k". Ordinals are never renumbered.
struct PassIdentity {
    int id = 0;
    int ordinal = 0;  // 1 for an ID's first raw pass; 0 for a manual pass
    int manual = 0;   // k of the correction that added it; 0 for a raw pass

    std::string OrdinalText() const;
    auto operator<=>(const PassIdentity&) const = default;
};

enum class PassSource { Receiver, Button, Manual };

// What a pass became: the engine's outcome, or deleted by a correction.
enum class PassBecame { Start, Lap, Finish, AfterFinish, Deleted, Ignored };

struct RacePass {
    PassIdentity identity;
    // The entrant a correction assigned the transponder's passes to, whose
    // pass it was scored as; none where it counts as its own ID's.
    std::optional<int> assignedTo;
    int ScoredAs() const { return assignedTo.value_or(identity.id); }
    PassSource source = PassSource::Receiver;
    std::int32_t tick = 0;
    std::int64_t raceMs = 0;  // tick - RaceStart x 1000; negative in the countdown
    PassBecame became = PassBecame::Ignored;
    // For a lap or a finish: the lap it completes and its time as the
    // engine times it (lap 1 from the race start).
    std::optional<int> lap;
    std::optional<std::int64_t> lapMs;
    bool shortLap = false;
};

// Collects the passes of a race from its start on, as the one dispatcher
// applies the events (their source) and the engine processes them (what they
// became). Observe it on the race core and subscribe it to its events.
class PassLog final : public AppliedEventObserver, public RaceEventListener {
  public:
    explicit PassLog(const RaceState& state) : state_(state) {}

    void BeforeApply(const JournalEvent& event, const RaceBeforeEvent& race) override;
    void OnRaceEvent(const RaceEvent& event) override;

    const std::vector<RacePass>& Passes() const { return passes_; }

  private:
    const RaceState& state_;
    bool started_ = false;
    PassSource source_ = PassSource::Receiver;
    int manual_ = 0;  // k of the manual pass being applied
    std::vector<int> ordinals_ = std::vector<int>(256, 0);
    std::vector<RacePass> passes_;
};

// "id,ordinal,source,tick,race_ms,became,lap,lap_ms,flag": UTF-8 without a
// byte order mark, a header row, LF line ends; one row per pass in tick
// order, at one tick the raw passes in the order they came, then the manual
// ones by k.
std::string PassesCsv(const std::vector<RacePass>& passes);

}  // namespace palomind
