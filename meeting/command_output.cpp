#include "meeting/command_output.h"

#include <nlohmann/json.hpp>

namespace palomind {

namespace {

// Keys in the order the documentation shows them.
using Json = nlohmann::ordered_json;

Json Versioned() {
    return Json{{"version", kMeetingJsonVersion}};
}

std::string Written(const Json& document) {
    return document.dump(2) + "\n";
}

}  // namespace

std::string RankingJson(const QualifyingRanking& ranking) {
    Json document = Versioned();
    document["provisional"] = ranking.provisional;
    document["ranking"] = Json::array();
    for (const RankingRow& row : ranking.ranking) {
        document["ranking"].push_back(
            {{"entrant", row.entrant}, {"position", row.position}, {"shared", row.shared}});
    }
    document["unranked"] = ranking.unranked;
    return Written(document);
}

std::string MainsJson(const std::vector<MainPlan>& mains) {
    Json document = Versioned();
    document["mains"] = Json::array();
    for (const MainPlan& main : mains) {
        document["mains"].push_back(
            {{"name", main.name}, {"locked", main.locked}, {"bump_slots", main.bumpSlots}});
    }
    return Written(document);
}

std::string GridJson(const std::vector<std::string>& grid) {
    Json document = Versioned();
    document["grid"] = grid;
    return Written(document);
}

std::string FinalJson(const std::vector<FinalRow>& result) {
    Json document = Versioned();
    document["ranking"] = Json::array();
    for (const FinalRow& row : result) {
        document["ranking"].push_back({{"entrant", row.entrant},
                                       {"position", row.position},
                                       {"main", row.main ? Json(*row.main) : Json(nullptr)}});
    }
    return Written(document);
}

}  // namespace palomind
