#pragma once
#include <string>

#include "engine/exact_result.h"
#include "roster/roster_table.h"

namespace palomind {

// Which race a result is of, as its record's "race" line says.
struct ResultHeading {
    std::string race;     // the record's identity
    std::string started;  // the start's local time, ISO 8601 with offset
    std::string heat;     // the heat the race was run as; empty for none
    int revision = 0;     // how many of the record's corrections it includes
    bool provisional = false;
};

// The exact result as one JSON object (docs/race-record.md):
// {"race", "started", ["heat",] "revision", "provisional", "race_time_s",
// "entrants": [{"id", "name", "status", "place", "laps", "time_ms",
// "best_ms", "lap_ms", "short_laps"[, "penalty": {"laps", "ms"}]}]}: "heat"
// only for a race run as a heat, "penalty" only for a penalised entrant.
// A name that is not valid UTF-8 is replaced, never refused.
std::string ResultJson(const ResultHeading& heading, const ExactResult& result,
                       const RosterTable& names);

}  // namespace palomind
