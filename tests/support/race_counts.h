#pragma once
#include <cstddef>

#include "engine/race_state.h"

namespace palomind::testing {

// Passes lap processing counted: every entrant's first pass and its laps.
inline int CountedPasses(const RaceState& state) {
    int passes = 0;
    for (int id = 1; id <= kMaxId; ++id) passes += state.LapCount[static_cast<std::size_t>(id)] + 1;
    return passes;
}

}  // namespace palomind::testing
