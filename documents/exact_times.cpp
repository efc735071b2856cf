#include "documents/exact_times.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "engine/time_format.h"

namespace palomind {

namespace {

std::string TimeText(std::int64_t ms, bool withHours) {
    const bool negative = ms < 0;
    const std::int64_t magnitude = negative ? -ms : ms;
    const std::int64_t hours = magnitude / 3'600'000;
    std::string text = negative ? "-" : "";
    if (withHours) text += FormatPadded(hours, 2) + 'h';
    text += FormatPadded(magnitude / 60'000 % 60, 2) + 'm';
    text += FormatPadded(magnitude / 1000 % 60, 2) + 's';
    text += FormatPadded(magnitude % 1000 / 10, 2);
    return text;
}

const EntrantResult* EntrantOf(const ExactResult& result, int id) {
    for (const EntrantResult& entrant : result.entrants)
        if (entrant.id == id) return &entrant;
    return nullptr;
}

void RewriteStandings(GridModel& standings, const ExactResult& result) {
    for (int row = 1; row <= kShownPlaces; ++row) {
        const EntrantResult* entrant =
            EntrantOf(result, IdOfCell(standings.TextMatrix(row, kStandingsIdCol)));
        if (entrant == nullptr) continue;
        standings.SetTextMatrix(row, kStandingsTimeCol, ExactRaceTimeText(entrant->timeMs));
        // With no lap the window shows its zero times; they stay.
        if (entrant->lapMs.empty() || !entrant->bestMs) continue;
        standings.SetTextMatrix(row, kStandingsLastLapCol, ExactLapTimeText(entrant->lapMs.back()));
        standings.SetTextMatrix(row, kStandingsBestLapCol, ExactLapTimeText(*entrant->bestMs));
    }
}

void RewriteLapHistory(GridModel& history, const ExactResult& result) {
    for (int col = history.FixedCols(); col < history.Cols(); ++col) {
        const EntrantResult* entrant = EntrantOf(result, IdOfCell(history.TextMatrix(0, col)));
        if (entrant == nullptr) continue;
        for (std::size_t lap = 1; lap <= entrant->lapMs.size(); ++lap) {
            const int row = static_cast<int>(lap) + 1;
            if (history.TextMatrix(row, col).empty()) continue;
            history.SetTextMatrix(row, col, ExactLapTimeText(entrant->lapMs[lap - 1]));
        }
    }
}

}  // namespace

int IdOfCell(std::string_view cell) {
    if (cell.starts_with("ID")) cell.remove_prefix(2);
    int id = 0;
    const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), id);
    return ec == std::errc() && end == cell.data() + cell.size() && id >= 1 && id <= kMaxId ? id
                                                                                            : 0;
}

void MarkShortLaps(GridModel& history, const ExactResult& result) {
    for (int col = history.FixedCols(); col < history.Cols(); ++col) {
        const EntrantResult* entrant = EntrantOf(result, IdOfCell(history.TextMatrix(0, col)));
        if (entrant == nullptr) continue;
        const auto flagged = [&](int lap) {
            return std::find(entrant->shortLaps.begin(), entrant->shortLaps.end(), lap) !=
                   entrant->shortLaps.end();
        };
        for (int row = 2; row < history.Rows(); ++row)
            history.SetCellMarked(row, col, flagged(row - 1));
    }
}

std::string ExactRaceTimeText(std::int64_t ms) {
    return TimeText(ms, true);
}

std::string ExactLapTimeText(std::int64_t ms) {
    return TimeText(ms, false);
}

RaceWindowModel WithExactTimes(const RaceWindowModel& window, const ExactResult& result) {
    RaceWindowModel exact = window;
    if (result.entrants.empty()) return exact;
    RewriteStandings(exact.Standings, result);
    RewriteLapHistory(exact.LapHistory, result);
    MarkShortLaps(exact.LapHistory, result);
    return exact;
}

}  // namespace palomind
