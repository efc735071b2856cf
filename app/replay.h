#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/journal.h"
#include "engine/race_engine.h"
#include "platform/tick_clock.h"

namespace palomind {

// Runs the events of a journal through the engine, with the timer ticks in
// between, the tick counter reading each event's tick while it runs.
//
// Without "clock" lines the race clock ticks every 10 ms from the first
// event's tick (rounded up to a multiple of 10) to the last event's tick, or
// to `until` when that is later; timer ticks due at or before an event run
// before it. A journal that holds "clock" lines (written live) runs the race
// clock exactly there up to its last event, then every 10 ms to `until`.
// If the first event is not "boot", the start-up reset runs at its tick first.
void ReplayJournal(const std::vector<JournalEvent>& events, RaceEngine& engine, SetTickClock& clock,
                   std::optional<std::int32_t> until);

}  // namespace palomind
