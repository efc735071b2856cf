#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "meeting/heat_draw.h"
#include "meeting/meeting_model.h"
#include "meeting/qualifying_ranking.h"

namespace palomind {

// How a class's practice session is ranked to seed round 1: by the best
// window of the class's N laps in a row where the class ranks by
// `consecutive`, by the fastest lap otherwise (docs/meeting.md, "Seeded
// heats").
RankingSettings PracticeSeedingSettings(const RankingSettings& classRanking);

// `entrants` (any order) best seed first: by their position in
// `seeding`, entry number breaking what is still tied; those it does not
// rank after all ranked ones, by entry number.
std::vector<DrawnEntrant> SeedOrder(const std::vector<DrawnEntrant>& entrants,
                                    const QualifyingRanking& seeding);

// Seeds round `round` of the class by `seeding` (the practice ranking for
// round 1, the qualifying of the rounds before for a later one): stacked,
// heat 1 the best seeds, in heats of HeatSizes, transponder clashes kept
// apart as the draw keeps them (the worse seed is the one that moves); the
// heats with a filed record stay, as a draw keeps them, and the round is
// stored as seeded. A provisional `seeding` is refused. False, the meeting
// unchanged and `error` set in one line, where it is refused.
bool SeedRound(Meeting& meeting, const std::string& classId, std::int64_t round,
               const QualifyingRanking& seeding, std::string& error);

}  // namespace palomind
