// One crossing of the line by one transponder: stamp it, finish the entrant
// after the race time, count the lap, keep last and best lap, rank the field
// and refresh the window.
#include <algorithm>

#include "engine/exact_result.h"
#include "engine/race_engine.h"

namespace palomind {

namespace {
constexpr const char* kLapSound = "lap.wav";
}

void RaceEngine::ManualPass(int id) {
    const std::uint8_t raceId = s_.PassId;
    s_.PassId = static_cast<std::uint8_t>(id);
    ProcessPass();
    s_.PassId = raceId;
}

void RaceEngine::ProcessPass() {
    const int passId = s_.PassId;
    const std::optional<int> scoredAs = gate_ != nullptr ? gate_->ScoreAs(passId) : passId;
    const int id = scoredAs.value_or(passId);
    const auto uncounted = [this, id, passId](PassOutcome outcome) {
        Raise(
            {.kind = RaceEventKind::PassProcessed, .id = id, .outcome = outcome, .passId = passId});
    };
    if (!scoredAs) return uncounted(PassOutcome::Withheld);
    // ID 0 marks empty places and unused entries, and IDs above 64 have no
    // table entry: such passes are dropped before anything changes.
    if (id == 0 || id > kMaxId) return uncounted(PassOutcome::Ignored);
    // Lap 1000 is the last one the lap history can hold. Further passes are
    // dropped whole, so the stored laps, MaxLap and the result file's bounds
    // stay intact.
    if (s_.LapCount[static_cast<std::size_t>(id)] >= kMaxLaps)
        return uncounted(PassOutcome::Ignored);

    const auto i = static_cast<std::size_t>(id);
    const double now = clock_.TimeGetTime() / 1000.0;

    bool finishes = false;
    if (now > s_.RaceEnd) {
        if (s_.RunningFlag[i] != 1) return uncounted(PassOutcome::AfterFinish);
        s_.RunningFlag[i] = 0;
        --s_.RunningCount;
        finishes = true;
        if (s_.RunningCount == 0) {
            s_.AllFinished = kTrue;
            w_.ElapsedForeColor = kButtonTextColor;
            SetStatus("全終了", kRed);
        }
    }

    sound_.PlaySound(kLapSound);

    if (s_.LapCount[i] < 0) {
        s_.LastPass[i] = now;
    } else {
        s_.LastLap[i] = s_.LapCount[i] == 0 ? now - s_.RaceStart : now - s_.LastPass[i];
        s_.LastPass[i] = now;
        if (s_.BestLap[i] == 0 || s_.BestLap[i] > s_.LastLap[i]) s_.BestLap[i] = s_.LastLap[i];
    }
    ++s_.LapCount[i];
    const bool lap = s_.LapCount[i] > 0;
    const bool shortLap = lap && Milliseconds(s_.LastLap[i]) < s_.RaceMinLapMs;
    if (lap) {
        s_.LapTimes(id, s_.LapCount[i]) = s_.LastLap[i];
        s_.SetShortLap(id, s_.LapCount[i], shortLap);
    }
    if (s_.LapCount[i] > s_.MaxLap) s_.MaxLap = s_.LapCount[i];
    // The first two terms are a 32-bit integer (at most 1000 laps, so it fits).
    const std::int32_t lapTerm = static_cast<std::int32_t>(s_.LapCount[i]) * 100000 + 86400;
    s_.RankKey[i] = lapTerm - (s_.LastPass[i] - s_.RaceStart);

    Rank();
    ShowStandings();

    const int place = PlaceOf(id);
    Raise({.kind = RaceEventKind::PassAccepted,
           .id = id,
           .lap = s_.LapCount[i],
           .place = place,
           .lapTime = s_.LapCount[i] > 0 ? s_.LastLap[i] : 0.0,
           .raceTime = s_.LastPass[i] - s_.RaceStart,
           .shortLap = shortLap});
    // A flagged lap is no one's best lap of the race until it is checked.
    if (lap && !shortLap && IsBestLapOfRace(id))
        Raise({.kind = RaceEventKind::BestLapOfRace, .id = id, .lapTime = s_.LastLap[i]});
    if (finishes) Raise({.kind = RaceEventKind::EntrantFinished, .id = id, .place = place});
    Raise({.kind = RaceEventKind::StandingsChanged});
    Raise({.kind = RaceEventKind::PassProcessed,
           .id = id,
           .lap = s_.LapCount[i],
           .lapTime = lap ? s_.LastLap[i] : 0.0,
           .raceTime = s_.LastPass[i] - s_.RaceStart,
           .outcome = finishes ? PassOutcome::Finish
                      : lap    ? PassOutcome::Lap
                               : PassOutcome::Start,
           .shortLap = shortLap,
           .passId = passId});
}

int RaceEngine::PlaceOf(int id) const {
    if (s_.RankKey[static_cast<std::size_t>(id)] <= 0) return 0;
    for (int place = 1; place <= kMaxRankedId; ++place)
        if (s_.RankOrder[static_cast<std::size_t>(place)] == id) return place;
    return 0;
}

// The lap just completed by `id` is faster than every other lap of the race:
// the best laps of the others, and this ID's laps before it.
bool RaceEngine::IsBestLapOfRace(int id) const {
    const auto i = static_cast<std::size_t>(id);
    const double lap = s_.LastLap[i];
    if (s_.BestLap[i] != lap) return false;
    for (int lapNumber = 1; lapNumber < s_.LapCount[i]; ++lapNumber)
        if (s_.LapTimes(id, lapNumber) <= lap) return false;
    for (int other = 1; other <= kMaxId; ++other) {
        const auto o = static_cast<std::size_t>(other);
        if (other != id && s_.LapCount[o] > 0 && s_.BestLap[o] <= lap) return false;
    }
    return true;
}

// Places go by ranking key, highest first; equal keys go to the lower ID.
// This is the selection by repeated maximum over IDs 1 to 63 (strictly
// greater wins, so the first ID found keeps a tie), done as a stable sort of
// the IDs that have passed the line. Places with no positive key left keep
// what they held.
void RaceEngine::Rank() {
    std::array<std::int16_t, kMaxRankedId> ranked{};
    std::size_t count = 0;
    for (int j = 1; j <= kMaxRankedId; ++j)
        if (s_.RankKey[static_cast<std::size_t>(j)] > 0)
            ranked[count++] = static_cast<std::int16_t>(j);
    std::stable_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(count),
                     [this](std::int16_t a, std::int16_t b) {
                         return s_.RankKey[static_cast<std::size_t>(a)] >
                                s_.RankKey[static_cast<std::size_t>(b)];
                     });
    for (std::size_t place = 0; place < count; ++place) s_.RankOrder[place + 1] = ranked[place];
}

}  // namespace palomind
