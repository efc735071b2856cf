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
inline constexpr int kStandingsCols = 7;
inline constexpr int kLapHistoryRows = 20;
inline constexpr int kLapHistoryCols = 21;  // lap numbers and 20 entrants

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
