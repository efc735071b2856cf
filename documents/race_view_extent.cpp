#include "documents/race_view_extent.h"

#include <cstdio>

namespace palomind {

LapHistoryExtent ShownLapHistory(const GridModel& lapHistory) {
    LapHistoryExtent extent;
    for (int row = 0; row < lapHistory.Rows(); ++row) {
        for (int col = 0; col < lapHistory.Cols(); ++col) {
            if (lapHistory.TextMatrix(row, col).empty()) continue;
            if (col > extent.lastColumn) extent.lastColumn = col;
            if (row > extent.lastRow) extent.lastRow = row;
        }
    }
    return extent;
}

bool ShowsShortLap(const GridModel& lapHistory) {
    for (int row = lapHistory.FixedRows(); row < lapHistory.Rows(); ++row)
        for (int col = lapHistory.FixedCols(); col < lapHistory.Cols(); ++col)
            if (lapHistory.CellMarked(row, col)) return true;
    return false;
}

const char* StandingsColumnName(StandingsCol col) {
    switch (col) {
        case kStandingsPlaceCol:
            return "place";
        case kStandingsIdCol:
            return "id";
        case kStandingsNameCol:
            return "name";
        case kStandingsLapsCol:
            return "laps";
        case kStandingsTimeCol:
            return "time";
        case kStandingsLastLapCol:
            return "lap";
        case kStandingsBestLapCol:
            return "best";
    }
    return "";
}

std::string CssColor(std::uint32_t color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFFu, (color >> 8) & 0xFFu,
                  (color >> 16) & 0xFFu);
    return text;
}

}  // namespace palomind
