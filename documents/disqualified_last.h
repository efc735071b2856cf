#pragma once
#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace palomind {

// What the exports show in the place column of a disqualified entrant.
inline constexpr const char* kDisqualifiedPlace = "失格";

struct ListedEntrant {
    std::size_t index;  // into the list given
    std::string place;
};

// The order the exports list entrants in (`ids` and `places` as the race
// ranks them): the entrants not disqualified first, in that order, placed
// from 1 again where they had a place; then the disqualified ones, in that
// order, placed "失格". With none disqualified, the list as it is.
std::vector<ListedEntrant> ListDisqualifiedLast(const std::vector<int>& ids,
                                                const std::vector<std::string>& places,
                                                const std::set<int>& disqualified);

}  // namespace palomind
