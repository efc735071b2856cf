// The race clock: the 10 ms timer turns the tick counter into whole race
// seconds and, once per new second, runs the countdown, opens timing, ends
// the race time, fires the cues and rewrites the clocks.
#include <algorithm>

#include "engine/race_engine.h"
#include "engine/saturating.h"
#include "engine/time_format.h"

namespace palomind {

bool RaceEngine::ClockRunning() const {
    return s_.RaceStarted == kTrue && s_.AllFinished == kFalse;
}

// Timer1_Timer acts exactly when this says so: the live program asks it to
// journal a tick before running it.
bool RaceEngine::ClockActsAt(std::int32_t tick) const {
    return ClockRunning() && RoundHalfEven32(tick / 1000.0) != s_.LastClockSecond;
}

bool RaceEngine::Timer1_Timer() {
    if (!ClockRunning()) return false;
    const std::int32_t tick = clock_.TimeGetTime();
    const std::int32_t now = RoundHalfEven32(tick / 1000.0);
    s_.NowSecond = now;
    if (!ClockActsAt(tick)) return false;
    const std::optional<std::int32_t> previous = s_.LastClockSecond;
    s_.LastClockSecond = now;

    // When the window was too busy to tick for a whole second, the seconds it
    // missed still open timing and end the race time, once and in order (a
    // race must never stay stuck in its countdown). Their countdown cues are
    // dropped, and seconds from before the reset are never caught up.
    if (!previous || *previous < now) {
        const std::int32_t first =
            previous ? std::max(AddSat(*previous, 1), s_.ResetSecond) : s_.ResetSecond;
        for (std::int32_t second = first; second < now && s_.AllFinished == kFalse; ++second)
            ActOnSecond(second, false);
    }
    if (s_.AllFinished == kFalse) ActOnSecond(now, true);
    ShowClocks(now);
    const std::int32_t end = AddSat(s_.RaceStart, s_.RaceTime);
    Raise({.kind = RaceEventKind::ClockSecond,
           .secondsToStart = now < s_.RaceStart ? SubSat(s_.RaceStart, now) : 0,
           .secondsToEnd = now >= s_.RaceStart && now < end ? SubSat(end, now) : 0});
    return true;
}

void RaceEngine::ActOnSecond(std::int32_t second, bool playCountdownCues) {
    if (second < s_.RaceStart) {
        if (playCountdownCues) PlayCountdownCue(SubSat(s_.RaceStart, second), Cue::StartIn10);
        w_.ElapsedForeColor = kRed;
        return;
    }
    if (second == s_.RaceStart) {
        w_.ElapsedForeColor = kButtonTextColor;
        SetStatus("計測中", kTimingBlue);
        s_.RaceRunning = kTrue;
        PlayCue(Cue::Start);
    }
    const std::int32_t end = AddSat(s_.RaceStart, s_.RaceTime);
    if (playCountdownCues) PlayCountdownCue(SubSat(end, second), Cue::EndIn10);
    if (second == end) {
        w_.ElapsedForeColor = kButtonTextColor;
        SetStatus("終了中", kRed);
        PlayCue(Cue::End);
        if (s_.RunningCount == 0) {
            w_.ElapsedForeColor = kButtonTextColor;
            SetStatus("全終了", kRed);
            s_.AllFinished = kTrue;
        }
    }
}

// The cue for `remaining` seconds before the start or the end of the race
// time: ten seconds has a cue of its own for each, the last five are shared.
void RaceEngine::PlayCountdownCue(std::int32_t remaining, Cue tenSecondCue) {
    switch (remaining) {
        case 10:
            PlayCue(tenSecondCue);
            break;
        case 5:
            PlayCue(Cue::In5);
            break;
        case 4:
            PlayCue(Cue::In4);
            break;
        case 3:
            PlayCue(Cue::In3);
            break;
        case 2:
            PlayCue(Cue::In2);
            break;
        case 1:
            PlayCue(Cue::In1);
            break;
        default:
            break;
    }
}

void RaceEngine::ShowClocks(std::int32_t second) {
    w_.ElapsedCaption = FormatClock(SubSat(second, s_.RaceStart));
    w_.RemainingCaption =
        FormatClock(Saturate32(static_cast<std::int64_t>(s_.RaceTime) - second + s_.RaceStart));
}

}  // namespace palomind
