#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "meeting/round_result.h"

namespace palomind {

// How a class ranks its entrants over the qualifying rounds (docs/meeting.md).
enum class RankingMethod { BestRound, RoundPoints, LapsTime, FastestLap, Consecutive };

// "best-round", "round-points", "laps-time", "fastest-lap", "consecutive".
std::optional<RankingMethod> RankingMethodNamed(std::string_view name);
// The method's name as RankingMethodNamed reads it.
std::string_view RankingMethodName(RankingMethod method);

struct RankingSettings {
    RankingMethod method = RankingMethod::RoundPoints;
    // K: the best K rounds count (round-points and laps-time); none, all.
    // At least 1.
    std::optional<std::int64_t> best;
    // N of `consecutive`: the laps of one window. At least 1.
    std::int64_t consecutive = 3;
};

struct RankingRow {
    std::string entrant;
    // 1 + the number of entrants strictly better.
    std::int64_t position = 0;
    // Another row has the same position.
    bool shared = false;
};

struct QualifyingRanking {
    // Some result it was made from is provisional.
    bool provisional = false;
    // Best first; rows that share a position by entry number.
    std::vector<RankingRow> ranking;
    // No START or RUN in any round: by entry number.
    std::vector<std::string> unranked;
};

// `rounds`: one list per round run. Every row's entrant is one of
// `entrants`, whose names and numbers are unique, and has at most one row a
// round; under fastest-lap and consecutive a RUN holds one lap time per lap.
// The least sum of `window` consecutive lap times of one race, if it has as
// many laps: the consecutive method's window, and practice's best three.
std::optional<std::int64_t> BestConsecutiveLaps(const std::vector<std::int64_t>& lapMs,
                                                std::size_t window);

QualifyingRanking RankQualifying(const RankingSettings& settings,
                                 const std::vector<Entrant>& entrants,
                                 const std::vector<RaceResults>& rounds);

}  // namespace palomind
