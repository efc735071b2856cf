#include "app/stand_board.h"

#include <algorithm>

#include "engine/exact_result.h"
#include "engine/time_format.h"

namespace palomind {
namespace {

std::string NameOf(const RosterTable& roster, int id) {
    const std::string& name =
        id >= 1 && id < kRosterSize ? roster[static_cast<std::size_t>(id)] : std::string();
    return name.empty() ? std::string(kUnregisteredName) : name;
}

std::string GapText(const EntrantResult& entrant, const EntrantResult& leader) {
    if (&entrant == &leader) return {};
    if (entrant.laps < leader.laps) return "+" + std::to_string(leader.laps - entrant.laps) + "周";
    return "+" + FormatStandTime(std::max<std::int64_t>(0, entrant.timeMs - leader.timeMs));
}

// Seconds left before timing opens, counted from the reset until the clock
// has acted on a second of its own.
std::optional<int> SecondsToStart(const RaceState& state) {
    if (state.RaceStarted != kTrue || state.RaceRunning == kTrue || state.AllFinished == kTrue)
        return std::nullopt;
    const std::int32_t now = std::max(state.NowSecond, state.ResetSecond);
    if (now >= state.RaceStart) return std::nullopt;
    return static_cast<int>(static_cast<std::int64_t>(state.RaceStart) - now);
}

}  // namespace

std::string FormatStandTime(std::int64_t milliseconds) {
    const std::int64_t hundredths = std::max<std::int64_t>(0, milliseconds) / 10;
    const std::int64_t seconds = hundredths / 100 % 60;
    const std::int64_t minutes = hundredths / 6000 % 60;
    const std::int64_t hours = hundredths / 360000;
    std::string text;
    if (hours > 0)
        text = std::to_string(hours) + ":" + FormatPadded(minutes, 2) + ":";
    else if (minutes > 0)
        text = std::to_string(minutes) + ":";
    text += text.empty() ? std::to_string(seconds) : FormatPadded(seconds, 2);
    return text + "." + FormatPadded(hundredths % 100, 2);
}

StandBoard StandBoardOf(const RaceState& state, const RaceWindowModel& window,
                        const RosterTable& roster) {
    StandBoard board{.status = window.StatusCaption,
                     .lampColor = window.LampColor,
                     .elapsed = window.ElapsedCaption,
                     .remaining = window.RemainingCaption,
                     .secondsToStart = SecondsToStart(state)};
    const ExactResult result = ExactResultOf(state);
    const EntrantResult* leader = nullptr;
    for (const EntrantResult& entrant : result.entrants) {
        // The IDs the engine never ranks hold no place.
        if (!entrant.place) continue;
        if (leader == nullptr) leader = &entrant;
        board.rows.push_back(
            {.place = *entrant.place,
             .id = entrant.id,
             .name = NameOf(roster, entrant.id),
             .laps = entrant.laps,
             .lastLap =
                 entrant.lapMs.empty() ? std::string() : FormatStandTime(entrant.lapMs.back()),
             .bestLap = entrant.bestMs ? FormatStandTime(*entrant.bestMs) : std::string(),
             .gap = GapText(entrant, *leader)});
    }
    return board;
}

}  // namespace palomind
