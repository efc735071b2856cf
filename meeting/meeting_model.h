#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "meeting/qualifying_ranking.h"

namespace palomind {

// A meeting as meeting.json stores it (docs/meeting.md): what the director
// set up and which race record ran which heat, never a result the records
// can give.

inline constexpr std::int64_t kSmallestHeatSize = 2;
inline constexpr std::int64_t kLargestHeatSize = 20;
inline constexpr std::int64_t kLargestTransponder = 63;  // the engine never ranks 64

// The finals of a class, kept here for the mains' draw.
struct FinalsSettings {
    std::int64_t mainSize = 10;            // at least 1
    std::int64_t bump = 0;                 // less than mainSize
    std::int64_t legs = 1;                 // at least 1
    std::optional<std::int64_t> bestLegs;  // none: every leg counts
};

// A race record filed under a heat: its file name in the meeting's races/.
struct HeatRecord {
    std::string file;
    // Run again: a later record of the heat stands for it.
    bool replaced = false;
    // A stopped race the director accepted as the heat's result.
    bool accepted = false;
};

struct MeetingClass {
    // "c1", "c2", ...: given once and never reused or changed, so that the
    // heat ids built from it survive renaming the class.
    std::string id;
    std::string name;
    std::int32_t raceTimeS = 480;
    std::int32_t startWaitS = 10;
    std::int32_t minLapMs = 0;   // 0: the per-user minimum lap applies
    std::int64_t heatSize = 10;  // kSmallestHeatSize to kLargestHeatSize
    std::int64_t rounds = 3;     // qualifying rounds
    // The length of the class's practice session, run with start wait 0;
    // 0: no practice.
    std::int32_t practiceTimeS = 300;
    // The records filed under the practice session, which every entrant of
    // the class is in.
    std::vector<HeatRecord> practiceRecords;
    RankingSettings ranking;
    FinalsSettings finals;
};

struct MeetingEntry {
    std::int64_t number = 0;       // unique in the meeting, at least 1
    std::string name;              // unique in its class
    std::int64_t transponder = 0;  // 1 to kLargestTransponder
    std::string classId;
    std::string car;   // optional: empty
    std::string club;  // optional: empty
};

struct Heat {
    std::string id;                      // short, no spaces, stable for the meeting's life
    std::int64_t number = 0;             // 1, 2, ... in its round
    std::vector<std::int64_t> entrants;  // entry numbers in draw order
    std::vector<HeatRecord> records;     // in the order they were filed
};

// A qualifying round of a class as drawn.
struct MeetingRound {
    std::string classId;
    std::int64_t number = 0;  // 1 to the class's rounds
    std::uint64_t seed = 0;   // of the last draw; 0 for a seeded round
    std::vector<Heat> heats;  // by number
    // Seeded by a ranking, stacked (heat 1 the fastest group), and so run
    // from the last heat to heat 1; drawn at random otherwise.
    bool seeded = false;
};

struct Meeting {
    std::string name;
    std::string date;                  // YYYY-MM-DD, local
    std::int64_t nextClassNumber = 1;  // for the next class id
    std::vector<MeetingClass> classes;
    std::vector<MeetingEntry> entries;  // by entry number
    std::vector<MeetingRound> rounds;
};

// Lookups; nullptr where there is none.
const MeetingClass* ClassNamed(const Meeting& meeting, const std::string& name);
const MeetingClass* ClassWithId(const Meeting& meeting, const std::string& id);
const MeetingEntry* EntryNumbered(const Meeting& meeting, std::int64_t number);
MeetingRound* RoundOf(Meeting& meeting, const std::string& classId, std::int64_t number);
// The records filed under the practice session or qualifying heat `heatId`.
std::vector<HeatRecord>* RecordsOfHeat(Meeting& meeting, const std::string& heatId);

// Adds a class with the default settings and a new id; returns it.
MeetingClass& AddClass(Meeting& meeting, const std::string& name);

// The entries of a class by entry number.
std::vector<MeetingEntry> EntriesOfClass(const Meeting& meeting, const std::string& classId);
// The entries of `numbers` in that order, skipping a number with no entry.
std::vector<MeetingEntry> EntriesNumbered(const Meeting& meeting,
                                          const std::vector<std::int64_t>& numbers);

// "c1-p" (practice) and "c1-q2-3" (round 2, heat 3).
std::string PracticeHeatId(const MeetingClass& meetingClass);
std::string QualifyingHeatId(const std::string& classId, std::int64_t round, std::int64_t heat);

}  // namespace palomind
