#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "meeting/round_result.h"

namespace palomind {

// A main as run: its grid, and the results of each leg run so far.
struct MainRun {
    std::string name;
    std::vector<std::string> grid;
    std::vector<RaceResults> legs;
    // The best K legs count; none, all.
    std::optional<std::int64_t> bestLegs;
};

struct MainPlace {
    std::string entrant;
    // Started (START or RUN) at least one leg.
    bool started = false;
};

// Every grid entrant, best first. A leg scores each finishing position (1 for
// 1st, positions of the starters only), a DNS or DQ the grid's size + 1; the
// lowest total of the best K legs wins. Ties: the counted leg positions
// sorted best-first, then all legs the same way, then the best single leg,
// then the qualifying order (best first; an entrant not in it after those
// who are). One leg is the race's order, its non-starters last.
std::vector<MainPlace> MainResult(const MainRun& main, const std::vector<std::string>& qualifying);

// The main's starters in its result's order: who bumps up from it.
std::vector<std::string> MainStartersInOrder(const std::vector<MainPlace>& result);

}  // namespace palomind
