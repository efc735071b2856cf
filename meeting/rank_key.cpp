#include "meeting/rank_key.h"

namespace palomind {

namespace {

// Before each item of a countback and at its end: an item ranks above the
// end, and two lists are aligned again where both end.
constexpr std::int64_t kItem = 0;
constexpr std::int64_t kEnd = 1;

}  // namespace

RankKey& RankKey::Then(std::int64_t lessIsBetter) {
    parts_.push_back(lessIsBetter);
    return *this;
}

RankKey& RankKey::ThenCountback(std::span<const std::int64_t> bestFirst) {
    for (const std::int64_t value : bestFirst) {
        parts_.push_back(kItem);
        parts_.push_back(value);
    }
    parts_.push_back(kEnd);
    return *this;
}

RankKey& RankKey::ThenSingleKeys(std::span<const RoundResult* const> bestFirst) {
    for (const RoundResult* result : bestFirst) {
        parts_.push_back(kItem);
        // Every START is the same key, below every result with laps.
        const bool ran = result->status == RaceStatus::Run;
        parts_.push_back(ran ? 0 : 1);
        parts_.push_back(ran ? -result->laps : 0);
        parts_.push_back(ran ? result->timeMs : 0);
    }
    parts_.push_back(kEnd);
    return *this;
}

}  // namespace palomind
