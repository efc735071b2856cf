#pragma once
#include <set>
#include <string>

#include "documents/race_export_facts.h"
#include "engine/exact_result.h"
#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "roster/roster_table.h"

namespace palomind {

// The race's results as a spreadsheet reads them: UTF-8 with a byte order
// mark, CR LF line ends, fields quoted as RFC 4180 says. First the race time
// ("レース時間,480"), then a header row and one row per entrant in place
// order. A race the engine holds gives every entrant it ranked, its times in
// seconds with three decimals as `result` holds them (a 47.4 s lap is
// 47.400). `result` is the race's exact result with its corrections applied,
// so an accepted short lap is neither listed nor makes the race provisional.
// A result file shown gives the standings' filled places, times with two
// decimals read from the cells as the window shows them. The `disqualified`
// IDs come last, placed "失格", the others placed again from 1. An
// unregistered entrant's name is empty. After an empty row, the race's
// start, comment and the program's version from `facts`, "状態,暫定" while a
// short lap is unresolved and a "短いラップ,<ID>,<lap>" row for each.
std::string RaceCsv(const RaceState& state, const ExactResult& result,
                    const RaceWindowModel& window, const RosterTable& names,
                    const RaceExportFacts& facts, const std::set<int>& disqualified = {});

// A time text as the window shows it ("00h01m23s45", "01m23s45") in seconds
// with two decimals ("83.45"); empty for an empty cell, the text unchanged
// when it is not a time.
std::string TimeCellSeconds(const std::string& cell);

}  // namespace palomind
