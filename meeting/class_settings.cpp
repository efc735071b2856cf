#include "meeting/class_settings.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "documents/cp932.h"
#include "documents/utf8.h"

namespace palomind {

namespace {

struct LimitedSetting {
    std::string_view name;
    std::int64_t value;
    SettingLimits limits;
};

}  // namespace

std::string ClassSettingsRefusal(const MeetingClass& settings) {
    if (settings.name.empty() || !IsWellFormedUtf8(settings.name) || !Cp932CanHold(settings.name))
        return "the class name must be text that cp932 can hold, not empty";
    const RankingSettings& ranking = settings.ranking;
    const FinalsSettings& finals = settings.finals;
    const std::array limited{
        LimitedSetting{"race time (s)", settings.raceTimeS, kRaceTimeLimits},
        LimitedSetting{"start wait (s)", settings.startWaitS, kStartWaitLimits},
        LimitedSetting{"minimum lap (ms)", settings.minLapMs, kMinLapLimits},
        LimitedSetting{"heat size", settings.heatSize, kHeatSizeLimits},
        LimitedSetting{"rounds", settings.rounds, kRoundsLimits},
        LimitedSetting{"practice time (s)", settings.practiceTimeS, kPracticeTimeLimits},
        LimitedSetting{"best", ranking.best.value_or(kCountLimits.least), kCountLimits},
        LimitedSetting{"consecutive", ranking.consecutive, kCountLimits},
        LimitedSetting{"main size", finals.mainSize, kCountLimits},
        LimitedSetting{"bump", finals.bump, kBumpLimits},
        LimitedSetting{"legs", finals.legs, kCountLimits},
        LimitedSetting{"best legs", finals.bestLegs.value_or(kCountLimits.least), kCountLimits},
    };
    for (const LimitedSetting& s : limited) {
        if (s.value < s.limits.least || s.value > s.limits.most) {
            return std::string(s.name) + " " + std::to_string(s.value) + " is not from " +
                   std::to_string(s.limits.least) + " to " + std::to_string(s.limits.most);
        }
    }
    if (finals.bump >= finals.mainSize) {
        return "bump " + std::to_string(finals.bump) + " must be less than the main size " +
               std::to_string(finals.mainSize);
    }
    return {};
}

bool StoreClass(Meeting& meeting, MeetingClass settings, std::string& error) {
    error = ClassSettingsRefusal(settings);
    if (!error.empty()) return false;
    const MeetingClass* named = ClassNamed(meeting, settings.name);
    if (named != nullptr && named->id != settings.id) {
        error = "a class named \"" + settings.name + "\" is there already";
        return false;
    }
    if (settings.id.empty()) {
        settings.id = AddClass(meeting, settings.name).id;
    }
    const auto stored = std::find_if(meeting.classes.begin(), meeting.classes.end(),
                                     [&](const MeetingClass& c) { return c.id == settings.id; });
    if (stored == meeting.classes.end()) {
        error = "no class with the id " + settings.id;
        return false;
    }
    *stored = std::move(settings);
    return true;
}

}  // namespace palomind
