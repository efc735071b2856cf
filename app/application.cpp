#include "app/application.h"

#include <array>
#include <vector>

#include "app/crash_recovery.h"
#include "documents/result_file.h"

namespace palomind {

Application::Application(ApplicationServices services)
    : services_(services), engine_(state_, window_, roster_, latchedClock_, services.sound) {
    services_.serial.SetListener(this);
}

Application::~Application() {
    services_.serial.SetListener(nullptr);
}

std::int32_t Application::LatchTick() {
    // One reading per event: the engine and the journal line see the same tick.
    const std::int32_t tick = services_.tickSource.TimeGetTime();
    latchedClock_.Set(tick);
    return tick;
}

void Application::Record(const JournalEvent& event) {
    JournalWritten(services_.journal.Record(event));
}

void Application::JournalWritten(bool written) {
    if (written || journalFailureReported_) return;
    journalFailureReported_ = true;
    ReportPlatformProblem(PlatformProblem::JournalFailed, {});
}

void Application::RecordEvent(JournalEventKind kind, std::int32_t value) {
    JournalEvent event;
    event.tick = LatchTick();
    event.kind = kind;
    event.value = value;
    Record(event);
}

void Application::RaceChanged() {
    if (view_ != nullptr) view_->RaceChanged();
}

void Application::Boot() {
    RecordEvent(JournalEventKind::RaceTime, state_.RaceTime);
    RecordEvent(JournalEventKind::StartWait, state_.StartWait);
    RecordEvent(JournalEventKind::TtsMode, state_.TtsMode);
    RecordEvent(JournalEventKind::Boot);
    engine_.ReSet();
    booted_ = true;
    // Anything received meanwhile came before the race existed; taken as
    // received now, it finds the race reset, as it would have.
    ReceiveHeldBytes(false);
    RaceChanged();
}

bool Application::BootRestoring(const std::vector<JournalEvent>& events, std::string_view from) {
    const bool goesOn = TickCounterContinues(events, LatchTick());
    ReplayCrashedRun(events, state_, window_, roster_);
    if (goesOn) {
        for (const JournalEvent& event : events) Record(event);
        NoteInJournal("race restored from " + std::string(from) + ", goes on live");
    } else {
        // The crashed run's ticks belong to the counter of before the
        // restart and cannot precede this run's in one journal: noted only,
        // with the settings in force, which a replay needs.
        NoteInJournal("race restored from " + std::string(from) +
                      " after the machine restarted, stopped (its events are not repeated here)");
        RecordEvent(JournalEventKind::RaceTime, state_.RaceTime);
        RecordEvent(JournalEventKind::StartWait, state_.StartWait);
        RecordEvent(JournalEventKind::TtsMode, state_.TtsMode);
    }
    booted_ = true;
    if (!goesOn && RaceInProgress(state_)) StopRace();
    // Passes received while the operator was being asked count where they
    // came: the race clock first catches up to their tick.
    ReceiveHeldBytes(goesOn);
    RaceChanged();
    return goesOn;
}

void Application::ReceiveHeldBytes(bool atTheirTicks) {
    std::vector<HeldBytes> held = std::move(held_);
    held_.clear();
    for (const HeldBytes& block : held) {
        if (!atTheirTicks) {
            MSComm1_OnComm(block.bytes);
            continue;
        }
        latchedClock_.Set(block.tick);
        if (engine_.Timer1_Timer()) Record({block.tick, JournalEventKind::Clock, 0, {}});
        Record({block.tick, JournalEventKind::Rx, 0, block.bytes});
        engine_.OnComm(block.bytes);
    }
}

bool Application::Timer1_Timer() {
    // Until start-up has finished there is no race to time.
    if (!booted_) return false;
    const std::int32_t tick = LatchTick();
    const bool acted = engine_.Timer1_Timer();
    if (acted) {
        // Only the ticks that acted are journaled (the others change nothing
        // a replay could see); the line follows the engine's step because
        // whether a tick acts is known only afterwards.
        JournalEvent event;
        event.tick = tick;
        event.kind = JournalEventKind::Clock;
        Record(event);
        RaceChanged();
    }
    services_.journal.SyncIfDue();
    return acted;
}

void Application::MSComm1_OnComm(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    if (!booted_) {
        // Start-up has not finished (a question may be open about restoring
        // a race): nothing received may be lost, so it waits with its tick.
        held_.push_back({services_.tickSource.TimeGetTime(), {bytes.begin(), bytes.end()}});
        return;
    }
    JournalEvent event;
    event.tick = LatchTick();
    event.kind = JournalEventKind::Rx;
    event.bytes.assign(bytes.begin(), bytes.end());
    Record(event);
    engine_.OnComm(bytes);
    RaceChanged();
}

void Application::StartRace() {
    RecordEvent(JournalEventKind::Start);
    engine_.StartRace();
    RaceChanged();
}

void Application::StopRace() {
    RecordEvent(JournalEventKind::Stop);
    engine_.StopRace();
    RaceChanged();
}

void Application::TestPass(int button) {
    static constexpr std::array kButtonEvents{JournalEventKind::Id1, JournalEventKind::Id2,
                                              JournalEventKind::Id3};
    if (button < 1 || button > static_cast<int>(kButtonEvents.size())) return;
    RecordEvent(kButtonEvents[static_cast<std::size_t>(button - 1)]);
    engine_.TestPass(button);
    RaceChanged();
}

// Before Boot the parameters are still being read in; Boot journals the
// values it starts with, so only later changes are journaled here.
void Application::SetRaceTime(std::int32_t seconds) {
    if (booted_) RecordEvent(JournalEventKind::RaceTime, seconds);
    state_.RaceTime = seconds;
}

void Application::SetStartWait(std::int32_t seconds) {
    if (booted_) RecordEvent(JournalEventKind::StartWait, seconds);
    state_.StartWait = seconds;
}

void Application::SetTtsMode(std::int16_t mode) {
    if (booted_) RecordEvent(JournalEventKind::TtsMode, mode);
    state_.TtsMode = mode;
}

void Application::ShowResultFile(const ResultFileContent& content, std::string_view path) {
    LatchTick();
    // The journal has no event for this: the replay goes on from the race
    // that was reset here, so the reader is at least told where it happened.
    NoteInJournal("result file opened (race reset, not replayed): " + std::string(path));
    engine_.ReSet();
    ApplyResultFile(content, state_, window_);
    RaceChanged();
}

void Application::NoteInJournal(std::string_view text) {
    JournalWritten(services_.journal.Note(text));
}

void Application::ReportPlatformProblem(PlatformProblem problem, std::string_view detail) {
    if (view_ != nullptr) view_->PlatformFailed(problem, detail);
}

void Application::OnPortFailed(std::string_view reason) {
    NoteInJournal("serial port failed: " + std::string(reason));
    ReportPlatformProblem(PlatformProblem::PortFailed, reason);
}

}  // namespace palomind
