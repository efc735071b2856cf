#include "record/result_json.h"

#include <nlohmann/json.hpp>

namespace palomind {

namespace {

using Json = nlohmann::ordered_json;

// In the order of EntrantStatus.
constexpr const char* kStatusTexts[] = {"START", "RUN", "DQ"};

Json EntrantJson(const EntrantResult& entrant, const RosterTable& names) {
    Json json = Json::object();
    json["id"] = entrant.id;
    json["name"] = names[static_cast<std::size_t>(entrant.id)];
    json["status"] = kStatusTexts[static_cast<std::size_t>(entrant.status)];
    json["place"] = entrant.place ? Json(*entrant.place) : Json(nullptr);
    json["laps"] = entrant.laps;
    json["time_ms"] = entrant.timeMs;
    json["best_ms"] = entrant.bestMs ? Json(*entrant.bestMs) : Json(nullptr);
    json["lap_ms"] = entrant.lapMs;
    json["short_laps"] = entrant.shortLaps;
    if (entrant.penaltyLaps != 0 || entrant.penaltyMs != 0)
        json["penalty"] = {{"laps", entrant.penaltyLaps}, {"ms", entrant.penaltyMs}};
    return json;
}

}  // namespace

std::string ResultJson(const ResultHeading& heading, const ExactResult& result,
                       const RosterTable& names) {
    Json json = Json::object();
    json["race"] = heading.race;
    json["started"] = heading.started;
    if (!heading.heat.empty()) json["heat"] = heading.heat;
    json["revision"] = heading.revision;
    json["provisional"] = heading.provisional;
    json["race_time_s"] = result.raceTimeSeconds;
    Json entrants = Json::array();
    for (const EntrantResult& entrant : result.entrants)
        entrants.push_back(EntrantJson(entrant, names));
    json["entrants"] = std::move(entrants);
    return json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace palomind
