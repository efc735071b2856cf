#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/exact_result.h"
#include "journal/journal.h"
#include "record/race_passes.h"

namespace palomind {

// A race record read apart: the race as it ran, and the corrections made to
// it afterwards. The raw events are never changed by a correction; a
// corrected race is always rebuilt from them.
struct RaceRecord {
    std::vector<JournalEvent> raw;  // every event but the edit and operator lines
    struct Entry {
        JournalEvent edit;         // an edit line
        std::string operatorName;  // the last operator line before it; empty when none
        int line = 0;              // its 1-based line in the record
    };
    std::vector<Entry> corrections;  // correction n is corrections[n - 1]

    // The heat the race was run as (its "heat" line); empty for a race of
    // no heat.
    std::string Heat() const;
};

// Splits a parsed record; `lines` gives each event's line (JournalParseResult).
RaceRecord SplitRaceRecord(const std::vector<JournalEvent>& events, const std::vector<int>& lines);

// What the first k corrections do to the raw race, reverts applied: a
// reverted correction counts as never made.
struct RevisionEdits {
    struct ManualPass {
        int id = 0;
        std::int32_t tick = 0;  // RaceStart x 1000 + race_ms
        int number = 0;         // k of the add, its "+k"
    };
    std::set<PassIdentity> deleted;   // passes that do not count, raw or manual
    std::vector<ManualPass> added;    // by k
    std::set<int> disqualified;       // IDs
    std::set<PassIdentity> accepted;  // short laps that stand, by the pass that ends them
    std::map<int, int> assigned;      // the raw passes of a transponder scored as an entrant's
    struct Penalty {
        int laps = 0;
        std::int64_t ms = 0;
    };
    std::map<int, Penalty> penalties;  // by ID, the penalties in force summed
};

// `raceStartTick`: RaceStart x 1000 of the race as it ran.
RevisionEdits EditsOfRevision(const RaceRecord& record, int k, std::int64_t raceStartTick);

// The raw events with the manual passes of `edits` put in at their ticks,
// after the raw events of the same tick and by k among themselves: the
// stream a corrected race is replayed from. Deleted passes are withheld by
// RevisionPassGate while it runs.
std::vector<JournalEvent> RevisionEvents(const std::vector<JournalEvent>& raw,
                                         const RevisionEdits& edits);

// The exact result of a revision: penalties applied (laps taken off, not
// below 0, and time added), disqualified entrants with status DQ after all
// others, in the engine's order among themselves and with no place, the
// others placed from 1: in the engine's order, or, where a penalty is in
// force, by laps and then time, ties kept in the engine's order. Accepted
// short laps taken out of shortLaps. `passes`: the revision's passes.
ExactResult CorrectedResult(ExactResult result, const RevisionEdits& edits,
                            const std::vector<RacePass>& passes);

// Checks every correction of a record against the race before it: the
// first bad one is named with its line. `raceStartTick` is RaceStart x 1000
// of the race as it ran; `passesBefore(k)` gives the passes
// of revision k (the race as the first k corrections leave it), so an accept
// is checked against the flags of the race it corrects.
struct CorrectionsCheck {
    bool ok = true;
    int errorLine = 0;
    std::string error;
};
CorrectionsCheck CheckCorrections(const RaceRecord& record, std::int64_t raceStartTick,
                                  const std::function<std::vector<RacePass>(int k)>& passesBefore);

}  // namespace palomind
