#include "documents/race_html.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "documents/disqualified_last.h"
#include "documents/page_assets.h"
#include "documents/race_view_extent.h"
#include "engine/race_state.h"

namespace palomind {

namespace {

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void Cell(std::string& out, const char* tag, std::string_view text, const char* className = "") {
    out += '<';
    out += tag;
    if (*className != '\0') out += std::string(" class=\"") + className + '"';
    out += '>' + Escaped(text) + "</" + tag + '>';
}

void Standings(std::string& out, const GridModel& grid, const std::set<int>& disqualified) {
    out +=
        "<h2>現在順位</h2>\n<table class=\"standings\"><thead><tr><th>順位</th><th>ID</th>"
        "<th class=\"name\">名前</th><th>周回</th><th>タイム</th><th>ラップ</th><th>ベスト</th>"
        "</tr></thead><tbody>\n";
    // The filled places in the order the exports list them; an empty place
    // says nothing to a reader of the file.
    std::vector<int> ids;
    std::vector<std::string> places;
    std::vector<std::size_t> filledRows;
    for (int row = 1; row <= kShownPlaces; ++row) {
        const std::string& id = grid.TextMatrix(row, kStandingsIdCol);
        if (id.empty() || id == "--") continue;
        ids.push_back(std::atoi(id.c_str()));
        places.push_back(grid.TextMatrix(row, kStandingsPlaceCol));
        filledRows.push_back(static_cast<std::size_t>(row));
    }
    std::vector<ListedEntrant> rows = ListDisqualifiedLast(ids, places, disqualified);
    for (ListedEntrant& listed : rows) listed.index = filledRows[listed.index];
    for (const ListedEntrant& listed : rows) {
        const int row = static_cast<int>(listed.index);
        out += "<tr>";
        for (int col = 0; col < kStandingsCols; ++col)
            Cell(out, "td", col == kStandingsPlaceCol ? listed.place : grid.TextMatrix(row, col),
                 StandingsColumnName(StandingsCol(col)));
        out += "</tr>\n";
    }
    out += "</tbody></table>\n";
}

void LapHistory(std::string& out, const GridModel& grid) {
    const LapHistoryExtent extent = ShownLapHistory(grid);
    out += "<h2>ラップ履歴</h2>\n<div class=\"scroll\"><table class=\"laps\"><thead>";
    for (int row = 0; row <= 1; ++row) {
        out += "<tr>";
        Cell(out, "th", row == 0 ? "Lap" : "", "lapno");
        for (int col = 1; col <= extent.lastColumn; ++col)
            Cell(out, "th", grid.TextMatrix(row, col));
        out += "</tr>";
    }
    out += "</thead><tbody>\n";
    for (int row = 2; row <= extent.lastRow; ++row) {
        out += "<tr>";
        Cell(out, "th", grid.TextMatrix(row, 0), "lapno");
        for (int col = 1; col <= extent.lastColumn; ++col)
            Cell(out, "td", grid.TextMatrix(row, col), grid.CellMarked(row, col) ? "short" : "");
        out += "</tr>\n";
    }
    out += "</tbody></table></div>\n";
}

// "2026-12-09T11:45:51+09:00" as a reader reads it: "2026-12-09 11:45:51",
// the local time of the start; the full form stays in the datetime attribute.
void Started(std::string& out, const std::string& started) {
    if (started.empty()) return;
    const std::size_t offset = started.find_first_of("+-Z", started.find('T'));
    std::string shown = started.substr(0, offset);
    std::replace(shown.begin(), shown.end(), 'T', ' ');
    out += "<p class=\"started\">開始 <time datetime=\"" + Escaped(started) + "\">" +
           Escaped(shown) + "</time></p>\n";
}

}  // namespace

std::string RaceHtml(const RaceWindowModel& window, const RaceExportFacts& facts,
                     const std::set<int>& disqualified, const std::vector<std::string>& audit) {
    const std::string heading = facts.over ? "レース結果" : "レース経過";
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Palomind " +
        heading + "</title>\n<style>\n";
    out += kSpectatorStyle;
    out += "</style>\n</head>\n<body>\n<h1>" + heading + "</h1>\n";
    Started(out, facts.started);
    out += "<header class=\"race-head\">\n<div class=\"status\">";
    out += "<span class=\"lamp\" style=\"background:" + CssColor(window.LampColor) + "\"></span>";
    Cell(out, "span", window.StatusCaption);
    if (ShowsShortLap(window.LapHistory)) Cell(out, "span", kProvisionalText, "provisional");
    out += "</div>\n<dl class=\"clocks\"><div><dt>経過</dt>";
    Cell(out, "dd", window.ElapsedCaption);
    out += "</div><div><dt>残り</dt>";
    Cell(out, "dd", window.RemainingCaption);
    out += "</div></dl>\n</header>\n";
    Cell(out, "p", window.Comment, "comment");
    out += '\n';
    Standings(out, window.Standings, disqualified);
    LapHistory(out, window.LapHistory);
    if (!audit.empty()) {
        out += "<section class=\"audit\"><h2>修正履歴</h2>\n<ol>\n";
        for (const std::string& line : audit) {
            Cell(out, "li", line);
            out += '\n';
        }
        out += "</ol></section>\n";
    }
    out += "<footer>";
    Cell(out, "span", "Palomind " + facts.version, "version");
    out += "</footer>\n</body>\n</html>\n";
    return out;
}

}  // namespace palomind
