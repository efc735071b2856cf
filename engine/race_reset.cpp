// Race reset: the window and the per-race state back to a race that waits for
// its start, with the time anchors fixed from the tick counter.
#include "engine/race_engine.h"
#include "engine/saturating.h"

namespace palomind {

namespace {

struct StandingsColumn {
    const char* header;
    int width;  // twips
};

constexpr StandingsColumn kStandingsColumns[kStandingsCols] = {
    {"順位", 550},  {"ID", 350},   {"Name", 800},  {"Lap", 500},
    {"Time", 1300}, {"Lap", 1000}, {"Best", 1000},
};

}  // namespace

void RaceEngine::ReSet() {
    w_.ElapsedForeColor = kButtonTextColor;
    w_.ElapsedCaption = "--h--m--s";
    w_.RemainingCaption = "--h--m--s";
    SetStatus("待機中", kYellow);

    GridModel& standings = w_.Standings;
    standings.SetRowHeight(240);
    for (int c = 0; c < kStandingsCols; ++c) {
        standings.SetTextMatrix(0, c, kStandingsColumns[c].header);
        standings.SetColWidth(c, kStandingsColumns[c].width);
    }
    for (int row = 1; row <= kShownPlaces; ++row) {
        standings.SetTextMatrix(row, kStandingsPlaceCol, std::to_string(row));
        standings.SetTextMatrix(row, kStandingsIdCol, "--");
        standings.SetTextMatrix(row, kStandingsNameCol, "");
        standings.SetTextMatrix(row, kStandingsLapsCol, "---");
        for (int c = kStandingsTimeCol; c <= kStandingsBestLapCol; ++c)
            standings.SetTextMatrix(row, c, "");
    }

    GridModel& laps = w_.LapHistory;
    // Columns added for entrants beyond the 20th belong to the race that is
    // being cleared.
    laps.SetCols(kLapHistoryCols);
    laps.SetRowHeight(240);
    for (int c = 0; c < laps.Cols(); ++c) laps.SetColWidth(c, 900);
    laps.SetColWidth(0, 400);
    // Rows 0 and 1 (entrant IDs and names) are cleared even when no lap was
    // completed, so an earlier race's headings never carry over.
    for (int row = 0; row <= s_.MaxLap + 1; ++row)
        for (int c = 0; c < kLapHistoryCols; ++c) laps.SetTextMatrix(row, c, "");
    laps.SetTextMatrix(0, 0, "Lap");

    // ID 64 is cleared too, or its laps would carry over into the next race.
    for (int id = 0; id <= kMaxId; ++id) {
        const auto i = static_cast<std::size_t>(id);
        s_.LastPass[i] = 0;
        s_.LastLap[i] = 0;
        s_.BestLap[i] = 0;
        s_.LapCount[i] = -1;
        s_.RankKey[i] = 0;
        s_.RankOrder[i] = 0;
        s_.EntryIds[i] = 0;
        s_.RunningFlag[i] = 0;
    }

    s_.ClearShortLaps();
    laps.ClearMarks();
    s_.RaceMinLapMs = s_.MinLapMs;
    s_.RunningCount = 0;
    s_.EntryCount = 0;
    s_.MaxLap = 0;
    s_.RaceStarted = kFalse;
    s_.RaceRunning = kFalse;
    s_.AllFinished = kFalse;

    const double now = clock_.TimeGetTime() / 1000.0;
    s_.ResetSecond = RoundHalfEven32(now);
    s_.RaceStart = RoundHalfEven32(now + s_.StartWait);
    s_.RaceEnd = AddSat(s_.RaceStart, s_.RaceTime);
    // The clock acts only on a new second. A start on the second it has just
    // handled (a restart with no start-wait) would never open timing, so the
    // clock forgets that second and handles it again at its next tick.
    if (s_.LastClockSecond == s_.RaceStart) s_.LastClockSecond.reset();
    Raise({.kind = RaceEventKind::RaceReset});
}

}  // namespace palomind
