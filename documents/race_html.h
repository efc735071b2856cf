#pragma once
#include <set>
#include <string>
#include <vector>

#include "documents/race_export_facts.h"
#include "engine/race_window_model.h"

namespace palomind {

// The race as one self-contained HTML file that looks like the spectators'
// page (its style sheet is inside) and prints well: a heading that says
// whether the race is over ("レース結果") or still going ("レース経過"), its
// start, status, clocks and comment, the standings' filled places and the
// lap history, as the window shows them; the `disqualified` IDs' rows last,
// placed "失格", the others placed again from 1. A race with corrections
// ends with their `audit` list, a line each; the program's version closes it.
std::string RaceHtml(const RaceWindowModel& window, const RaceExportFacts& facts,
                     const std::set<int>& disqualified = {},
                     const std::vector<std::string>& audit = {});

}  // namespace palomind
