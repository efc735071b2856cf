#pragma once
#include <cstdint>
#include <string>

#include "meeting/meeting_model.h"

namespace palomind {

// The one rule for a class's settings, for the command line, the class
// dialog and meeting.json alike.

struct SettingLimits {
    std::int64_t least = 0;
    std::int64_t most = 0;
};

inline constexpr std::int64_t kLargestClassSeconds = 1'000'000'000;
inline constexpr std::int64_t kLargestClassCount = 1'000'000;

inline constexpr SettingLimits kRaceTimeLimits{1, kLargestClassSeconds};   // s
inline constexpr SettingLimits kStartWaitLimits{0, kLargestClassSeconds};  // s
inline constexpr SettingLimits kMinLapLimits{0, 600'000};                  // ms, 0: per user
inline constexpr SettingLimits kHeatSizeLimits{kSmallestHeatSize, kLargestHeatSize};
inline constexpr SettingLimits kRoundsLimits{1, 99};
inline constexpr SettingLimits kPracticeTimeLimits{0, kLargestClassSeconds};  // s, 0: none
// Best K, consecutive N, main size, legs and best legs.
inline constexpr SettingLimits kCountLimits{1, kLargestClassCount};
// Bump-ups: also less than the main size.
inline constexpr SettingLimits kBumpLimits{0, kLargestClassCount - 1};

// Why `settings` cannot be a class's, in one line; empty where they can: a
// name that is empty or that cp932 cannot hold (the race comment and roster
// carry it), a setting outside its limits, bump-ups not below the main size.
std::string ClassSettingsRefusal(const MeetingClass& settings);

// Stores `settings` as the class with its id, or as a new class (a new id
// given) where its id is empty. Refused, nothing changed, where
// ClassSettingsRefusal refuses it, another class has its name or no class
// has its id.
bool StoreClass(Meeting& meeting, MeetingClass settings, std::string& error);

}  // namespace palomind
