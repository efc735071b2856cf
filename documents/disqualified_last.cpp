#include "documents/disqualified_last.h"

namespace palomind {

std::vector<ListedEntrant> ListDisqualifiedLast(const std::vector<int>& ids,
                                                const std::vector<std::string>& places,
                                                const std::set<int>& disqualified) {
    std::vector<ListedEntrant> listed;
    listed.reserve(ids.size());
    int place = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (disqualified.contains(ids[i])) continue;
        const bool placed = !places[i].empty() && !disqualified.empty();
        listed.push_back({i, placed ? std::to_string(++place) : places[i]});
    }
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (disqualified.contains(ids[i])) listed.push_back({i, kDisqualifiedPlace});
    return listed;
}

}  // namespace palomind
