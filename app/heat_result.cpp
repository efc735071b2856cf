#include "app/heat_result.h"

#include <algorithm>
#include <map>

namespace palomind {

HeatResult HeatResultOf(const Revision& revision, const std::vector<MeetingEntry>& entrants) {
    std::map<int, const MeetingEntry*> byTransponder;
    for (const MeetingEntry& entry : entrants)
        byTransponder[static_cast<int>(entry.transponder)] = &entry;

    HeatResult heat;
    int place = 0;
    for (EntrantResult result : revision.result.entrants) {
        const auto entry = byTransponder.find(result.id);
        if (entry == byTransponder.end()) continue;
        if (result.place) result.place = ++place;
        heat.entrants.push_back({entry->second->number, entry->second->name, result.id, result});
        byTransponder.erase(entry);
    }
    std::vector<const MeetingEntry*> neverPassed;
    for (const auto& [transponder, entry] : byTransponder) neverPassed.push_back(entry);
    std::sort(neverPassed.begin(), neverPassed.end(),
              [](const MeetingEntry* a, const MeetingEntry* b) { return a->number < b->number; });
    for (const MeetingEntry* entry : neverPassed) {
        heat.entrants.push_back(
            {entry->number, entry->name, static_cast<int>(entry->transponder), std::nullopt});
    }

    std::set<int> transponders;
    for (const MeetingEntry& entry : entrants)
        transponders.insert(static_cast<int>(entry.transponder));
    for (const TransponderPasses& stranger : NotEntered(revision, transponders))
        heat.notEntered.push_back({stranger.id, stranger.passes});
    return heat;
}

}  // namespace palomind
