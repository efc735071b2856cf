#include "record/race_heat.h"

namespace palomind {

std::string HeatOfLastRace(const std::vector<JournalEvent>& events) {
    std::string loaded;
    std::string ofRace;
    for (const JournalEvent& event : events) {
        if (event.kind == JournalEventKind::Heat) loaded = event.text;
        if (event.kind == JournalEventKind::Start) ofRace = loaded;
    }
    return ofRace;
}

}  // namespace palomind
