#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "app/race_core.h"
#include "journal/journal.h"

namespace palomind {

// Runs the events of a journal through the race core, with the timer ticks in
// between, each applied at its own tick.
//
// Without "clock" lines the race clock ticks every 10 ms from the first
// event's tick (rounded up to a multiple of 10) to the last event's tick, or
// to `until` when that is later; timer ticks due at or before an event run
// before it. A journal that holds "clock" lines (written live), and every
// race record, runs the race clock exactly there up to its last event, then
// every 10 ms to `until`.
//
// Names and the comment journaled before "boot" are start-up input. If the
// first event that is not start-up input is not "boot", the start-up reset
// runs at its tick first; a journal of nothing but start-up input runs none.
void ReplayJournal(const std::vector<JournalEvent>& events, RaceCore& core,
                   std::optional<std::int32_t> until);

}  // namespace palomind
