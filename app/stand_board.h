#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "roster/roster_table.h"

namespace palomind {

// One place of the drivers' stand display, as it is shown.
struct StandRow {
    int place = 0;
    int id = 0;
    std::string name{};
    int laps = 0;
    std::string lastLap{};  // "12.34", "1:02.50"; empty before the first lap
    std::string bestLap{};
    std::string gap{};  // to the leader: "+1.25", or "+2周" when laps behind; empty for the leader

    bool operator==(const StandRow&) const = default;
};

// What the drivers' stand display shows: the race window's status, lamp and
// clocks, the seconds to the start during the countdown, and every place that
// holds an entrant, from the race's exact results.
struct StandBoard {
    std::string status{};
    std::uint32_t lampColor = kYellow;
    std::string elapsed{};
    std::string remaining{};
    std::optional<int> secondsToStart;  // only while the start is counted down
    std::vector<StandRow> rows{};       // by place
};

StandBoard StandBoardOf(const RaceState& state, const RaceWindowModel& window,
                        const RosterTable& roster);

// A lap or a gap to hundredths (truncated, as the race window shows them),
// without leading zero hours and minutes: "9.05", "1:02.50", "1:00:00.00".
std::string FormatStandTime(std::int64_t milliseconds);

}  // namespace palomind
