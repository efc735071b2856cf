#include "documents/race_csv.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "documents/disqualified_last.h"
#include "engine/time_format.h"

namespace palomind {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kLineEnd = "\r\n";

struct Entrant {
    std::string place, id, name, laps, time, best;
    std::vector<std::string> lapSeconds;
};

// "-5", "-1.25": a number, which a spreadsheet reads as one.
bool IsNumber(std::string_view text) {
    if (text.starts_with('-')) text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return !whole.empty() && digits(whole) && digits(fraction) &&
           (point == std::string_view::npos || !fraction.empty());
}

// A spreadsheet runs a text that begins like a formula; a leading
// apostrophe makes it plain text there. Numbers stay as they are.
std::string Defused(const std::string& text) {
    if (text.empty() || std::string_view("=+-@\t\r").find(text.front()) == std::string_view::npos ||
        IsNumber(text))
        return text;
    return "'" + text;
}

// RFC 4180: a field holding a comma, a quote or a line break is quoted, its
// quotes doubled.
std::string Field(const std::string& cell) {
    const std::string text = Defused(cell);
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void AppendRow(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        out += Field(fields[i]);
    }
    out += kLineEnd;
}

// "005" -> "5", as a spreadsheet would read it anyway; text that is not a
// number stays as it is.
std::string Number(const std::string& cell) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (cell.empty() || ec != std::errc() || end != cell.data() + cell.size()) return cell;
    return std::to_string(value);
}

// Reads the digits up to `unit` ("01m" of "01m23s45"); nothing when absent.
std::optional<std::int64_t> Part(std::string_view& text, char unit) {
    const std::size_t at = text.find(unit);
    if (at == std::string_view::npos || at == 0) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + at, value);
    if (ec != std::errc() || end != text.data() + at) return std::nullopt;
    text.remove_prefix(at + 1);
    return value;
}

int LapHistoryColumn(const GridModel& history, const std::string& idCell) {
    const std::string heading = "ID" + idCell;
    for (int col = 1; col < history.Cols(); ++col)
        if (history.TextMatrix(0, col) == heading) return col;
    return 0;
}

std::vector<std::string> LapsFromState(const RaceState& state, int id) {
    std::vector<std::string> laps;
    const int count = std::min<int>(state.LapCount[static_cast<std::size_t>(id)], kMaxLaps);
    for (int lap = 1; lap <= count; ++lap)
        laps.push_back(TimeCellSeconds(FormatLapTime(state.LapTimes(id, lap))));
    return laps;
}

// The standings' filled places, with their laps from the lap history (or from
// the engine for an entrant that has no lap-history column).
std::vector<Entrant> ShownEntrants(const RaceState& state, const RaceWindowModel& window) {
    std::vector<Entrant> entrants;
    const GridModel& standings = window.Standings;
    const GridModel& history = window.LapHistory;
    for (int row = 1; row <= kShownPlaces; ++row) {
        const std::string& idCell = standings.TextMatrix(row, kStandingsIdCol);
        if (idCell.empty() || idCell == "--") continue;
        Entrant e{standings.TextMatrix(row, kStandingsPlaceCol),
                  Number(idCell),
                  standings.TextMatrix(row, kStandingsNameCol),
                  Number(standings.TextMatrix(row, kStandingsLapsCol)),
                  TimeCellSeconds(standings.TextMatrix(row, kStandingsTimeCol)),
                  TimeCellSeconds(standings.TextMatrix(row, kStandingsBestLapCol)),
                  {}};
        if (const int col = LapHistoryColumn(history, idCell); col != 0) {
            long long laps = 0;
            std::from_chars(e.laps.data(), e.laps.data() + e.laps.size(), laps);
            for (int lap = 1; lap <= laps; ++lap)
                e.lapSeconds.push_back(TimeCellSeconds(history.TextMatrix(lap + 1, col)));
        } else if (const int id = std::atoi(e.id.c_str());
                   id > 0 && id <= kMaxId && state.LapCount[id] >= 0) {
            e.lapSeconds = LapsFromState(state, id);
        }
        entrants.push_back(std::move(e));
    }
    return entrants;
}

// Ranked entrants below the places the window shows: only a live or replayed
// race has them (a result file holds the window's places alone).
void AppendRankedBeyondWindow(std::vector<Entrant>& entrants, const RaceState& state,
                              const RosterTable& names) {
    for (int place = kShownPlaces + 1; place <= kMaxRankedId; ++place) {
        const int id = state.RankOrder[static_cast<std::size_t>(place)];
        if (id <= 0 || id > kMaxId || state.LapCount[static_cast<std::size_t>(id)] < 0) continue;
        const auto at = static_cast<std::size_t>(id);
        entrants.push_back({std::to_string(place), std::to_string(id), names[at],
                            std::to_string(state.LapCount[at]),
                            TimeCellSeconds(FormatRaceTime(state.LastPass[at] - state.RaceStart)),
                            TimeCellSeconds(FormatLapTime(state.BestLap[at])),
                            LapsFromState(state, id)});
    }
}

}  // namespace

std::string TimeCellSeconds(const std::string& cell) {
    std::string_view text = cell;
    if (text.empty()) return {};
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    std::int64_t hours = 0;
    if (text.find('h') != std::string_view::npos) {
        const auto h = Part(text, 'h');
        if (!h) return cell;
        hours = *h;
    }
    const auto minutes = Part(text, 'm');
    const auto seconds = Part(text, 's');
    std::int64_t hundredths = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), hundredths);
    if (!minutes || !seconds || text.size() != 2 || ec != std::errc() ||
        end != text.data() + text.size())
        return cell;
    const std::int64_t total = ((hours * 60 + *minutes) * 60 + *seconds) * 100 + hundredths;
    const std::string fraction = FormatPadded(total % 100, 2);
    return (negative ? "-" : "") + std::to_string(total / 100) + "." + fraction;
}

std::string RaceCsv(const RaceState& state, const RaceWindowModel& window, const RosterTable& names,
                    const std::set<int>& disqualified) {
    std::vector<Entrant> ranked = ShownEntrants(state, window);
    AppendRankedBeyondWindow(ranked, state, names);
    std::vector<int> ids;
    std::vector<std::string> places;
    for (const Entrant& e : ranked) {
        ids.push_back(std::atoi(e.id.c_str()));
        places.push_back(e.place);
    }
    std::vector<Entrant> entrants;
    for (const ListedEntrant& listed : ListDisqualifiedLast(ids, places, disqualified)) {
        entrants.push_back(std::move(ranked[listed.index]));
        entrants.back().place = listed.place;
    }
    std::size_t lapColumns = 0;
    for (const Entrant& e : entrants) lapColumns = std::max(lapColumns, e.lapSeconds.size());

    std::string out = kByteOrderMark;
    AppendRow(out, {"レース時間", std::to_string(state.RaceTime)});
    std::vector<std::string> header = {"順位", "ID", "名前", "周回", "合計タイム", "ベストラップ"};
    for (std::size_t lap = 1; lap <= lapColumns; ++lap)
        header.push_back("ラップ" + std::to_string(lap));
    AppendRow(out, header);
    for (Entrant& e : entrants) {
        std::vector<std::string> row = {e.place, e.id, e.name, e.laps, e.time, e.best};
        e.lapSeconds.resize(lapColumns);
        row.insert(row.end(), e.lapSeconds.begin(), e.lapSeconds.end());
        AppendRow(out, row);
    }
    return out;
}

}  // namespace palomind
