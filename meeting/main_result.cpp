#include "meeting/main_result.h"

#include <algorithm>
#include <map>

#include "meeting/rank_key.h"
#include "meeting/single_key.h"

namespace palomind {

namespace {

// Each started entrant's finishing position in one leg. Equal keys in one
// race (a dead heat) share the position.
std::map<std::string, std::int64_t, std::less<>> LegPositions(const RaceResults& leg) {
    std::vector<const RoundResult*> starters;
    for (const RoundResult& row : leg) {
        if (Started(row)) starters.push_back(&row);
    }
    const auto better = [](const RoundResult* a, const RoundResult* b) {
        return CompareInOneRace(*a, *b) < 0;
    };
    std::sort(starters.begin(), starters.end(), better);
    std::map<std::string, std::int64_t, std::less<>> positions;
    std::int64_t position = 0;
    for (std::size_t i = 0; i < starters.size(); ++i) {
        if (i == 0 || better(starters[i - 1], starters[i])) {
            position = static_cast<std::int64_t>(i) + 1;
        }
        positions[starters[i]->entrant] = position;
    }
    return positions;
}

struct Placing {
    MainPlace place;
    RankKey key;
};

}  // namespace

std::vector<MainPlace> MainResult(const MainRun& main, const std::vector<std::string>& qualifying) {
    std::map<std::string_view, std::int64_t> qualifyingRank;
    for (std::size_t i = 0; i < qualifying.size(); ++i) {
        qualifyingRank.emplace(qualifying[i], static_cast<std::int64_t>(i));
    }
    const auto notStarted = static_cast<std::int64_t>(main.grid.size()) + 1;
    const std::size_t counted =
        main.bestLegs ? std::min(main.legs.size(), static_cast<std::size_t>(*main.bestLegs))
                      : main.legs.size();
    std::vector<std::map<std::string, std::int64_t, std::less<>>> positions;
    for (const RaceResults& leg : main.legs) positions.push_back(LegPositions(leg));

    std::vector<Placing> placings;
    for (const std::string& entrant : main.grid) {
        std::vector<std::int64_t> legPositions;
        const RoundResult* bestLeg = nullptr;
        for (std::size_t leg = 0; leg < main.legs.size(); ++leg) {
            const auto found = positions[leg].find(entrant);
            legPositions.push_back(found == positions[leg].end() ? notStarted : found->second);
            for (const RoundResult& row : main.legs[leg]) {
                if (row.entrant != entrant || !Started(row)) continue;
                if (bestLeg == nullptr || CompareAcrossRaces(row, *bestLeg) < 0) bestLeg = &row;
            }
        }
        std::sort(legPositions.begin(), legPositions.end());
        const std::vector<std::int64_t> countedPositions(
            legPositions.begin(), legPositions.begin() + static_cast<std::ptrdiff_t>(counted));
        std::int64_t total = 0;
        for (const std::int64_t position : countedPositions) total += position;
        const auto rank = qualifyingRank.find(entrant);
        RankKey key;
        key.Then(total).ThenCountback(countedPositions).ThenCountback(legPositions);
        key.ThenSingleKeys(bestLeg != nullptr ? std::vector<const RoundResult*>{bestLeg}
                                              : std::vector<const RoundResult*>{});
        key.Then(rank == qualifyingRank.end() ? static_cast<std::int64_t>(qualifying.size())
                                              : rank->second);
        placings.push_back({{entrant, bestLeg != nullptr}, std::move(key)});
    }
    std::stable_sort(placings.begin(), placings.end(),
                     [](const Placing& a, const Placing& b) { return a.key < b.key; });
    std::vector<MainPlace> result;
    for (Placing& placing : placings) result.push_back(std::move(placing.place));
    return result;
}

std::vector<std::string> MainStartersInOrder(const std::vector<MainPlace>& result) {
    std::vector<std::string> starters;
    for (const MainPlace& place : result) {
        if (place.started) starters.push_back(place.entrant);
    }
    return starters;
}

}  // namespace palomind
