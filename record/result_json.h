#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// One entrant of a heat in its result: who by the entry list, and the
// race's result of its transponder; none where it never passed (DNS).
struct HeatEntrantResult {
    std::int64_t number = 0;  // the entry number
    std::string name;         // as entered
    int transponder = 0;
    std::optional<EntrantResult> result;  // its place counts the heat's entrants only
};

// The raw passes of a transponder that is in no entrant of the heat.
struct NotEnteredPasses {
    int id = 0;
    int passes = 0;
};

// A heat's result, the shape of ResultJson with "number" after each
// entrant's "id", status "DNS" (place null, laps 0, time 0) for an entrant
// that never passed, and "not_entered": [{"id", "passes"}] after
// "entrants" (docs/meeting.md).
std::string HeatResultJson(const ResultHeading& heading, std::int32_t raceTimeSeconds,
                           const std::vector<HeatEntrantResult>& entrants,
                           const std::vector<NotEnteredPasses>& notEntered);

}  // namespace palomind
