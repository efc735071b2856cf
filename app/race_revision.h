#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/race_core.h"
#include "engine/exact_result.h"
#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "record/corrections.h"
#include "record/race_passes.h"
#include "roster/roster_table.h"

namespace palomind {

// One revision of a race record, scored: revision k is the race as it ran
// plus its first k corrections (reverts applied); revision 0 is the race as
// it ran.
//
// It is the engine's own scoring of the record's raw events, replayed
// through the one dispatcher with the corrections applied: a deleted pass
// never reaches lap processing (it still sets the ID "ＩＤ１" counts on
// from), a manual pass reaches it as a pass of its ID at its tick
// (RaceStart x 1000 + race_ms) without touching that ID, and every raw pass
// keeps the ID it had in the race. Nothing is read from or written to disk,
// no sound plays; it runs on any thread.
struct Revision {
    int number = 0;
    RaceState state;
    RaceWindowModel window;  // the grids in the engine's order
    RosterTable roster;
    // The exact result: disqualified entrants after all others with status
    // DQ, accepted short laps left out of shortLaps.
    ExactResult result;
    std::vector<RacePass> passes;  // every pass, deleted and manual ones too
    bool provisional = false;      // a flagged short lap is unresolved
    std::map<int, int> assigned;   // the transponders whose passes count as an entrant's
};

// `k` from 0 to record.corrections.size() (clamped); the record's
// corrections are taken as checked (CheckRaceRecord).
Revision ScoreRevision(const RaceRecord& record, int k);

// Replays revision k through `core`, a core that has applied nothing yet
// (its listeners and observers set, its start-up files loaded as the
// caller wants), the race clock run on to `until` as ReplayJournal does,
// and returns the corrections in force.
RevisionEdits ReplayRevision(const RaceRecord& record, int k, RaceCore& core,
                             std::optional<std::int32_t> until = std::nullopt);

// A transponder's raw passes in a revision: every one that reached lap
// processing, counted or not (deleted, after the finish, ignored), and the
// ID they count as (its own, or the entrant an assign gave them to).
struct TransponderPasses {
    int id = 0;
    int passes = 0;
    int scoredAs = 0;

    bool operator==(const TransponderPasses&) const = default;
};
// Every transponder with a raw pass in the revision, by ID.
std::vector<TransponderPasses> RawPassesByTransponder(const Revision& revision);
// Those of the transponders whose passes count for no ID of `entrants` (a
// heat's): the passes shown as "not entered" in the heat's result.
std::vector<TransponderPasses> NotEntered(const Revision& revision, const std::set<int>& entrants);

// Checks every correction of `record` against the revision before it.
CorrectionsCheck CheckRaceRecord(const RaceRecord& record);

}  // namespace palomind
