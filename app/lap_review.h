#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "record/corrections.h"
#include "record/race_passes.h"

namespace palomind {

struct Revision;

// What the lap review window reckons from the passes of the race shown,
// without the toolkit: the rows it lists, the time it proposes for a missed
// lap, the parts of a split and which pass of a short lap it offers to delete.

// One entrant's passes in the order they came, manual ones at their times.
std::vector<RacePass> PassesOf(const std::vector<RacePass>& passes, int id);

// "+k" or the ordinal, the race and lap times in seconds with three
// decimals, and the source and outcome in the window's words.
struct ReviewRow {
    std::string ordinal;
    std::string raceTime;
    std::string lapTime;  // empty where the pass completes no lap
    std::string source;   // "受信機", "テスト", "手動"
    std::string became;  // "スタート", "ラップ", "フィニッシュ", "終了後", "削除", "無視"
    std::string flags;    // "短い" for a flagged short lap, else empty
    bool marked = false;  // deleted, manual or from a test button
};
ReviewRow ReviewRowOf(const RacePass& pass);

// The race time a missed lap's pass is proposed at: the middle of the lap
// nearest to twice the entrant's median lap (the lap that holds a missed
// pass); none with no lap.
std::optional<std::int64_t> ProposedAddRaceMs(const std::vector<RacePass>& ofEntrant);

// The race times that divide the lap ending at `end` (its time as the engine
// times it) into `parts` equal parts, rounded down to the millisecond: the
// `parts` - 1 passes a split adds. Empty for fewer than 2 parts or a pass
// that completes no lap.
std::vector<std::int64_t> SplitRaceMs(const RacePass& end, int parts);

// For the short lap ending at `ofEntrant[b]`: the index of the pass the
// window offers to delete. Deleting either end leaves one lap across the
// gap; the deletion that leaves the longer is offered, the lap's end on a
// tie, for lap 1 and where no pass follows.
std::size_t PreselectedDeletion(const std::vector<RacePass>& ofEntrant, std::size_t b);

// The correction "元に戻す" reverts: the last one that no later correction
// reverts. None where the record has none.
std::optional<int> CorrectionToUndo(const RaceRecord& record);

// One line of the audit list: correction n's time, operator and what it
// does, and the entrant's laps, time and place in revisions n - 1 (`before`)
// and n (`after`).
std::string AuditLine(const RaceRecord& record, int n, const Revision& before,
                      const Revision& after);
// The audit lines of corrections 1 to `upTo`, each revision scored once.
// Stops early, with the lines so far, once `keepGoing` says no.
std::vector<std::string> AuditLines(const RaceRecord& record, int upTo,
                                    const std::function<bool()>& keepGoing = {});
// The audit list of a race record's text: a line per correction, none for a
// record without corrections or a text that is not a record. Scores every
// revision: not for the window thread of a live race.
std::vector<std::string> AuditOfRecordText(const std::string& recordText);

}  // namespace palomind
