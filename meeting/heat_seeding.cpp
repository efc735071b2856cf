#include "meeting/heat_seeding.h"

#include <algorithm>
#include <limits>
#include <map>

namespace palomind {

RankingSettings PracticeSeedingSettings(const RankingSettings& classRanking) {
    if (classRanking.method == RankingMethod::Consecutive)
        return {RankingMethod::Consecutive, std::nullopt, classRanking.consecutive};
    return {RankingMethod::FastestLap, std::nullopt, classRanking.consecutive};
}

std::vector<DrawnEntrant> SeedOrder(const std::vector<DrawnEntrant>& entrants,
                                    const QualifyingRanking& seeding) {
    std::map<std::string, std::int64_t> positions;
    for (const RankingRow& row : seeding.ranking) positions.emplace(row.entrant, row.position);
    const auto positionOf = [&](const DrawnEntrant& e) {
        const auto found = positions.find(e.name);
        return found == positions.end() ? std::numeric_limits<std::int64_t>::max() : found->second;
    };
    std::vector<DrawnEntrant> order = entrants;
    std::sort(order.begin(), order.end(), [&](const DrawnEntrant& a, const DrawnEntrant& b) {
        const std::int64_t pa = positionOf(a);
        const std::int64_t pb = positionOf(b);
        return pa != pb ? pa < pb : a.number < b.number;
    });
    return order;
}

bool SeedRound(Meeting& meeting, const std::string& classId, std::int64_t round,
               const QualifyingRanking& seeding, std::string& error) {
    if (seeding.provisional) {
        const MeetingClass* meetingClass = ClassWithId(meeting, classId);
        error = "round " + std::to_string(round) + " of class \"" +
                (meetingClass ? meetingClass->name : classId) +
                "\" would be seeded by a provisional ranking: resolve its flagged short laps "
                "first";
        return false;
    }
    const RoundArrangement seeded{[&seeding](const std::vector<DrawnEntrant>& entrants,
                                             std::int64_t largest, std::string& refusal) {
                                      return HeatsInOrder(SeedOrder(entrants, seeding), largest,
                                                          refusal);
                                  },
                                  0, true};
    return ArrangeRound(meeting, classId, round, seeded, error);
}

}  // namespace palomind
