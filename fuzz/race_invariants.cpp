#include "fuzz/race_invariants.h"

#include <algorithm>
#include <array>

#include "fuzz/fuzz_support.h"

namespace palomind::fuzz {

namespace {

bool SameGrid(const GridModel& a, const GridModel& b) {
    if (a.Rows() != b.Rows() || a.Cols() != b.Cols() || a.TopRow() != b.TopRow()) return false;
    for (int r = 0; r < a.Rows(); ++r)
        for (int c = 0; c < a.Cols(); ++c)
            if (a.TextMatrix(r, c) != b.TextMatrix(r, c)) return false;
    return true;
}

}  // namespace

void CheckRaceInvariants(const RaceState& s, const RaceWindowModel& w, Clock clock, Shown shown) {
    // The decoder: a sync run of at most three, at most three bytes stored
    // between frames, an 8-bit running sum.
    FUZZ_CHECK(s.SyncCount >= 0 && s.SyncCount <= 3);
    FUZZ_CHECK(s.FrameLen >= 0 && s.FrameLen <= 3);
    FUZZ_CHECK(s.FrameSum >= 0 && s.FrameSum <= 255);

    // Per-ID tables: -1 (never passed) to the 1000 laps the history holds;
    // MaxLap is the highest lap count of the race.
    int highest = 0;
    int running = 0;
    for (int id = 0; id <= kMaxId; ++id) {
        const auto i = static_cast<std::size_t>(id);
        FUZZ_CHECK(s.LapCount[i] >= -1 && s.LapCount[i] <= kMaxLaps);
        FUZZ_CHECK(s.RunningFlag[i] == 0 || s.RunningFlag[i] == 1);
        highest = std::max<int>(highest, s.LapCount[i]);
        running += s.RunningFlag[i];
        // An ID that never passed the line has no key.
        if (s.LapCount[i] < 0) FUZZ_CHECK(s.RankKey[i] == 0);
    }
    FUZZ_CHECK(s.LapCount[0] == -1 || s.LapCount[0] == 0);  // ID 0 is never counted
    if (shown == Shown::TimedRace)
        FUZZ_CHECK(s.MaxLap == highest);
    else
        FUZZ_CHECK(s.MaxLap >= highest && s.MaxLap <= kMaxLaps);
    // Entry numbers count on from RunningCount, which assumes nobody enters
    // after someone finished: true while time only goes forward.
    if (clock == Clock::Steady) FUZZ_CHECK(s.RunningCount == running);

    // Places hold ranked IDs (1 to 63) or 0. Each ID holds one place at most
    // while keys only grow, which needs laps shorter than a day: a tick
    // counter that jumps or wraps can shrink a key, and a place with no key
    // left keeps what it held.
    std::array<bool, kIdTableSize> placed{};
    for (int p = 1; p <= kMaxRankedId; ++p) {
        const int id = s.RankOrder[static_cast<std::size_t>(p)];
        FUZZ_CHECK(id >= 0 && id <= kMaxRankedId);
        if (id == 0 || clock == Clock::Jumped) continue;
        FUZZ_CHECK(!placed[static_cast<std::size_t>(id)]);
        placed[static_cast<std::size_t>(id)] = true;
    }

    FUZZ_CHECK(w.Standings.Rows() == kStandingsRows && w.Standings.Cols() == kStandingsCols);
    // The lap history grows with the laps of the entrants it shows (ID 64 and
    // IDs below place 20 lap without growing it), never beyond 1000 laps.
    FUZZ_CHECK(w.LapHistory.Rows() >= kLapHistoryRows - 2 && w.LapHistory.Rows() <= kMaxLaps + 2);
    FUZZ_CHECK(w.LapHistory.Cols() >= kLapHistoryCols && w.LapHistory.Cols() <= kMaxId + 1);
    FUZZ_CHECK(w.LapHistory.TopRow() >= w.LapHistory.FixedRows() &&
               w.LapHistory.TopRow() < w.LapHistory.Rows());

    // Entrants: numbers 1 to EntryCount, each a distinct ranked ID (again
    // only while the clock behaves).
    FUZZ_CHECK(s.EntryCount >= 0 && s.EntryCount <= kMaxId);
    if (clock == Clock::Jumped) return;
    std::array<bool, kIdTableSize> entered{};
    for (int n = 1; n <= kMaxId; ++n) {
        const int id = s.EntryIds[static_cast<std::size_t>(n)];
        if (n > s.EntryCount) {
            FUZZ_CHECK(id == 0);
            continue;
        }
        // A shown file's entrants have no IDs behind them.
        if (shown == Shown::ResultFile && id == 0) continue;
        FUZZ_CHECK(id >= 1 && id <= kMaxRankedId);
        FUZZ_CHECK(!entered[static_cast<std::size_t>(id)]);
        entered[static_cast<std::size_t>(id)] = true;
    }
}

void CheckSameRace(const RaceState& a, const RaceWindowModel& wa, const RaceState& b,
                   const RaceWindowModel& wb) {
    FUZZ_CHECK(a.RaceStart == b.RaceStart && a.RaceEnd == b.RaceEnd);
    FUZZ_CHECK(a.NowSecond == b.NowSecond && a.LastClockSecond == b.LastClockSecond);
    FUZZ_CHECK(a.RaceStarted == b.RaceStarted && a.RaceRunning == b.RaceRunning);
    FUZZ_CHECK(a.AllFinished == b.AllFinished);
    FUZZ_CHECK(a.RunningCount == b.RunningCount && a.EntryCount == b.EntryCount);
    FUZZ_CHECK(a.MaxLap == b.MaxLap);
    FUZZ_CHECK(a.SyncCount == b.SyncCount && a.FrameLen == b.FrameLen && a.FrameSum == b.FrameSum);
    FUZZ_CHECK(a.PassId == b.PassId);
    FUZZ_CHECK(a.LapCount == b.LapCount && a.LastPass == b.LastPass && a.LastLap == b.LastLap);
    FUZZ_CHECK(a.BestLap == b.BestLap && a.RankKey == b.RankKey && a.RankOrder == b.RankOrder);
    FUZZ_CHECK(a.RunningFlag == b.RunningFlag && a.EntryIds == b.EntryIds);
    for (int id = 0; id <= kMaxId; ++id)
        for (int lap = 1; lap <= std::max<int>(a.LapCount[static_cast<std::size_t>(id)], 0); ++lap)
            FUZZ_CHECK(a.LapTimes(id, lap) == b.LapTimes(id, lap));
    FUZZ_CHECK(wa.StatusCaption == wb.StatusCaption && wa.LampColor == wb.LampColor);
    FUZZ_CHECK(wa.ElapsedCaption == wb.ElapsedCaption &&
               wa.RemainingCaption == wb.RemainingCaption);
    FUZZ_CHECK(wa.ElapsedForeColor == wb.ElapsedForeColor);
    FUZZ_CHECK(SameGrid(wa.Standings, wb.Standings) && SameGrid(wa.LapHistory, wb.LapHistory));
}

}  // namespace palomind::fuzz
