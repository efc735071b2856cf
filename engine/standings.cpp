// The standings of places 1 to 20 and the lap history, rewritten after every
// pass from the ranked tables.
#include <string>

#include "engine/race_engine.h"
#include "engine/time_format.h"

namespace palomind {

void RaceEngine::ShowStandings() {
    GridModel& grid = w_.Standings;
    for (int p = 1; p <= kShownPlaces; ++p) {
        const int id = s_.RankOrder[static_cast<std::size_t>(p)];
        const auto i = static_cast<std::size_t>(id);
        if (s_.LapCount[i] >= 0) {
            grid.SetTextMatrix(p, kStandingsIdCol, FormatPadded(id, 2));
            grid.SetTextMatrix(p, kStandingsNameCol, names_[i]);
            grid.SetTextMatrix(p, kStandingsLapsCol, FormatPadded(s_.LapCount[i], 3));
            grid.SetTextMatrix(p, kStandingsTimeCol, FormatRaceTime(s_.LastPass[i] - s_.RaceStart));
            grid.SetTextMatrix(p, kStandingsLastLapCol, FormatLapTime(s_.LastLap[i]));
            grid.SetTextMatrix(p, kStandingsBestLapCol, FormatLapTime(s_.BestLap[i]));
        }
        int found = 0;
        for (int n = 1; n <= kMaxRankedId; ++n) {
            if (s_.EntryIds[static_cast<std::size_t>(n)] == id) {
                found = n;
                if (s_.LapCount[i] > 0) UpdateLapHistory(n);
            }
        }
        if (found == 0) AddEntrant(id);
    }
}

void RaceEngine::AddEntrant(int id) {
    ++s_.RunningCount;
    const int n = s_.RunningCount;
    // Entry numbers index EntryIds (0 to 64); only IDs 1 to 63 are ever
    // entered, so n stays within it, but never write past the table.
    if (n < 1 || n > kMaxId) return;
    if (s_.EntryCount < n) s_.EntryCount = static_cast<std::int16_t>(n);
    s_.EntryIds[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(id);
    s_.RunningFlag[static_cast<std::size_t>(id)] = 1;
    // An entrant beyond the 20th gets a column of its own: the lap history
    // widens rather than losing its laps.
    if (n >= w_.LapHistory.Cols()) {
        w_.LapHistory.SetCols(n + 1);
        w_.LapHistory.SetColWidth(n, 900);
    }
    w_.LapHistory.SetTextMatrix(0, n, "ID" + FormatPadded(id, 2));
    w_.LapHistory.SetTextMatrix(1, n, names_[static_cast<std::size_t>(id)]);
}

void RaceEngine::UpdateLapHistory(int n) {
    GridModel& grid = w_.LapHistory;
    FitLapHistoryToLaps(grid, s_.MaxLap);
    const int id = s_.EntryIds[static_cast<std::size_t>(n)];
    const int k = s_.LapCount[static_cast<std::size_t>(id)];
    grid.SetTextMatrix(k + 1, n, FormatLapTime(s_.LapTimes(id, k)));
    grid.SetCellMarked(k + 1, n, s_.ShortLap(id, k));
    if (k == s_.MaxLap) grid.SetTextMatrix(s_.MaxLap + 1, 0, std::to_string(s_.MaxLap));
}

}  // namespace palomind
