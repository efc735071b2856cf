#pragma once
#include <string>
#include <vector>

#include "meeting/meeting_schedule.h"

namespace palomind {

// The schedule as --schedule writes it (docs/meeting.md): {"version": 1,
// "heats": [{"heat", "class", "round", "kind", "state", "title",
// "race_time_s", "start_wait_s", "min_lap_ms", "entrants": [{"name",
// "transponder", "number", "car", "club"}]}]}, indented UTF-8.
std::string ScheduleJson(const std::vector<ScheduledHeat>& schedule);

}  // namespace palomind
