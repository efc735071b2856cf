#pragma once
#include <cstdint>
#include <optional>

#include "engine/exact_result.h"

namespace palomind {

// An entrant's exact result with `laps` laps whose last counted pass was at
// `timeMs`: running with laps, started without; without a place, one the
// engine never ranks.
inline EntrantResult EntrantWith(int id, std::optional<int> place, int laps, std::int64_t timeMs) {
    EntrantResult entrant;
    entrant.id = id;
    entrant.status = laps > 0 ? EntrantStatus::Run : EntrantStatus::Start;
    entrant.place = place;
    entrant.laps = laps;
    entrant.timeMs = timeMs;
    return entrant;
}

}  // namespace palomind
