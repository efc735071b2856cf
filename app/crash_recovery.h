#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/journal_races.h"
#include "engine/race_state.h"
#include "journal/journal.h"
#include "platform/file_store.h"

namespace palomind {

// Bringing back the race of a run that ended abnormally (killed, crashed,
// power lost) from the journal it left behind. The live journal of a run
// keeps its ".running" name unless the run shut down cleanly; at the next
// start, when the newest journal is such a one and holds a race, the
// operator is asked whether to restore it.

inline constexpr std::string_view kRestoreQuestion = "前回のレースを復元しますか？";

// True when the program with this process ID is still running (a second
// instance writing its own journal, which must not be taken for a crash).
using LiveInstanceTest = std::function<bool(long processId)>;
// The system's answer: a live process running this same program.
bool IsLiveInstance(long processId);

struct CrashedRun {
    std::filesystem::path journal;
    std::vector<JournalEvent> events;  // empty when the journal is damaged
    std::string problem;               // why it cannot be read, for the operator
    // A last line without its line end, left out: noted in the new journal.
    std::string leftOutNote;
    // The heat the crashed run's race was run as (its last start's), so the
    // restored race is filed under it; empty for a race of no heat.
    std::string heat;
    // Its races, the last one's start, time run, entrants and laps.
    JournalRaces races;
};

// The crashed run to offer, if any: the newest journal in `folder` (other
// than `ownJournal`, this run's) when it did not end cleanly, belongs to no
// live instance and holds a race (a start). Nothing when there is none or
// the folder cannot be read.
std::optional<CrashedRun> FindCrashedRun(const std::filesystem::path& folder,
                                         const std::filesystem::path& ownJournal, FileStore& files,
                                         const LiveInstanceTest& isLive = IsLiveInstance);

// Once the operator has answered the restore question, the crashed run's
// journal is renamed "<run>.restored.journal" or "<run>.declined.journal"
// (journal/journal_file_names.h), so it is never offered again. False when it
// cannot be renamed: it keeps its name and is offered again at the next start.
bool SettleCrashedRun(const std::filesystem::path& journal, bool restored);

// True when each race in the journal has its race record in
// `recordsFolder`: only then may a settled journal be pruned, as the
// records keep its races. False for a journal that cannot be read.
bool EveryRaceHasItsRecord(const std::filesystem::path& journal,
                           const std::filesystem::path& recordsFolder);

// Reads a journal as a crash left it: a last line without its line end was
// being written when the run died and is dropped whole, as the journal's
// form says (cut short it could read as a different event: "rx fe fe" for
// "rx fe fe fe 05 ..."); any other damage fails the read.
JournalParseResult ParseCrashedJournal(std::string_view text);

// The tick counter starts again with the machine: a race restored after a
// restart cannot go on timing, as its clock anchors belong to the counter
// of before. True when the counter has not gone back since the last event
// and, where both this run and the crashed one know the machine's boot
// identity, it is the same boot.
bool RaceCanGoOnLive(const std::vector<JournalEvent>& events, std::int32_t now,
                     std::string_view bootIdentity);

// True while a race is under way (counting down, timing or finishing).
bool RaceInProgress(const RaceState& state);

// The restore question with what the operator needs to decide: the last
// race's start (local date and time), how long it had run, its entrants
// (IDs with a pass) and its laps.
std::string RestoreQuestionText(const CrashedRun& run);

// Told to the operator when the crashed run's journal cannot be read.
std::string DamagedJournalText(const CrashedRun& run);
// Told when the race was restored but its clock cannot go on because the
// machine was restarted (the tick counter started again).
inline constexpr std::string_view kRestoredStoppedText =
    "前回のレースを復元しました。パソコンが再起動されたため計時を続けられないので、レースを停止しま"
    "した。";

}  // namespace palomind
