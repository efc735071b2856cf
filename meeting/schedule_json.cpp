#include "meeting/schedule_json.h"

#include <nlohmann/json.hpp>

namespace palomind {

std::string ScheduleJson(const std::vector<ScheduledHeat>& schedule) {
    using json = nlohmann::ordered_json;
    json heats = json::array();
    for (const ScheduledHeat& heat : schedule) {
        json entrants = json::array();
        for (const MeetingEntry& entry : heat.entrants) {
            entrants.push_back({{"name", entry.name},
                                {"transponder", entry.transponder},
                                {"number", entry.number},
                                {"car", entry.car},
                                {"club", entry.club}});
        }
        heats.push_back({{"heat", heat.id},
                         {"class", heat.className},
                         {"round", heat.round ? json(*heat.round) : json(nullptr)},
                         {"kind", HeatKindName(heat.kind)},
                         {"state", HeatStateName(heat.state)},
                         {"title", heat.title},
                         {"race_time_s", heat.raceTimeS},
                         {"start_wait_s", heat.startWaitS},
                         {"min_lap_ms", heat.minLapMs},
                         {"entrants", std::move(entrants)}});
    }
    const json document = {{"version", 1}, {"heats", std::move(heats)}};
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace palomind
