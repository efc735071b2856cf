#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace palomind {

// One main as filled from the qualifying order: its locked places in grid
// order, and the slots at the back of its grid that the main below fills.
struct MainPlan {
    std::string name;
    std::vector<std::string> locked;
    std::int64_t bumpSlots = 0;
};

// "A", "B", ... "Z", then "AA", "AB", ...
std::string MainName(std::size_t index);

// The mains of a class from the top down, from its qualifying order (best
// first). size >= 1, 0 <= bump < size. Without bump-ups the mains are sized
// as heats are; with them, each takes the next size - bump places and bump
// slots, and the last few places (bump or fewer) join the main above, which
// becomes the lowest and has no bump slots.
std::vector<MainPlan> MainsFromRanking(const std::vector<std::string>& qualifying,
                                       std::int64_t size, std::int64_t bump);

// The grid of a main with bump slots: the locked entrants in order, then the
// first `bumpSlots` starters of the main below in its finishing order. A slot
// with no starter left is left out; a locked entrant who does not start
// keeps the place.
std::vector<std::string> BumpUpGrid(const std::vector<std::string>& locked, std::int64_t bumpSlots,
                                    const std::vector<std::string>& lowerStartersInOrder);

}  // namespace palomind
