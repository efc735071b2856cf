#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/exact_result.h"
#include "engine/race_window_model.h"

namespace palomind {

// The race window as the spectators' page and the HTML export show it: the
// window's own texts, except the times of every entrant the engine holds,
// which are written again from the exact result's whole milliseconds in the
// window's forms (a 47.4 s lap reads 00m47s40, where the window's
// arithmetic shows 00m47s39), and the lap history's marks, which are the
// result's unresolved short laps (an accepted one is no longer marked). A
// result file shown has no exact result and keeps its texts and marks.
RaceWindowModel WithExactTimes(const RaceWindowModel& window, const ExactResult& result);

// The ID a window cell names ("05", or "ID05" in the lap history's heading);
// 0 for any other text.
int IdOfCell(std::string_view cell);

// Marks in the lap history the laps `result` flags, and only those, in the
// columns of the entrants it holds.
void MarkShortLaps(GridModel& history, const ExactResult& result);

// Whole milliseconds in the window's forms, hundredths truncated:
// "00h01m23s45" for a race time, "01m23s45" for a lap (hours dropped).
std::string ExactRaceTimeText(std::int64_t ms);
std::string ExactLapTimeText(std::int64_t ms);

}  // namespace palomind
