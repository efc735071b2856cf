#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "meeting/meeting_model.h"
#include "meeting/qualifying_ranking.h"
#include "meeting/round_result.h"
#include "platform/file_store.h"

namespace palomind {

// A session of a class as its filed records give it: the practice session
// or one qualifying round with all its heats.
struct SessionResults {
    std::int64_t round = 0;  // 0 for practice
    // A row for every entrant of each heat that has a result: the heat's
    // standing record at its latest revision, penalties applied; DNS for an
    // entrant with no pass; every row of a race with a flagged short lap
    // unresolved provisional.
    RaceResults results;
    // The heats with no result yet: none filed, every record replaced, or
    // a stopped run not accepted.
    std::vector<std::string> heatsWithoutResult;

    bool Complete() const { return heatsWithoutResult.empty(); }
};

// What the per-class ranking shows, in exact figures.
struct ClassResults {
    std::vector<Entrant> entrants;  // the class's, by entry number
    SessionResults practice;
    std::vector<SessionResults> rounds;  // the rounds drawn, by number
    // The practice session ranked as it seeds round 1
    // (PracticeSeedingSettings); everyone unranked before it has a result.
    QualifyingRanking practiceRanking;
    // The qualifying so far: the class's method over its complete rounds.
    QualifyingRanking ranking;
};

// The results of class `classId` from the records filed in the meeting
// folder, each read and scored (so not on the window's thread). Nothing,
// with `error` one line naming the file, where a filed record cannot be
// read or is not a sound race record.
std::optional<ClassResults> ReadClassResults(const Meeting& meeting, const std::string& classId,
                                             const std::string& folder, FileStore& files,
                                             std::string& error);

// The ranking that seeds round `round` of the class: its practice ranking
// for round 1, the class's method over the rounds before for a later one.
// Nothing, with `error` one line, where the round is not the class's or a
// session it needs has a heat without a result.
std::optional<QualifyingRanking> SeedingRanking(const ClassResults& results,
                                                const MeetingClass& meetingClass,
                                                std::int64_t round, std::string& error);

}  // namespace palomind
