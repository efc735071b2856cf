#include "app/heat_result.h"

#include <algorithm>
#include <map>
#include <set>

namespace palomind {

HeatResult HeatResultOf(const Revision& revision, const std::vector<MeetingEntry>& entrants) {
    std::vector<const MeetingEntry*> byNumber;
    for (const MeetingEntry& entry : entrants) byNumber.push_back(&entry);
    std::sort(byNumber.begin(), byNumber.end(),
              [](const MeetingEntry* a, const MeetingEntry* b) { return a->number < b->number; });
    // A practice session holds the whole class, loaned transponders too:
    // their result is the first entrant's by number, as no race can tell
    // the drivers apart, and every entrant is still listed.
    std::map<int, const MeetingEntry*> byTransponder;
    for (const MeetingEntry* entry : byNumber)
        byTransponder.emplace(static_cast<int>(entry->transponder), entry);

    HeatResult heat;
    std::set<std::int64_t> passed;
    int place = 0;
    for (EntrantResult result : revision.result.entrants) {
        const auto entry = byTransponder.find(result.id);
        if (entry == byTransponder.end()) continue;
        if (result.place) result.place = ++place;
        heat.entrants.push_back({entry->second->number, entry->second->name, result.id, result});
        passed.insert(entry->second->number);
    }
    for (const MeetingEntry* entry : byNumber) {
        if (passed.contains(entry->number)) continue;
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
