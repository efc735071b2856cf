#pragma once
#include <cstdint>
#include <string>

#include "engine/grid_model.h"

namespace palomind {

// Colours are 0x00BBGGRR. kButtonTextColor stands for the system's
// button-text colour; the view resolves it from the palette.
inline constexpr std::uint32_t kButtonTextColor = 0x80000012u;
inline constexpr std::uint32_t kYellow = 0x0000FFFFu;
inline constexpr std::uint32_t kRed = 0x000000FFu;
inline constexpr std::uint32_t kTimingBlue = 0x00FF8080u;
inline constexpr std::uint32_t kPanelGrey = 0x00E0E0E0u;

inline constexpr int kStandingsRows = 21;  // header and places 1 to 20

// The standings grid's columns, left to right; the engine writes them, the
// result file, the exports and the printed report read them.
enum StandingsCol : int {
    kStandingsPlaceCol,
    kStandingsIdCol,
    kStandingsNameCol,
    kStandingsLapsCol,
    kStandingsTimeCol,  // race time at the last pass
    kStandingsLastLapCol,
    kStandingsBestLapCol,
};
inline constexpr int kStandingsCols = kStandingsBestLapCol + 1;

inline constexpr int kLapHistoryRows = 20;
inline constexpr int kLapHistoryCols = 21;  // lap numbers and 20 entrants

// The lap history shows 16 laps without scrolling. A longer race gets a row
// per lap (below the headings and names) and scrolls so that the newest laps
// stay in view, as during the race.
inline constexpr int kLapHistoryLapsInView = 16;
inline constexpr int kLapHistoryLapsAboveTopRow = 14;

inline void FitLapHistoryToLaps(GridModel& lapHistory, int maxLap) {
    if (maxLap <= kLapHistoryLapsInView) return;
    lapHistory.SetRows(maxLap + 2);
    lapHistory.SetTopRow(maxLap - kLapHistoryLapsAboveTopRow);
}

// The race window as data: every text, colour and grid cell the window shows.
// The engine writes it, the desktop view renders it, and the result file and
// the printed report read it back.
struct RaceWindowModel {
    std::string Caption = "RaceResult";
    std::string ElapsedCaption = "00h00m00s";
    std::uint32_t ElapsedForeColor = kButtonTextColor;
    std::string RemainingCaption = "00h00m00s";
    std::string StatusCaption = "待機中";
    std::uint32_t LampColor = kYellow;
    // The race comment's plain text, line breaks as CR LF.
    std::string Comment;
    GridModel Standings{kStandingsRows, kStandingsCols, 1, 1};
    GridModel LapHistory{kLapHistoryRows, kLapHistoryCols, 2, 1};
};

}  // namespace palomind
