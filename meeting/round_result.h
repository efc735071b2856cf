#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace palomind {

// How an entrant's race went: in the heat's entry list with no pass (DNS),
// one pass and no lap (START), at least one lap (RUN), or disqualified (DQ,
// which every calculation treats as DNS).
enum class RaceStatus { DNS, Start, Run, DQ };

// One entrant's result in one race: a qualifying round's heat, or a leg of
// a main.
struct RoundResult {
    std::string entrant;
    RaceStatus status = RaceStatus::DNS;
    std::int64_t laps = 0;
    // Race time of the last counted pass; for a START, of the one pass.
    std::int64_t timeMs = 0;
    std::vector<std::int64_t> lapMs;
    // The race holds a flagged short lap not yet resolved.
    bool provisional = false;
};

// The results of one round (all its heats) or of one leg, any order. An
// entrant with no row did not start.
using RaceResults = std::vector<RoundResult>;

// An entrant of a class and their entry number, which settles what no
// result can.
struct Entrant {
    std::string name;
    std::int64_t number = 0;
};

// START or RUN: the entrant took the start and was not disqualified.
inline bool Started(const RoundResult& result) {
    return result.status == RaceStatus::Start || result.status == RaceStatus::Run;
}

}  // namespace palomind
