#pragma once
#include <compare>
#include <string>
#include <vector>

#include "meeting/round_result.h"

namespace palomind {

// The single key of a started result: laps descending, then time ascending,
// less being better. Across races every START is equal to every other and
// below every result with laps: start-pass times of different heats mean
// nothing against each other.
std::weak_ordering CompareAcrossRaces(const RoundResult& a, const RoundResult& b);

// Within one race the STARTs are ordered by their pass time as well.
std::weak_ordering CompareInOneRace(const RoundResult& a, const RoundResult& b);

// The starters of one race (START or RUN) in their finishing order; rows with
// equal keys keep the order they are given in.
std::vector<std::string> StartersInFinishingOrder(const RaceResults& race);

}  // namespace palomind
