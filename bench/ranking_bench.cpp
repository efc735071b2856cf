// Qualifying ranking time for a class of 64 entrants over 10 rounds, each
// method: the meeting window re-ranks at once when the director changes a
// class's method or K, so one ranking must take far less than a frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "meeting/qualifying_ranking.h"

using namespace palomind;

namespace {

constexpr int kEntrants = 64;
constexpr int kRounds = 10;

// Five-minute heats of 13 to 17 s laps; now and then a START, a DNS or a DQ.
std::vector<RaceResults> Rounds(const std::vector<Entrant>& entrants) {
    std::mt19937 rng(21);
    std::vector<RaceResults> rounds(kRounds);
    for (RaceResults& round : rounds) {
        for (const Entrant& entrant : entrants) {
            const unsigned fate = rng() % 40;
            if (fate == 0) continue;
            RoundResult row{entrant.name, RaceStatus::Run, 0, 0, {}, false};
            if (fate == 1) row.status = RaceStatus::Start;
            if (fate == 2) row.status = RaceStatus::DQ;
            while (row.status != RaceStatus::Start && row.timeMs < 300000) {
                row.lapMs.push_back(13000 + static_cast<std::int64_t>(rng() % 4000));
                row.timeMs += row.lapMs.back();
            }
            row.laps = static_cast<std::int64_t>(row.lapMs.size());
            if (row.status == RaceStatus::Start) row.timeMs = rng() % 5000;
            round.push_back(std::move(row));
        }
    }
    return rounds;
}

}  // namespace

int main() {
    std::vector<Entrant> entrants;
    for (int i = 1; i <= kEntrants; ++i) entrants.push_back({"Driver " + std::to_string(i), i});
    const std::vector<RaceResults> rounds = Rounds(entrants);
    const std::pair<const char*, RankingSettings> methods[] = {
        {"best-round", {RankingMethod::BestRound, {}, 3}},
        {"round-points, best 7", {RankingMethod::RoundPoints, 7, 3}},
        {"laps-time, best 7", {RankingMethod::LapsTime, 7, 3}},
        {"fastest-lap", {RankingMethod::FastestLap, {}, 3}},
        {"consecutive 3", {RankingMethod::Consecutive, {}, 3}},
    };
    constexpr int kRepeats = 200;
    std::printf(
        "qualifying ranking, %d entrants x %d rounds, %d repeats (target < 16 ms: "
        "within a frame)\n",
        kEntrants, kRounds, kRepeats);
    std::printf("  %-22s %10s %10s\n", "method", "median ms", "max ms");
    for (const auto& [name, settings] : methods) {
        std::vector<double> ms;
        std::size_t ranked = 0;
        for (int i = 0; i < kRepeats; ++i) {
            const auto start = std::chrono::steady_clock::now();
            ranked = RankQualifying(settings, entrants, rounds).ranking.size();
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("  %-22s %10.3f %10.3f   (%zu ranked)\n", name, ms[ms.size() / 2], ms.back(),
                    ranked);
    }
    return 0;
}
