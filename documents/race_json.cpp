#include "documents/race_json.h"

#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "documents/disqualified_last.h"
#include "documents/exact_times.h"
#include "documents/race_view_extent.h"
#include "documents/settings_file.h"
#include "engine/race_state.h"

namespace palomind {

namespace {

using Json = nlohmann::ordered_json;

Json Standings(const GridModel& grid) {
    Json places = Json::array();
    for (int row = 1; row <= kShownPlaces; ++row) {
        Json place = Json::object();
        for (int col = 0; col < kStandingsCols; ++col)
            place[StandingsColumnName(StandingsCol(col))] = grid.TextMatrix(row, col);
        places.push_back(std::move(place));
    }
    return places;
}

Json LapHistory(const GridModel& grid) {
    const LapHistoryExtent extent = ShownLapHistory(grid);
    Json columns = Json::array();
    for (int col = 1; col <= extent.lastColumn; ++col)
        columns.push_back({{"id", grid.TextMatrix(0, col)}, {"name", grid.TextMatrix(1, col)}});
    Json rows = Json::array();
    // [row, column] in "rows" of each flagged short lap.
    Json shortLaps = Json::array();
    for (int row = 2; row <= extent.lastRow; ++row) {
        Json cells = Json::array();
        for (int col = 0; col <= extent.lastColumn; ++col) {
            cells.push_back(grid.TextMatrix(row, col));
            if (grid.CellMarked(row, col)) shortLaps.push_back({row - 2, col});
        }
        rows.push_back(std::move(cells));
    }
    return {{"columns", std::move(columns)},
            {"rows", std::move(rows)},
            {"short", std::move(shortLaps)}};
}

// The name the window shows for `id`: in the standings, else in the lap
// history's headings (an entrant past the 20 places shown).
std::string NameOf(const RaceWindowModel& window, int id) {
    for (int row = 1; row <= kShownPlaces; ++row)
        if (IdOfCell(window.Standings.TextMatrix(row, kStandingsIdCol)) == id)
            return window.Standings.TextMatrix(row, kStandingsNameCol);
    const GridModel& history = window.LapHistory;
    for (int col = history.FixedCols(); col < history.Cols(); ++col)
        if (IdOfCell(history.TextMatrix(0, col)) == id) return history.TextMatrix(1, col);
    return {};
}

// How far `behind` is from `ahead`: whole laps, and the race times of their
// last counted passes apart.
Json Gap(const EntrantResult& ahead, const EntrantResult& behind) {
    return {{"laps", ahead.laps - behind.laps}, {"ms", behind.timeMs - ahead.timeMs}};
}

Json OptionalMs(const std::optional<std::int64_t>& ms) {
    return ms ? Json(*ms) : Json(nullptr);
}

// Every entrant of the exact result in the exports' order (the disqualified
// last, the others placed again from 1), with the exact values the page
// formats itself.
Json Entrants(const RaceWindowModel& window, const ExactResult& result) {
    std::vector<int> ids;
    std::vector<std::string> places;
    for (const EntrantResult& entrant : result.entrants) {
        ids.push_back(entrant.id);
        places.push_back(entrant.place ? std::to_string(*entrant.place) : "");
    }
    const std::set<int> disqualified = DisqualifiedIn(result);
    const EntrantResult* leader = nullptr;
    const EntrantResult* ahead = nullptr;
    Json entrants = Json::array();
    for (const ListedEntrant& listed : ListDisqualifiedLast(ids, places, disqualified)) {
        const EntrantResult& entrant = result.entrants[listed.index];
        const bool out = disqualified.contains(entrant.id);
        const bool ranked = !out && !listed.place.empty();
        Json shown = Json::object();
        shown["id"] = entrant.id;
        shown["name"] = NameOf(window, entrant.id);
        shown["place"] = ranked ? Json(std::stoi(listed.place)) : Json(nullptr);
        shown["disqualified"] = out;
        shown["laps"] = entrant.laps;
        shown["timeMs"] = entrant.timeMs;
        shown["lastLapMs"] = entrant.lapMs.empty() ? Json(nullptr) : Json(entrant.lapMs.back());
        shown["bestMs"] = OptionalMs(entrant.bestMs);
        shown["shortLaps"] = entrant.shortLaps;
        shown["gapToLeader"] = ranked && leader != nullptr ? Gap(*leader, entrant) : Json(nullptr);
        shown["gapToAhead"] = ranked && ahead != nullptr ? Gap(*ahead, entrant) : Json(nullptr);
        if (ranked) {
            if (leader == nullptr) leader = &entrant;
            ahead = &entrant;
        }
        entrants.push_back(std::move(shown));
    }
    return entrants;
}

// The comment is worth showing unless it is empty, blank or the settings'
// placeholder text.
bool CommentShown(std::string_view comment) {
    const auto first = comment.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return false;
    const auto last = comment.find_last_not_of(" \t\r\n");
    return comment.substr(first, last - first + 1) != kDefaultComment;
}

}  // namespace

std::string RaceJson(const RaceWindowModel& window, const ExactResult& result,
                     const std::optional<LastPass>& lastPass) {
    Json race = Json::object();
    race["status"] = window.StatusCaption;
    race["lamp"] = CssColor(window.LampColor);
    race["elapsed"] = window.ElapsedCaption;
    race["remaining"] = window.RemainingCaption;
    race["comment"] = window.Comment;
    race["standings"] = Standings(window.Standings);
    race["lapHistory"] = LapHistory(window.LapHistory);
    race["provisional"] = ShowsShortLap(window.LapHistory);
    race["commentShown"] = CommentShown(window.Comment);
    race["entrants"] = Entrants(window, result);
    race["lastPass"] =
        lastPass ? Json{{"id", lastPass->id}, {"timeMs", lastPass->timeMs}} : Json(nullptr);
    return race.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace palomind
