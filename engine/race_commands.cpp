// The race commands of the toolbar: start, stop and the test passes.
#include "engine/race_engine.h"

namespace palomind {

RaceEngine::RaceEngine(RaceState& state, RaceWindowModel& window, const RosterTable& names,
                       TickClock& clock, SoundPlayer& sound)
    : s_(state), w_(window), names_(names), clock_(clock), sound_(sound) {}

void RaceEngine::Raise(RaceEvent event) {
    if (listener_ == nullptr) return;
    event.tick = clock_.TimeGetTime();
    listener_->OnRaceEvent(event);
}

void RaceEngine::SetStatus(std::string_view caption, std::uint32_t lampColor) {
    w_.StatusCaption = caption;
    w_.LampColor = lampColor;
    RaceEvent event{.kind = RaceEventKind::PhaseChanged};
    event.text = caption;
    event.color = lampColor;
    Raise(std::move(event));
}

void RaceEngine::StartRace() {
    ReSet();
    s_.RaceStarted = kTrue;
    // The clock's own ten-second cue cannot come for a wait this short.
    if (s_.StartWait > 7 && s_.StartWait < 10) PlayCue(Cue::StartIn10);
}

void RaceEngine::StopRace() {
    if (s_.RaceRunning == kTrue) PlayCue(Cue::End);
    s_.RaceStarted = kFalse;
    s_.RaceRunning = kFalse;
    SetStatus("待機中", kYellow);
}

void RaceEngine::TestPass(int button) {
    switch (button) {
        case 1:
            // Counts on from the last ID processed, whichever source it came
            // from; 21 goes back to 1. At 255 the byte cannot count on, so it
            // goes back to 1 too.
            s_.PassId = (s_.PassId == 20 || s_.PassId == 255)
                            ? 1
                            : static_cast<std::uint8_t>(s_.PassId + 1);
            break;
        case 2:
            s_.PassId = 2;
            break;
        case 3:
            s_.PassId = 3;
            break;
        default:
            return;
    }
    ProcessPass();
}

}  // namespace palomind
