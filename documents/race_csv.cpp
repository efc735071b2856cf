#include "documents/race_csv.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "documents/disqualified_last.h"
#include "documents/race_view_extent.h"
#include "engine/exact_result.h"
#include "engine/time_format.h"

namespace palomind {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kLineEnd = "\r\n";

struct Entrant {
    std::string place, id, name, laps, time, best;
    std::vector<std::string> lapSeconds;
};

// What a field holds: a name or a comment is text whatever it looks like; a
// number column may hold a text where a result file's cell is not a number.
enum class FieldKind { Text, Number };

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
// apostrophe makes it plain text there. A number in a number column stays as
// it is; a name that reads as a number ("-05") is text, kept as written.
std::string Defused(const std::string& text, FieldKind kind) {
    if (text.empty() || std::string_view("=+-@\t\r").find(text.front()) == std::string_view::npos ||
        (kind == FieldKind::Number && IsNumber(text)))
        return text;
    return "'" + text;
}

// RFC 4180: a field holding a comma, a quote or a line break is quoted, its
// quotes doubled.
std::string Field(const std::string& cell, FieldKind kind) {
    const std::string text = Defused(cell, kind);
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// `textColumns`: the columns that hold text (a name, a comment).
void AppendRow(std::string& out, const std::vector<std::string>& fields,
               const std::set<std::size_t>& textColumns = {}) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        out += Field(fields[i], textColumns.contains(i) ? FieldKind::Text : FieldKind::Number);
    }
    out += kLineEnd;
}

// The roster's placeholder is no one's name: a reader sees an empty one.
std::string Registered(const std::string& name) {
    return name == kUnregisteredName ? std::string() : name;
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

// A result file shown holds the window's texts alone: the standings' filled
// places, with their laps from the lap history.
std::vector<Entrant> ShownEntrants(const RaceWindowModel& window) {
    std::vector<Entrant> entrants;
    const GridModel& standings = window.Standings;
    const GridModel& history = window.LapHistory;
    for (int row = 1; row <= kShownPlaces; ++row) {
        const std::string& idCell = standings.TextMatrix(row, kStandingsIdCol);
        if (idCell.empty() || idCell == "--") continue;
        Entrant e{standings.TextMatrix(row, kStandingsPlaceCol),
                  Number(idCell),
                  Registered(standings.TextMatrix(row, kStandingsNameCol)),
                  Number(standings.TextMatrix(row, kStandingsLapsCol)),
                  TimeCellSeconds(standings.TextMatrix(row, kStandingsTimeCol)),
                  TimeCellSeconds(standings.TextMatrix(row, kStandingsBestLapCol)),
                  {}};
        if (const int col = LapHistoryColumn(history, idCell); col != 0) {
            long long laps = 0;
            std::from_chars(e.laps.data(), e.laps.data() + e.laps.size(), laps);
            for (int lap = 1; lap <= laps; ++lap)
                e.lapSeconds.push_back(TimeCellSeconds(history.TextMatrix(lap + 1, col)));
        }
        entrants.push_back(std::move(e));
    }
    return entrants;
}

// A race the engine holds (live or replayed): every placed entrant, times as
// the engine keeps them.
std::vector<Entrant> ExactEntrants(const ExactResult& result, const RosterTable& names) {
    std::vector<Entrant> entrants;
    for (const EntrantResult& exact : result.entrants) {
        // Never ranked (ID 64): the window lists it nowhere. A disqualified
        // entrant has no place either, but is listed, last.
        if (!exact.place && exact.status != EntrantStatus::Dq) continue;
        Entrant e{exact.place ? std::to_string(*exact.place) : std::string(kDisqualifiedPlace),
                  std::to_string(exact.id),
                  Registered(names[static_cast<std::size_t>(exact.id)]),
                  std::to_string(exact.laps),
                  FormatMilliseconds(exact.timeMs),
                  exact.bestMs ? FormatMilliseconds(*exact.bestMs) : "",
                  {}};
        for (const std::int64_t lap : exact.lapMs) e.lapSeconds.push_back(FormatMilliseconds(lap));
        entrants.push_back(std::move(e));
    }
    return entrants;
}

// The race's own rows after the entrants: what makes the file tell which
// race it is on its own, and which laps are still to be resolved, by ID.
void AppendTrailingRows(std::string& out, const ExactResult& result, const std::string& comment,
                        const RaceExportFacts& facts) {
    out += kLineEnd;
    AppendRow(out, {"開始", facts.started});
    AppendRow(out, {"コメント", comment}, {1});
    AppendRow(out, {"バージョン", facts.version}, {1});
    if (!IsProvisional(result)) return;
    AppendRow(out, {"状態", kProvisionalText});
    std::vector<std::pair<int, int>> flags;
    for (const EntrantResult& entrant : result.entrants)
        for (const int lap : entrant.shortLaps) flags.emplace_back(entrant.id, lap);
    std::sort(flags.begin(), flags.end());
    for (const auto& [id, lap] : flags)
        AppendRow(out, {"短いラップ", std::to_string(id), std::to_string(lap)});
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

std::string RaceCsv(const RaceState& state, const ExactResult& result,
                    const RaceWindowModel& window, const RosterTable& names,
                    const RaceExportFacts& facts, const std::set<int>& disqualified) {
    std::vector<Entrant> ranked = ExactEntrants(result, names);
    if (ranked.empty()) ranked = ShownEntrants(window);
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
        AppendRow(out, row, {2});
    }
    AppendTrailingRows(out, result, window.Comment, facts);
    return out;
}

}  // namespace palomind
