#include "documents/race_json.h"

#include <nlohmann/json.hpp>

#include "documents/race_view_extent.h"
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

}  // namespace

std::string RaceJson(const RaceWindowModel& window) {
    Json race = Json::object();
    race["status"] = window.StatusCaption;
    race["lamp"] = CssColor(window.LampColor);
    race["elapsed"] = window.ElapsedCaption;
    race["remaining"] = window.RemainingCaption;
    race["comment"] = window.Comment;
    race["standings"] = Standings(window.Standings);
    race["lapHistory"] = LapHistory(window.LapHistory);
    race["provisional"] = ShowsShortLap(window.LapHistory);
    return race.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace palomind
