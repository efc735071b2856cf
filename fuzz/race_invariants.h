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

// What the window shows: a race the engine timed, or a result file opened
// since the last reset. A shown file brings its lap and entrant counts and
// its grids but none of the per-ID tables behind them.
enum class Shown { TimedRace, ResultFile };

void CheckRaceInvariants(const RaceState& s, const RaceWindowModel& w, Clock clock,
                         Shown shown = Shown::TimedRace);

// The two races are the same in everything a replay or a result file can see
// (the decoder's last input block aside).
void CheckSameRace(const RaceState& a, const RaceWindowModel& wa, const RaceState& b,
                   const RaceWindowModel& wb);

}  // namespace palomind::fuzz
