#include "meeting/qualifying_ranking.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <span>

#include "meeting/rank_key.h"
#include "meeting/single_key.h"

namespace palomind {

namespace {

// One entrant's started result in each round, null where they have none (no
// row, DNS or DQ).
using RoundsOfEntrant = std::vector<const RoundResult*>;

std::vector<RoundsOfEntrant> StartedResults(const std::vector<Entrant>& entrants,
                                            const std::vector<RaceResults>& rounds) {
    std::map<std::string_view, std::size_t> indexOf;
    for (std::size_t i = 0; i < entrants.size(); ++i) indexOf[entrants[i].name] = i;
    std::vector<RoundsOfEntrant> started(entrants.size(), RoundsOfEntrant(rounds.size()));
    for (std::size_t round = 0; round < rounds.size(); ++round) {
        for (const RoundResult& row : rounds[round]) {
            const auto found = indexOf.find(row.entrant);
            if (found != indexOf.end() && Started(row)) started[found->second][round] = &row;
        }
    }
    return started;
}

bool Better(const RoundResult* a, const RoundResult* b) {
    return CompareAcrossRaces(*a, *b) < 0;
}

std::vector<const RoundResult*> BestFirst(const RoundsOfEntrant& rounds) {
    std::vector<const RoundResult*> results;
    std::copy_if(rounds.begin(), rounds.end(), std::back_inserter(results),
                 [](const RoundResult* r) { return r != nullptr; });
    std::stable_sort(results.begin(), results.end(), Better);
    return results;
}

// The entrant's best single key, for the methods whose last countback it is.
std::array<const RoundResult*, 1> BestSingleKey(const RoundsOfEntrant& rounds) {
    return {BestFirst(rounds).front()};
}

std::vector<std::int64_t> LapTimes(const RoundsOfEntrant& rounds) {
    std::vector<std::int64_t> laps;
    for (const RoundResult* result : rounds) {
        if (result != nullptr) laps.insert(laps.end(), result->lapMs.begin(), result->lapMs.end());
    }
    return laps;
}

RankKey BestRoundKey(const RoundsOfEntrant& rounds) {
    return RankKey().ThenSingleKeys(BestFirst(rounds));
}

// An entrant's score in one round of round-points; no position for DNS/DQ.
struct RoundScore {
    std::int64_t points = 0;
    std::optional<std::int64_t> position;
};

// scores[entrant][round]. A round ranks everyone who started it end to end
// over its heats; the STARTs share the place below everyone with laps.
std::vector<std::vector<RoundScore>> RoundScores(const std::vector<RoundsOfEntrant>& started,
                                                 std::size_t roundCount) {
    const auto classSize = static_cast<std::int64_t>(started.size());
    std::vector<std::vector<RoundScore>> scores(started.size(),
                                                std::vector<RoundScore>(roundCount));
    for (std::size_t round = 0; round < roundCount; ++round) {
        std::vector<std::size_t> field;
        for (std::size_t e = 0; e < started.size(); ++e) {
            if (started[e][round] != nullptr) field.push_back(e);
        }
        std::sort(field.begin(), field.end(), [&](std::size_t a, std::size_t b) {
            return Better(started[a][round], started[b][round]);
        });
        std::int64_t position = 0;
        for (std::size_t i = 0; i < field.size(); ++i) {
            if (i == 0 || Better(started[field[i - 1]][round], started[field[i]][round])) {
                position = static_cast<std::int64_t>(i) + 1;
            }
            scores[field[i]][round] = {classSize + 1 - position, position};
        }
    }
    return scores;
}

RankKey RoundPointsKey(std::vector<RoundScore> scores, std::size_t counted,
                       const RoundsOfEntrant& rounds) {
    std::stable_sort(scores.begin(), scores.end(),
                     [](const RoundScore& a, const RoundScore& b) { return a.points > b.points; });
    scores.resize(counted);
    std::int64_t total = 0;
    std::vector<std::int64_t> positions;
    for (const RoundScore& score : scores) {
        total += score.points;
        if (score.position) positions.push_back(*score.position);
    }
    std::sort(positions.begin(), positions.end());
    return RankKey().Then(-total).ThenCountback(positions).ThenSingleKeys(BestSingleKey(rounds));
}

RankKey LapsTimeKey(const RoundsOfEntrant& rounds, std::size_t counted) {
    // The best K rounds by single key, the earlier round first on equal
    // keys; a round without a start is below every other.
    std::vector<const RoundResult*> best = rounds;
    std::stable_sort(best.begin(), best.end(), [](const RoundResult* a, const RoundResult* b) {
        if (a == nullptr || b == nullptr) return a != nullptr && b == nullptr;
        return Better(a, b);
    });
    best.resize(counted);
    std::int64_t laps = 0;
    std::int64_t time = 0;
    for (const RoundResult* result : best) {
        // A START adds neither laps nor time.
        if (result == nullptr || result->status != RaceStatus::Run) continue;
        laps += result->laps;
        time += result->timeMs;
    }
    return RankKey().Then(-laps).Then(time).ThenSingleKeys(BestSingleKey(rounds));
}

RankKey FastestLapKey(const RoundsOfEntrant& rounds) {
    std::vector<std::int64_t> laps = LapTimes(rounds);
    std::sort(laps.begin(), laps.end());
    return RankKey().ThenCountback(laps);
}

RankKey ConsecutiveKey(const RoundsOfEntrant& rounds, std::size_t window) {
    // Full window first; then short of N laps in every race; then START only.
    constexpr std::int64_t kFullWindow = 0;
    constexpr std::int64_t kShort = 1;
    constexpr std::int64_t kStartOnly = 2;
    std::optional<std::int64_t> bestWindow;
    std::optional<std::pair<std::int64_t, std::int64_t>> mostLaps;  // (-laps, their sum)
    for (const RoundResult* result : rounds) {
        if (result == nullptr || result->status != RaceStatus::Run) continue;
        if (const std::optional<std::int64_t> w = BestConsecutiveLaps(result->lapMs, window)) {
            bestWindow = std::min(bestWindow.value_or(*w), *w);
        }
        const std::pair<std::int64_t, std::int64_t> race{
            -static_cast<std::int64_t>(result->lapMs.size()),
            std::accumulate(result->lapMs.begin(), result->lapMs.end(), std::int64_t{0})};
        mostLaps = std::min(mostLaps.value_or(race), race);
    }
    if (bestWindow) {
        const std::vector<std::int64_t> laps = LapTimes(rounds);
        return RankKey()
            .Then(kFullWindow)
            .Then(*bestWindow)
            .Then(*std::min_element(laps.begin(), laps.end()));
    }
    if (mostLaps) return RankKey().Then(kShort).Then(mostLaps->first).Then(mostLaps->second);
    return RankKey().Then(kStartOnly);
}

bool AnyProvisional(const std::vector<RaceResults>& rounds) {
    return std::any_of(rounds.begin(), rounds.end(), [](const RaceResults& round) {
        return std::any_of(round.begin(), round.end(),
                           [](const RoundResult& row) { return row.provisional; });
    });
}

struct Standing {
    const Entrant* entrant;
    RankKey key;
};

}  // namespace

std::optional<std::int64_t> BestConsecutiveLaps(const std::vector<std::int64_t>& laps,
                                                std::size_t window) {
    if (laps.size() < window) return std::nullopt;
    std::int64_t sum = std::accumulate(laps.begin(), laps.begin() + window, std::int64_t{0});
    std::int64_t best = sum;
    for (std::size_t i = window; i < laps.size(); ++i) {
        sum += laps[i] - laps[i - window];
        best = std::min(best, sum);
    }
    return best;
}

namespace {

constexpr std::array<std::pair<std::string_view, RankingMethod>, 5> kMethodNames{{
    {"best-round", RankingMethod::BestRound},
    {"round-points", RankingMethod::RoundPoints},
    {"laps-time", RankingMethod::LapsTime},
    {"fastest-lap", RankingMethod::FastestLap},
    {"consecutive", RankingMethod::Consecutive},
}};

}  // namespace

std::optional<RankingMethod> RankingMethodNamed(std::string_view name) {
    for (const auto& [spelled, method] : kMethodNames) {
        if (spelled == name) return method;
    }
    return std::nullopt;
}

std::string_view RankingMethodName(RankingMethod method) {
    for (const auto& [spelled, named] : kMethodNames) {
        if (named == method) return spelled;
    }
    return {};
}

QualifyingRanking RankQualifying(const RankingSettings& settings,
                                 const std::vector<Entrant>& entrants,
                                 const std::vector<RaceResults>& rounds) {
    QualifyingRanking result;
    result.provisional = AnyProvisional(rounds);
    const std::vector<RoundsOfEntrant> started = StartedResults(entrants, rounds);
    // K larger than the rounds run counts them all.
    const std::size_t counted =
        settings.best ? std::min(rounds.size(), static_cast<std::size_t>(*settings.best))
                      : rounds.size();
    const auto scores = settings.method == RankingMethod::RoundPoints
                            ? RoundScores(started, rounds.size())
                            : std::vector<std::vector<RoundScore>>{};

    const auto window = static_cast<std::size_t>(std::max<std::int64_t>(1, settings.consecutive));

    std::vector<Standing> standings;
    std::vector<const Entrant*> unranked;
    for (std::size_t e = 0; e < entrants.size(); ++e) {
        const RoundsOfEntrant& mine = started[e];
        if (std::all_of(mine.begin(), mine.end(), [](const RoundResult* r) { return !r; })) {
            unranked.push_back(&entrants[e]);
            continue;
        }
        RankKey key;
        switch (settings.method) {
            case RankingMethod::BestRound:
                key = BestRoundKey(mine);
                break;
            case RankingMethod::RoundPoints:
                key = RoundPointsKey(scores[e], counted, mine);
                break;
            case RankingMethod::LapsTime:
                key = LapsTimeKey(mine, counted);
                break;
            case RankingMethod::FastestLap:
                key = FastestLapKey(mine);
                break;
            case RankingMethod::Consecutive:
                key = ConsecutiveKey(mine, window);
                break;
        }
        standings.push_back({&entrants[e], std::move(key)});
    }

    std::sort(standings.begin(), standings.end(), [](const Standing& a, const Standing& b) {
        if (a.key != b.key) return a.key < b.key;
        return a.entrant->number < b.entrant->number;
    });
    for (std::size_t i = 0; i < standings.size(); ++i) {
        const bool sameAsAbove = i > 0 && standings[i - 1].key == standings[i].key;
        const bool sameAsBelow =
            i + 1 < standings.size() && standings[i + 1].key == standings[i].key;
        const std::int64_t position =
            sameAsAbove ? result.ranking.back().position : static_cast<std::int64_t>(i) + 1;
        result.ranking.push_back(
            {standings[i].entrant->name, position, sameAsAbove || sameAsBelow});
    }
    std::sort(unranked.begin(), unranked.end(),
              [](const Entrant* a, const Entrant* b) { return a->number < b->number; });
    for (const Entrant* entrant : unranked) result.unranked.push_back(entrant->name);
    return result;
}

}  // namespace palomind
