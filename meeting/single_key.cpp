#include "meeting/single_key.h"

#include <algorithm>

namespace palomind {

std::weak_ordering CompareAcrossRaces(const RoundResult& a, const RoundResult& b) {
    const bool aRan = a.status == RaceStatus::Run;
    const bool bRan = b.status == RaceStatus::Run;
    if (aRan != bRan) return aRan ? std::weak_ordering::less : std::weak_ordering::greater;
    if (!aRan) return std::weak_ordering::equivalent;
    if (a.laps != b.laps) return b.laps <=> a.laps;
    return a.timeMs <=> b.timeMs;
}

std::weak_ordering CompareInOneRace(const RoundResult& a, const RoundResult& b) {
    const std::weak_ordering across = CompareAcrossRaces(a, b);
    if (across != 0 || a.status == RaceStatus::Run) return across;
    return a.timeMs <=> b.timeMs;
}

std::vector<std::string> StartersInFinishingOrder(const RaceResults& race) {
    std::vector<const RoundResult*> starters;
    for (const RoundResult& row : race) {
        if (Started(row)) starters.push_back(&row);
    }
    std::stable_sort(
        starters.begin(), starters.end(),
        [](const RoundResult* a, const RoundResult* b) { return CompareInOneRace(*a, *b) < 0; });
    std::vector<std::string> names;
    for (const RoundResult* row : starters) names.push_back(row->entrant);
    return names;
}

}  // namespace palomind
