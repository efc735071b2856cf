#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "journal/journal.h"

namespace palomind {

// The races a run's journal holds, as a replay of it finds them: the
// identity of each race's record (named as the live program names them) and
// what the last race had come to when the journal ends.
struct JournalRaces {
    std::vector<std::string> identities;
    std::string lastStart;                // its start, local time, ISO 8601 ("" without a race)
    std::int64_t lastElapsedSeconds = 0;  // race time run (the countdown not counted)
    int lastEntrants = 0;                 // IDs with at least one pass
    int lastLaps = 0;                     // laps of all entrants together
};

// `journalFileName`, the journal's file name, gives the run's start.
JournalRaces ReadJournalRaces(const std::vector<JournalEvent>& events,
                              std::string_view journalFileName);

}  // namespace palomind
