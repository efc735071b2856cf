#pragma once
#include "engine/race_state.h"
#include "engine/race_window_model.h"

namespace palomind::fuzz {

// What must hold for the race state and its window after any sequence of
// events, however hostile: the decoder's counters in range, the per-ID
// tables within their bounds and consistent with each other, and the grids
// no larger than the tables can fill.
// How the tick counter behaved: forward in steps a running program sees, or
// jumping anywhere (wrapping around, going back).
enum class Clock { Steady, Jumped };

void CheckRaceInvariants(const RaceState& s, const RaceWindowModel& w, Clock clock);

// The two races are the same in everything a replay or a result file can see
// (the decoder's last input block aside).
void CheckSameRace(const RaceState& a, const RaceWindowModel& wa, const RaceState& b,
                   const RaceWindowModel& wb);

}  // namespace palomind::fuzz
