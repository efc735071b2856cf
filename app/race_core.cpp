#include "app/race_core.h"

#include <algorithm>

#include "documents/result_file.h"
#include "documents/roster_file.h"
#include "documents/settings_file.h"

namespace palomind {

RaceCore::RaceCore(SoundPlayer& sound)
    : sound_(sound, silent_), engine_(state_, window_, roster_, clock_, sound_) {
    engine_.SetListener(this);
}

bool RaceCore::Apply(const JournalEvent& event) {
    if (event.kind != JournalEventKind::Clock || engine_.ClockActsAt(event.tick))
        for (AppliedEventObserver* observer : observers_)
            observer->BeforeApply(event, {state_, window_, roster_});
    clock_.Set(event.tick);
    switch (event.kind) {
        case JournalEventKind::Boot:
            engine_.ReSet();
            break;
        case JournalEventKind::Start:
            engine_.StartRace();
            break;
        case JournalEventKind::Stop:
            engine_.StopRace();
            break;
        case JournalEventKind::Id1:
            engine_.TestPass(1);
            break;
        case JournalEventKind::Id2:
            engine_.TestPass(2);
            break;
        case JournalEventKind::Id3:
            engine_.TestPass(3);
            break;
        case JournalEventKind::Rx:
            engine_.OnComm(event.bytes);
            break;
        case JournalEventKind::RaceTime:
            state_.RaceTime = event.value;
            break;
        case JournalEventKind::StartWait:
            state_.StartWait = event.value;
            break;
        case JournalEventKind::TtsMode:
            state_.TtsMode = static_cast<std::int16_t>(event.value);
            break;
        case JournalEventKind::MinLap:
            state_.MinLapMs = event.value;
            break;
        case JournalEventKind::Clock:
            return engine_.Timer1_Timer();
        case JournalEventKind::Comment:
            window_.Comment = event.text;
            Raise({.kind = RaceEventKind::CommentChanged, .text = event.text});
            break;
        case JournalEventKind::Name:
            // The name only: the grids show it from the next pass on, as
            // they show every name.
            if (event.value < 1 || event.value >= kRosterSize) break;
            roster_[static_cast<std::size_t>(event.value)] = event.text;
            Raise({.kind = RaceEventKind::NameChanged, .id = event.value, .text = event.text});
            break;
        case JournalEventKind::Open:
            ShowResultFile(event.bytes);
            break;
        case JournalEventKind::Race:
            break;  // the record's identity: nothing for the engine
        case JournalEventKind::Carry:
            TakeOver(event.carried);
            break;
        case JournalEventKind::ManualPass:
            engine_.ManualPass(event.value);
            break;
        case JournalEventKind::Edit:
        case JournalEventKind::Operator:
            break;  // a correction changes only a revision rebuilt from the raw events
    }
    return true;
}

// What a race record's race inherited from the races before it in its run.
void RaceCore::TakeOver(const CarriedState& carried) {
    state_.PassId = static_cast<std::uint8_t>(carried.passId);
    state_.LastClockSecond = carried.clockSecond;
    window_.LapHistory.SetRows(carried.lapRows);
    window_.LapHistory.SetTopRow(carried.lapTopRow);
    state_.SyncCount = static_cast<std::int16_t>(carried.syncCount);
    state_.FrameLen = static_cast<std::int16_t>(carried.frameLength);
    state_.FrameSum = static_cast<std::int16_t>(carried.frameSum);
    std::copy(carried.frame.begin(), carried.frame.end(), state_.FrameBuf.begin());
}

// The journal reader has checked the file; a file that does not parse here
// changes nothing, as File > Open refuses it.
void RaceCore::ShowResultFile(const std::vector<std::uint8_t>& bytes) {
    const ResultFileParse parsed =
        ParseResultFile({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    if (!parsed.ok) return;
    engine_.ReSet();
    ApplyResultFile(parsed.content, state_, window_);
    Raise({.kind = RaceEventKind::CommentChanged, .text = window_.Comment});
    Raise({.kind = RaceEventKind::ResultFileShown});
}

void RaceCore::LoadStartupFiles(FileStore& files, MessageSink& messages) {
    Load_Setting(state_, window_, files, messages);
    Load_IdName(roster_, files, messages);
    ApplyStartupRaceTimeDefault(state_);
}

void RaceCore::Observe(AppliedEventObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void RaceCore::StopObserving(AppliedEventObserver* observer) {
    std::erase(observers_, observer);
}

void RaceCore::Subscribe(RaceEventListener* subscriber) {
    if (std::find(subscribers_.begin(), subscribers_.end(), subscriber) == subscribers_.end())
        subscribers_.push_back(subscriber);
}

void RaceCore::Unsubscribe(RaceEventListener* subscriber) {
    std::erase(subscribers_, subscriber);
}

void RaceCore::OnRaceEvent(const RaceEvent& event) {
    // A subscriber may unsubscribe while it is told: go over a copy.
    const std::vector<RaceEventListener*> subscribers = subscribers_;
    for (RaceEventListener* subscriber : subscribers) subscriber->OnRaceEvent(event);
}

void RaceCore::Raise(RaceEvent event) {
    event.tick = clock_.Now();
    OnRaceEvent(event);
}

}  // namespace palomind
