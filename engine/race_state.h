#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace palomind {

// Flags hold -1 for true and 0 for false.
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

inline constexpr int kIdTableSize = 65;  // IDs 0 to 64
inline constexpr int kMaxId = 64;
inline constexpr int kMaxRankedId = 63;  // IDs 1 to 63 are ranked
inline constexpr int kShownPlaces = 20;  // standings places on the window
inline constexpr int kMaxLaps = 1000;    // laps stored per ID

// What a spoken lap call says, as bits of RaceState::CallParts, in the
// order the call says them.
enum CallPart : std::int16_t {
    kCallWho = 1,      // "番号": the entrant, by name or number
    kCallLaps = 2,     // "周回数": the laps completed
    kCallLapTime = 4,  // "ラップタイム"
    kCallPlace = 8,    // "順位"
};
inline constexpr std::int16_t kDefaultCallParts = kCallWho | kCallLapTime;
inline constexpr std::int16_t kAllCallParts = kCallWho | kCallLaps | kCallLapTime | kCallPlace;

// The one race-wide record. Created zeroed when the program starts; ReSet
// re-initialises the per-race part at the start of every race. Field names are
// the ones every part of the program uses.
struct RaceState {
    // Parameters (settings file and menus; untouched by ReSet).
    std::int16_t PortNumber = 0;
    std::int32_t RaceTime = 0;                   // seconds
    std::int32_t StartWait = 0;                  // seconds
    std::int16_t TtsMode = 0;                    // 0 none, 1 Japanese, 2 English
    std::int16_t CallParts = kDefaultCallParts;  // what a lap call says (CallPart bits)
    std::int32_t MinLapMs = 0;                   // the shortest lap taken as real; 0 flags none
    // The meeting's heat loaded: the race started next is that heat's
    // (its record says so). Empty when none is.
    std::string Heat;

    // The shortest lap of the race since the last reset: MinLapMs as it was
    // then, so a later change never flags the laps of a race already begun.
    std::int32_t RaceMinLapMs = 0;

    // Race clock anchors, in tick-seconds.
    std::int32_t RaceStart = 0;
    std::int32_t RaceEnd = 0;
    std::int32_t NowSecond = 0;
    // The last tick-second the clock acted on; none before its first action
    // (0 is a second like any other to a tick counter that reads negative).
    std::optional<std::int32_t> LastClockSecond;
    // The tick-second of the last reset. When the window was too busy to tick
    // for a whole second the clock catches up the seconds it missed, but never
    // one from before the race was reset.
    std::int32_t ResetSecond = 0;

    // Race phase.
    Flag RaceStarted = kFalse;
    Flag RaceRunning = kFalse;
    Flag AllFinished = kFalse;

    // Counters.
    std::int16_t RunningCount = 0;
    std::int16_t EntryCount = 0;
    std::int16_t MaxLap = 0;

    // Frame decoder (survives ReSet).
    std::vector<std::uint8_t> CommInput;
    std::int16_t SyncCount = 0;
    std::int16_t FrameLen = 0;
    std::int16_t FrameSum = 0;
    std::array<std::uint8_t, 11> FrameBuf{};
    std::uint8_t PassId = 0;

    // Per-ID tables, indexed by transponder ID 0 to 64 (RankOrder by place,
    // EntryIds by entry number).
    std::array<std::int16_t, kIdTableSize> LapCount{};
    std::array<double, kIdTableSize> LastPass{};
    std::array<double, kIdTableSize> LastLap{};
    std::array<double, kIdTableSize> BestLap{};
    std::array<double, kIdTableSize> RankKey{};
    std::array<std::int16_t, kIdTableSize> RankOrder{};
    std::array<std::int16_t, kIdTableSize> RunningFlag{};
    std::array<std::int16_t, kIdTableSize> EntryIds{};

    // Lap history: time of lap n (1 to 1000) of each ID; lap 0 is never written.
    double& LapTimes(int id, int lap) {
        return lapTimes_[static_cast<std::size_t>(id * (kMaxLaps + 1) + lap)];
    }
    double LapTimes(int id, int lap) const {
        return lapTimes_[static_cast<std::size_t>(id * (kMaxLaps + 1) + lap)];
    }

    // Whether lap n of an ID was shorter than RaceMinLapMs (flagged, still
    // counted); cleared by every reset.
    bool ShortLap(int id, int lap) const {
        return shortLaps_[static_cast<std::size_t>(id * (kMaxLaps + 1) + lap)] != 0;
    }
    void SetShortLap(int id, int lap, bool isShort) {
        shortLaps_[static_cast<std::size_t>(id * (kMaxLaps + 1) + lap)] = isShort ? 1 : 0;
    }
    void ClearShortLaps() { std::fill(shortLaps_.begin(), shortLaps_.end(), 0); }

  private:
    std::vector<double> lapTimes_ = std::vector<double>(kIdTableSize * (kMaxLaps + 1), 0.0);
    std::vector<std::uint8_t> shortLaps_ =
        std::vector<std::uint8_t>(kIdTableSize * (kMaxLaps + 1), 0);
};

// True when no race is in progress: commands that must not run during a race
// (file commands, printing, the roster, the race parameters) test it.
inline bool IsIdle(const RaceState& s) {
    return (s.RaceRunning == kFalse && s.RaceStarted == kFalse) || s.AllFinished == kTrue;
}

}  // namespace palomind
