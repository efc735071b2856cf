#include "record/result_json.h"

#include <nlohmann/json.hpp>

namespace palomind {

namespace {

using Json = nlohmann::ordered_json;

// In the order of EntrantStatus.
constexpr const char* kStatusTexts[] = {"START", "RUN", "DQ"};

Json EntrantJson(const EntrantResult& entrant, const std::string& name,
                 std::optional<std::int64_t> number = std::nullopt, const char* status = nullptr) {
    Json json = Json::object();
    json["id"] = entrant.id;
    if (number) json["number"] = *number;
    json["name"] = name;
    json["status"] = status ? status : kStatusTexts[static_cast<std::size_t>(entrant.status)];
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

Json HeadingJson(const ResultHeading& heading, std::int32_t raceTimeSeconds) {
    Json json = Json::object();
    json["race"] = heading.race;
    json["started"] = heading.started;
    if (!heading.heat.empty()) json["heat"] = heading.heat;
    json["revision"] = heading.revision;
    json["provisional"] = heading.provisional;
    json["race_time_s"] = raceTimeSeconds;
    return json;
}

std::string Dumped(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string ResultJson(const ResultHeading& heading, const ExactResult& result,
                       const RosterTable& names) {
    Json json = HeadingJson(heading, result.raceTimeSeconds);
    Json entrants = Json::array();
    for (const EntrantResult& entrant : result.entrants)
        entrants.push_back(EntrantJson(entrant, names[static_cast<std::size_t>(entrant.id)]));
    json["entrants"] = std::move(entrants);
    return Dumped(json);
}

std::string HeatResultJson(const ResultHeading& heading, std::int32_t raceTimeSeconds,
                           const std::vector<HeatEntrantResult>& entrants,
                           const std::vector<NotEnteredPasses>& notEntered) {
    Json json = HeadingJson(heading, raceTimeSeconds);
    Json list = Json::array();
    for (const HeatEntrantResult& entrant : entrants) {
        EntrantResult neverPassed;
        neverPassed.id = entrant.transponder;
        neverPassed.place.reset();
        list.push_back(entrant.result
                           ? EntrantJson(*entrant.result, entrant.name, entrant.number)
                           : EntrantJson(neverPassed, entrant.name, entrant.number, "DNS"));
    }
    json["entrants"] = std::move(list);
    Json strangers = Json::array();
    for (const NotEnteredPasses& stranger : notEntered)
        strangers.push_back({{"id", stranger.id}, {"passes", stranger.passes}});
    json["not_entered"] = std::move(strangers);
    return Dumped(json);
}

}  // namespace palomind
