#include "engine/exact_result.h"

#include <algorithm>
#include <cmath>

#include "engine/saturating.h"

namespace palomind {

std::int64_t Milliseconds(double seconds) {
    return std::llround(seconds * 1000.0);
}

namespace {

EntrantResult EntrantOf(const RaceState& state, int id) {
    const auto i = static_cast<std::size_t>(id);
    EntrantResult entrant;
    entrant.id = id;
    entrant.laps = state.LapCount[i];
    entrant.status = entrant.laps > 0 ? EntrantStatus::Run : EntrantStatus::Start;
    entrant.timeMs = Milliseconds(state.LastPass[i] - state.RaceStart);
    if (entrant.laps > 0) entrant.bestMs = Milliseconds(state.BestLap[i]);
    for (int lap = 1; lap <= entrant.laps; ++lap) {
        entrant.lapMs.push_back(Milliseconds(state.LapTimes(id, lap)));
        if (state.ShortLap(id, lap)) entrant.shortLaps.push_back(lap);
    }
    return entrant;
}

}  // namespace

bool IsProvisional(const ExactResult& result) {
    return std::any_of(result.entrants.begin(), result.entrants.end(),
                       [](const EntrantResult& entrant) { return !entrant.shortLaps.empty(); });
}

bool IsProvisional(const RaceState& state) {
    for (int id = 1; id <= kMaxId; ++id)
        for (int lap = 1; lap <= state.LapCount[static_cast<std::size_t>(id)]; ++lap)
            if (state.ShortLap(id, lap)) return true;
    return false;
}

std::set<int> DisqualifiedIn(const ExactResult& result) {
    std::set<int> disqualified;
    for (const EntrantResult& entrant : result.entrants)
        if (entrant.status == EntrantStatus::Dq) disqualified.insert(entrant.id);
    return disqualified;
}

ExactResult ExactResultOf(const RaceState& state) {
    ExactResult result;
    result.raceTimeSeconds = SubSat(state.RaceEnd, state.RaceStart);
    // The places the engine's ranking gives; an ID counts as ranked only
    // while its key is positive, as the engine's own place lookup says.
    std::vector<bool> placed(kIdTableSize, false);
    for (int place = 1; place <= kMaxRankedId; ++place) {
        const int id = state.RankOrder[static_cast<std::size_t>(place)];
        if (id < 1 || id > kMaxRankedId || placed[static_cast<std::size_t>(id)]) continue;
        const auto i = static_cast<std::size_t>(id);
        if (state.LapCount[i] < 0 || state.RankKey[i] <= 0) continue;
        placed[i] = true;
        EntrantResult entrant = EntrantOf(state, id);
        entrant.place = static_cast<int>(result.entrants.size()) + 1;
        result.entrants.push_back(std::move(entrant));
    }
    for (int id = 1; id <= kMaxId; ++id) {
        const auto i = static_cast<std::size_t>(id);
        if (!placed[i] && state.LapCount[i] >= 0) result.entrants.push_back(EntrantOf(state, id));
    }
    return result;
}

}  // namespace palomind
