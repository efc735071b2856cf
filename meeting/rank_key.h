#pragma once
#include <compare>
#include <cstdint>
#include <span>
#include <vector>

#include "meeting/round_result.h"

namespace palomind {

// An entrant's standing under one ranking: numbers compared in order, less
// being better, each tie-break step appended after the one it settles. A
// countback (the k-th best of something) is a list in which having a k-th
// ranks above having none.
class RankKey {
  public:
    RankKey& Then(std::int64_t lessIsBetter);
    // `bestFirst` compared one by one.
    RankKey& ThenCountback(std::span<const std::int64_t> bestFirst);
    // Single keys of started results, best first, compared one by one as
    // CompareAcrossRaces does.
    RankKey& ThenSingleKeys(std::span<const RoundResult* const> bestFirst);

    friend std::strong_ordering operator<=>(const RankKey&, const RankKey&) = default;
    friend bool operator==(const RankKey&, const RankKey&) = default;

  private:
    std::vector<std::int64_t> parts_;
};

}  // namespace palomind
