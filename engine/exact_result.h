#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "engine/race_state.h"

namespace palomind {

// The race's results as the engine holds them, in whole milliseconds, not
// as the window's cells show them (a 47.4 s lap is 47400, not "00m47s39").
// In the engine layer so that every document below the race record (the
// exports) can read it as well as the record's own tools.
enum class EntrantStatus {
    Start,  // one pass and no lap
    Run,    // at least one lap
    Dq,     // disqualified (corrections; not yet given by the engine)
};

struct EntrantResult {
    int id = 0;
    EntrantStatus status = EntrantStatus::Start;
    std::optional<int> place;  // the engine's place; none for an ID it never ranks (64)
    int laps = 0;
    std::int64_t timeMs = 0;  // race time of the last counted pass; negative in the countdown
    std::optional<std::int64_t> bestMs;  // none without a lap
    std::vector<std::int64_t> lapMs;     // lap 1 first, timed from the race start
    std::vector<int> shortLaps;          // unresolved flagged lap numbers
    // A penalty's laps taken off `laps` and time added to `timeMs` (0 without).
    int penaltyLaps = 0;
    std::int64_t penaltyMs = 0;

    bool operator==(const EntrantResult&) const = default;
};

struct ExactResult {
    std::int32_t raceTimeSeconds = 0;  // the race time in force at the race's start
    // Every ID with a counted pass: by place, then the IDs the engine never
    // ranks, by ID.
    std::vector<EntrantResult> entrants;

    bool operator==(const ExactResult&) const = default;
};

ExactResult ExactResultOf(const RaceState& state);

// Whether a lap of the race is flagged and unresolved: an entrant has short
// laps (a corrected result has the accepted ones left out)...
bool IsProvisional(const ExactResult& result);
// ...or, without building the whole result (the window asks at every
// redraw), the engine flagged one.
bool IsProvisional(const RaceState& state);

// The entrants of `result` with status DQ.
std::set<int> DisqualifiedIn(const ExactResult& result);

// Seconds of the engine's arithmetic (tick / 1000) as whole milliseconds.
std::int64_t Milliseconds(double seconds);

}  // namespace palomind
