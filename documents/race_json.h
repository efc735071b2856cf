#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "engine/exact_result.h"
#include "engine/race_window_model.h"

namespace palomind {

// The last pass the race counted, as the spectators' page highlights it: the
// entrant and the race time of the pass, which tells two passes of the same
// entrant apart.
struct LastPass {
    int id = 0;
    std::int64_t timeMs = 0;

    bool operator==(const LastPass&) const = default;
};

// The race as the JSON document /race.json serves (see docs/spectators.md
// for the keys): the texts of the window's cells and captions, and, from
// `result` (the race's exact result with its corrections), each entrant's
// exact times, gaps, flags and disqualification. A result file shown has no
// exact result: its entrants are then an empty list. Text that is not valid
// UTF-8 is replaced, never refused.
std::string RaceJson(const RaceWindowModel& window, const ExactResult& result = {},
                     const std::optional<LastPass>& lastPass = {});

}  // namespace palomind
