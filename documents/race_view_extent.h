#pragma once
#include <cstdint>
#include <string>

#include "engine/grid_model.h"
#include "engine/race_window_model.h"

namespace palomind {

// The part of the race window that the spectators' page and the exported
// results show: the standings' 20 places, and the lap history's entrant
// columns and lap rows up to the last one holding any text (the window's
// blank columns and rows beyond them carry nothing to read).
struct LapHistoryExtent {
    int lastColumn = 0;  // entrant columns are 1..lastColumn
    int lastRow = 1;     // lap rows are 2..lastRow
};
LapHistoryExtent ShownLapHistory(const GridModel& lapHistory);

// Whether a lap the lap history shows is flagged short and unresolved: the
// race is then provisional ("暫定").
bool ShowsShortLap(const GridModel& lapHistory);
inline constexpr const char* kProvisionalText = "暫定";

// The name a standings column goes by: its key in /race.json and its class
// in the page and the exported results.
const char* StandingsColumnName(StandingsCol col);

// "#RRGGBB" of a window colour (0x00BBGGRR).
std::string CssColor(std::uint32_t color);

}  // namespace palomind
