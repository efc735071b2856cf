#pragma once
// Round results as the hand-computed cases write them.
#include <string>
#include <vector>

#include "meeting/round_result.h"

namespace palomind::testing {

// A RUN with its lap times: laps and race time follow from them.
inline RoundResult Laps(const std::string& entrant, std::vector<std::int64_t> lapMs) {
    std::int64_t time = 0;
    for (const std::int64_t lap : lapMs) time += lap;
    return {entrant, RaceStatus::Run, static_cast<std::int64_t>(lapMs.size()), time, lapMs, false};
}
inline RoundResult Ran(const std::string& entrant, std::int64_t laps, std::int64_t timeMs) {
    return {entrant, RaceStatus::Run, laps, timeMs, {}, false};
}
inline RoundResult Start(const std::string& entrant, std::int64_t passMs) {
    return {entrant, RaceStatus::Start, 0, passMs, {}, false};
}
inline RoundResult Dns(const std::string& entrant) {
    return {entrant, RaceStatus::DNS, 0, 0, {}, false};
}
inline RoundResult Dq(const std::string& entrant, std::int64_t laps, std::int64_t timeMs) {
    return {entrant, RaceStatus::DQ, laps, timeMs, {}, false};
}

}  // namespace palomind::testing
