#include "app/race_core.h"

#include <algorithm>
#include <limits>

#include "app/race_revision.h"
#include "app/replay.h"
#include "documents/exact_times.h"
#include "documents/result_file.h"
#include "documents/roster_file.h"
#include "documents/settings_file.h"

namespace palomind {

RaceCore::RaceCore(SoundPlayer& sound)
    : sound_(sound, silent_), engine_(state_, window_, roster_, clock_, sound_) {
    engine_.SetListener(this);
}

bool RaceCore::Apply(const JournalEvent& event) {
    if (event.kind != JournalEventKind::Clock || engine_.ClockActsAt(event.tick)) {
        if (shownRecorder_) shownRecorder_->BeforeApply(event, {state_, window_, roster_});
        for (AppliedEventObserver* observer : observers_)
            observer->BeforeApply(event, {state_, window_, roster_});
    }
    clock_.Set(event.tick);
    if (event.kind == JournalEventKind::Boot || event.kind == JournalEventKind::Start ||
        event.kind == JournalEventKind::Open) {
        shownRecord_.reset();
        shownDisqualified_.clear();
        shownResult_.reset();
        asRunEvents_.reset();
    }
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
        case JournalEventKind::CallParts:
            state_.CallParts = static_cast<std::int16_t>(event.value);
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
        case JournalEventKind::Record:
            asRunEvents_.reset();
            ShowRaceRecord(event);
            break;
        case JournalEventKind::ManualPass:
            engine_.ManualPass(event.value);
            break;
        case JournalEventKind::Edit:
            CorrectShownRace();
            break;
        case JournalEventKind::Operator:
            break;  // who makes the corrections that follow: nothing to score
        case JournalEventKind::Heat:
            state_.Heat = event.text;
            break;
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

// A race record is scored alone, through this same dispatcher on a core of
// its own, and the race it gives is shown. The journal reader has checked
// the record; one that does not read here changes nothing.
void RaceCore::ShowRaceRecord(const JournalEvent& event) {
    const JournalParseResult record =
        ParseJournal({reinterpret_cast<const char*>(event.bytes.data()), event.bytes.size()});
    if (!record.ok || !record.raceRecord) return;
    const Revision latest = ScoreRevision(SplitRaceRecord(record.events, record.lines),
                                          std::numeric_limits<int>::max());
    ShowRevision(latest);
    shownRecord_ = event.text;
    Raise({.kind = RaceEventKind::CommentChanged, .text = window_.Comment});
    Raise({.kind = RaceEventKind::ResultFileShown});
}

// Shown as an opened result file is: the race reset, then the race's
// standings, lap history, comment and tables. What belongs to the run stays
// the run's: the parameters, the receiver's partial frame, the last ID that
// "ＩＤ１" counts on from and the race clock, so the next race inherits what
// it would have; and no race is in progress.
void RaceCore::ShowRevision(const Revision& revision) {
    engine_.ReSet();
    RaceState shown = revision.state;
    shown.PortNumber = state_.PortNumber;
    shown.RaceTime = state_.RaceTime;
    shown.StartWait = state_.StartWait;
    shown.TtsMode = state_.TtsMode;
    shown.Heat = std::move(state_.Heat);
    shown.NowSecond = state_.NowSecond;
    shown.LastClockSecond = state_.LastClockSecond;
    shown.ResetSecond = state_.ResetSecond;
    shown.RaceStarted = kFalse;
    shown.RaceRunning = kFalse;
    shown.AllFinished = kFalse;
    // Nobody runs on in a race shown: a stray pass finishes no one.
    shown.RunningFlag.fill(0);
    shown.RunningCount = 0;
    shown.CommInput = std::move(state_.CommInput);
    shown.SyncCount = state_.SyncCount;
    shown.FrameLen = state_.FrameLen;
    shown.FrameSum = state_.FrameSum;
    shown.FrameBuf = state_.FrameBuf;
    shown.PassId = state_.PassId;
    state_ = std::move(shown);
    window_.Standings = revision.window.Standings;
    window_.LapHistory = revision.window.LapHistory;
    // An accepted short lap stands: the window marks only unresolved ones.
    MarkShortLaps(window_.LapHistory, revision.result);
    window_.Comment = revision.window.Comment;
    shownResult_ = revision.result;
    shownDisqualified_ = DisqualifiedIn(revision.result);
}

ExactResult RaceCore::Result() const {
    return shownResult_ ? *shownResult_ : ExactResultOf(state_);
}

bool RaceCore::Provisional() const {
    return shownResult_ ? IsProvisional(*shownResult_) : IsProvisional(state_);
}

CorrectionsCheck RaceCore::CheckCorrectionsOfShown(const RaceRecord& record) {
    // Passes after the race (the record goes on) make it another race as it ran.
    if (asRunEvents_ != record.raw.size()) {
        RaceRecord asRun;
        asRun.raw = record.raw;
        const Revision scored = ScoreRevision(asRun, 0);
        asRunPasses_ = scored.passes;
        asRunStartTick_ = std::int64_t{scored.state.RaceStart} * 1000;
        asRunEvents_ = record.raw.size();
    }
    return CheckCorrections(record, asRunStartTick_, [&](int k) {
        return k == 0 ? asRunPasses_ : ScoreRevision(record, k).passes;
    });
}

void RaceCore::KeepShownRecord(std::optional<std::int64_t> runStart) {
    if (!shownRecorder_)
        shownRecorder_.emplace(shownText_, RaceRecorder::WhenTaken::NextNumber, runStart);
}

std::optional<RaceIdentity> RaceCore::ShownRace() const {
    return shownRecorder_ ? shownRecorder_->CurrentRace() : std::nullopt;
}

bool RaceCore::CanCorrect() const {
    return shownRecorder_ && shownRecorder_->Current() && IsIdle(state_);
}

// The race shown is scored again from its record, the correction just
// written into it included, and shown as a record opened is. The live
// program has checked the correction; a journal's that does not hold leaves
// the race as it was shown. Nothing is read out: the scoring is silent.
void RaceCore::CorrectShownRace() {
    if (!CanCorrect()) return;
    const JournalParseResult parsed = ParseJournal(shownText_.Text());
    if (!parsed.ok || !parsed.raceRecord) return;
    const RaceRecord record = SplitRaceRecord(parsed.events, parsed.lines);
    if (!CheckCorrectionsOfShown(record).ok) return;
    const Revision latest = ScoreRevision(record, static_cast<int>(record.corrections.size()));
    ShowRevision(latest);
    Raise({.kind = RaceEventKind::RaceCorrected});
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
