#include "documents/report_layout.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace palomind {

namespace {

constexpr int kLeft = 500;
constexpr int kLeftEdge = 0;  // of the printable area
constexpr int kTitleY = 200;
constexpr int kRaceTimeY = 2000;

// Standings table: 21 rows from y 2300, one ruled line under each row, five
// column rules and an outline. The latest lap is left out.
constexpr int kStandingsTextY = 2300;
constexpr int kStandingsRuleY = 2500;
constexpr int kRowPitch = 200;
constexpr int kTableLeft = 450;
constexpr int kTableRight = 5050;
constexpr int kTableTop = 2250;
constexpr int kTableBottom = 6500;
struct PrintedColumn {
    int gridCol;
    int x;
};
constexpr std::array<PrintedColumn, 6> kStandingsColumns{{{kStandingsPlaceCol, 500},
                                                          {kStandingsIdCol, 1000},
                                                          {kStandingsNameCol, 1500},
                                                          {kStandingsLapsCol, 2400},
                                                          {kStandingsTimeCol, 2900},
                                                          {kStandingsBestLapCol, 4100}}};
constexpr std::array<int, 5> kStandingsColumnRules{950, 1450, 2350, 2850, 4050};

// Lap history: columns 1000 twips apart, rows 200 apart from y 2000; grid rows
// 0 and 1 are the ID and name headings.
constexpr int kLapColumnPitch = 1000;
constexpr int kLapRowsTop = 2000;
constexpr int kLapHeadingRows = 2;
constexpr int kEntrantsPerSection = 10;

void PrintAt(Printer& printer, int x, int y, std::string_view text) {
    printer.SetCurrentX(x);
    printer.SetCurrentY(y);
    printer.PrintLine(text);
}

// Empty cells (places without an entrant, laps not driven) print nothing.
void PrintCellAt(Printer& printer, int x, int y, const std::string& text) {
    if (!text.empty()) PrintAt(printer, x, y, text);
}

// The comment's lines; CR LF is how the comment box stores its breaks, a lone
// CR or LF is taken as a break too. A trailing break leaves an empty last
// line, as the comment box shows it.
std::vector<std::string_view> CommentLines(std::string_view comment) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] != '\r' && comment[i] != '\n') continue;
        lines.push_back(comment.substr(start, i - start));
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.push_back(comment.substr(start));
    return lines;
}

// Document 1. Returns false when a page break failed.
bool PrintResultBody(const RaceState& state, const RaceWindowModel& model, Printer& printer) {
    PrintAt(printer, kLeft, kTitleY, "< Palomind Race Result >");
    printer.PrintLine("");
    printer.SetCurrentX(kLeft);
    printer.PrintLine("--Comment--");
    // The comment is one text item: its first line starts at x 500, the
    // lines after its breaks at the left edge. A comment long enough to reach
    // the race-time line goes on over further pages instead of printing
    // across the table; the race time and table follow on the page where the
    // comment ends, at their usual places.
    int lineX = kLeft;
    for (std::string_view line : CommentLines(model.Comment)) {
        if (printer.CurrentY() + printer.LineHeight() > kRaceTimeY &&
            printer.CurrentY() > kTitleY) {
            if (!printer.NewPage()) return false;
            printer.SetCurrentY(kTitleY);
        }
        printer.SetCurrentX(lineX);
        printer.PrintLine(line);
        lineX = kLeftEdge;
    }
    printer.PrintLine("");

    PrintAt(printer, kLeft, kRaceTimeY, "Race time:" + std::to_string(state.RaceTime) + "sec");
    for (int i = 0; i < kStandingsRows; ++i) {
        for (const PrintedColumn& column : kStandingsColumns)
            PrintCellAt(printer, column.x, kStandingsTextY + kRowPitch * i,
                        model.Standings.TextMatrix(i, column.gridCol));
        const int ruleY = kStandingsRuleY + kRowPitch * i;
        printer.DrawLine(kTableLeft, ruleY, kTableRight, ruleY);
    }
    for (int x : kStandingsColumnRules) printer.DrawLine(x, kTableTop, x, kTableBottom);
    printer.DrawRectangle(kTableLeft, kTableTop, kTableRight, kTableBottom);
    return true;
}

// How many rows 200 twips apart from y 2000 fit on one page. At least the two
// heading rows and one lap row, so that every page makes progress even on
// paper too small for the layout.
int LapRowsPerPage(const Printer& printer) {
    const int room = printer.PageHeight() - printer.LineHeight() - kLapRowsTop;
    const int rows = room < 0 ? 0 : room / kRowPitch + 1;
    return std::max(rows, kLapHeadingRows + 1);
}

// Documents 2 and 3: grid column gridColumns[k] is printed at x 500 + 1000 k,
// grid row r at y 2000 + 200 r. A lap history longer than the page continues
// on further pages, each repeating the title and the two heading rows. The
// columns are printed one after another down the page, page by page.
bool PrintLapHistoryBody(const RaceState& state, const GridModel& lapHistory,
                         std::string_view title, const std::vector<int>& gridColumns,
                         Printer& printer) {
    const int lastRow = state.MaxLap + 1;
    const int rowsPerPage = LapRowsPerPage(printer);
    int nextRow = 0;
    while (nextRow <= lastRow) {
        std::vector<int> pageRows;
        if (nextRow > 0) {
            if (!printer.NewPage()) return false;
            for (int r = 0; r < kLapHeadingRows; ++r) pageRows.push_back(r);
        }
        while (static_cast<int>(pageRows.size()) < rowsPerPage && nextRow <= lastRow)
            pageRows.push_back(nextRow++);

        PrintAt(printer, kLeft, kTitleY, title);
        for (std::size_t k = 0; k < gridColumns.size(); ++k) {
            const int x = kLeft + kLapColumnPitch * static_cast<int>(k);
            for (std::size_t slot = 0; slot < pageRows.size(); ++slot)
                PrintCellAt(printer, x, kLapRowsTop + kRowPitch * static_cast<int>(slot),
                            lapHistory.TextMatrix(pageRows[slot], gridColumns[k]));
        }
    }
    return true;
}

// The audit list, a line a row from where the lap rows start, on as many
// pages as it takes, each headed by the title.
bool PrintAuditBody(const std::vector<std::string>& audit, Printer& printer) {
    const int rowsPerPage = LapRowsPerPage(printer);
    for (std::size_t line = 0; line < audit.size(); ++line) {
        const int slot = static_cast<int>(line) % rowsPerPage;
        if (slot == 0) {
            if (line > 0 && !printer.NewPage()) return false;
            PrintAt(printer, kLeft, kTitleY, "Palomind 修正履歴");
        }
        PrintAt(printer, kLeft, kLapRowsTop + kRowPitch * slot, audit[line]);
    }
    return true;
}

// Lap number column 0, then the section's ten entrant columns.
std::vector<int> LapHistoryColumns(int firstEntrant) {
    std::vector<int> columns{0};
    for (int n = firstEntrant; n < firstEntrant + kEntrantsPerSection; ++n) columns.push_back(n);
    return columns;
}

const char* SectionName(ReportSection section) {
    switch (section) {
        case ReportSection::Result:
            return "レース結果";
        case ReportSection::LapHistory1:
            return "ラップ履歴 その１";
        case ReportSection::LapHistory2:
            return "ラップ履歴 その２";
        case ReportSection::Audit:
            return "修正履歴";
    }
    return "";
}

std::string FailureMessage(const std::vector<ReportSection>& notPrinted) {
    std::string text = "印刷中にエラーが発生しました。次の部分は印刷されていません: ";
    for (std::size_t i = 0; i < notPrinted.size(); ++i) {
        if (i > 0) text += "、";
        text += SectionName(notPrinted[i]);
    }
    return text;
}

}  // namespace

ReportOutcome PrintRaceReport(const RaceState& state, const RaceWindowModel& model,
                              Printer& printer, MessageSink& messages,
                              const std::vector<std::string>& audit) {
    ReportOutcome outcome;
    // MaxLap only counts up from 0; a negative value (a damaged state) has no
    // lap rows to print either.
    if (state.MaxLap <= 0) {
        messages.ShowMessage("ラップデータが無いので印刷できません。");
        outcome.refused = true;
        return outcome;
    }

    std::vector<ReportSection> planned{ReportSection::Result, ReportSection::LapHistory1};
    if (state.EntryCount > kEntrantsPerSection) planned.push_back(ReportSection::LapHistory2);
    if (!audit.empty()) planned.push_back(ReportSection::Audit);

    for (ReportSection section : planned) {
        bool bodyPrinted = false;
        switch (section) {
            case ReportSection::Result:
                bodyPrinted = PrintResultBody(state, model, printer);
                break;
            case ReportSection::LapHistory1:
                bodyPrinted =
                    PrintLapHistoryBody(state, model.LapHistory, "Palomind LapTime履歴 その１",
                                        LapHistoryColumns(1), printer);
                break;
            case ReportSection::LapHistory2:
                bodyPrinted =
                    PrintLapHistoryBody(state, model.LapHistory, "Palomind LapTime履歴\u3000その２",
                                        LapHistoryColumns(1 + kEntrantsPerSection), printer);
                break;
            case ReportSection::Audit:
                bodyPrinted = PrintAuditBody(audit, printer);
                break;
        }
        // The document is ended even after a failed page break, so the
        // printer is released; what was ended before stays printed.
        const bool ended = printer.EndDoc();
        if (bodyPrinted && ended) {
            outcome.printed.push_back(section);
            continue;
        }
        // A failing printer is not tried again for the remaining sections.
        outcome.notPrinted.assign(
            planned.begin() + static_cast<std::ptrdiff_t>(outcome.printed.size()), planned.end());
        messages.ShowMessage(FailureMessage(outcome.notPrinted));
        break;
    }
    return outcome;
}

}  // namespace palomind
