#pragma once
#include <set>
#include <string>
#include <vector>

#include "engine/race_window_model.h"

namespace palomind {

// The race as one self-contained HTML file that looks like the spectators'
// page (its style sheet is inside) and prints well: status, clocks, comment,
// the standings' 20 places and the lap history, as the window shows them;
// the `disqualified` IDs' rows last, placed "失格", the others placed again
// from 1. A race with corrections ends with their `audit` list, a line each.
std::string RaceHtml(const RaceWindowModel& window, const std::set<int>& disqualified = {},
                     const std::vector<std::string>& audit = {});

}  // namespace palomind
