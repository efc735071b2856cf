#include "app/application.h"

#include <algorithm>
#include <array>

#include "app/crash_recovery.h"
#include "app/journal_reading.h"
#include "app/lap_review.h"
#include "app/race_revision.h"
#include "app/replay.h"
#include "documents/result_file.h"
#include "documents/settings_file.h"
#include "record/race_record_folder.h"
#include "record/race_start_time.h"

namespace palomind {

namespace {

// Typing in the comment box is journaled in one line once it has rested this
// long (or earlier, when something reads or replaces the comment), so a
// crash loses at most about this much of it.
constexpr std::int32_t kCommentCoalesceMs = 500;

constexpr std::string_view kNotARaceRecord = "レース記録ではないか、壊れています。";
constexpr std::string_view kCannotCorrect = "レース中か、記録のないレースです。修正できません。";
constexpr std::string_view kCorrectionRefused = "この修正はできません: ";

// Where the minimum lap is kept per user, in milliseconds.
constexpr const char* kMinLapSection = "Race";
constexpr const char* kMinLapKey = "MinLapMs";

// A stored value that is not a whole number in range is taken as off.
std::int32_t StoredMinLap(SettingsStore& settings) {
    const std::string text = settings.GetSetting(kMinLapSection, kMinLapKey).value_or("");
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const std::int32_t value = std::stoi(text);
    return value <= kMostMinLapMs ? value : 0;
}

}  // namespace

Application::Application(ApplicationServices services)
    : services_(std::move(services)),
      core_(services_.sound),
      inbox_(services_.tickSource),
      port_(services_.serial, listener_, services_.tickSource, services_.dialogs,
            {.portNumber = [this] { return core_.State().PortNumber; },
             .setPortNumber =
                 [this](std::int16_t number) {
                     core_.SetPortNumber(number);
                     WriteSettingsIfChanged();
                 },
             .note = [this](std::string_view text) { NoteInJournal(text); },
             .absenceChanged =
                 [this](const std::optional<ReceiverAbsence>& absence) {
                     if (view_ != nullptr) view_->ReceiverAbsenceChanged(absence);
                 }}) {
    core_.KeepShownRecord();
}

// The port session ends first (the last member): the reader thread has
// stopped calling in before the inbox goes.
Application::~Application() = default;

void Application::SetView(ApplicationView* view) {
    view_ = view;
    if (view_ != nullptr) view_->ReceiverAbsenceChanged(port_.Absence());
}

std::int32_t Application::ReadTick() {
    if (!booted_) return inbox_.LatchOnly();
    ReceiverInbox::Taken taken = inbox_.TakeAndLatch();
    ApplyReceived(taken.blocks, true, taken.tick);
    return taken.tick;
}

// Before a block is processed the race clock runs up to its stamp, as a
// timer tick at that moment would have: a pass stamped just after the start
// second must find timing open, however late the window thread comes to it.
void Application::ApplyReceived(std::vector<ReceiverInbox::Block>& blocks, bool atTheirTicks,
                                std::int32_t now) {
    for (ReceiverInbox::Block& block : blocks) {
        const std::int32_t tick = atTheirTicks ? block.tick : now;
        if (atTheirTicks) RunClockAt(tick);
        if (receivedListener_ != nullptr) receivedListener_->OnReceived(block.bytes);
        RecordAndApply(
            {.tick = tick, .kind = JournalEventKind::Rx, .bytes = std::move(block.bytes)});
    }
}

void Application::PortListener::OnBytes(std::span<const std::uint8_t> bytes) {
    if (!bytes.empty()) app_.inbox_.Stamp(bytes);
}

void Application::MSComm1_OnComm() {
    if (booted_) ReadTick();
}

void Application::Record(const JournalEvent& event) {
    if (services_.journal.Record(event) || journalFailureReported_) return;
    journalFailureReported_ = true;
    ReportPlatformProblem(PlatformProblem::JournalFailed, {});
}

// Journaled first, so a crash right after loses nothing that was applied.
void Application::RecordAndApply(const JournalEvent& event) {
    Record(event);
    core_.Apply(event);
}

void Application::RecordNow(JournalEventKind kind, std::int32_t value) {
    RecordAndApply({.tick = ReadTick(), .kind = kind, .value = value});
}

// Only the ticks that act are journaled: the others change nothing a replay
// could see.
void Application::RunClockAt(std::int32_t tick) {
    if (core_.ClockActsAt(tick)) RecordAndApply({.tick = tick, .kind = JournalEventKind::Clock});
}

void Application::LoadStartupFiles() {
    core_.LoadStartupFiles(services_.files, services_.dialogs);
    // A file missing or unreadable holds nothing: the first change writes it.
    settingsBytes_ = services_.files.ReadAll(kSettingsFileName).value_or(std::string());
    SetParameter(JournalEventKind::MinLap, StoredMinLap(services_.settings));
}

// What start-up read from the files, journaled before "boot", so a replay
// starts from it whatever the files hold by then.
void Application::RecordStartupInput() {
    const std::int32_t tick = ReadTick();
    const RaceState& state = core_.State();
    RecordAndApply({.tick = tick, .kind = JournalEventKind::RaceTime, .value = state.RaceTime});
    RecordAndApply({.tick = tick, .kind = JournalEventKind::StartWait, .value = state.StartWait});
    RecordAndApply({.tick = tick, .kind = JournalEventKind::TtsMode, .value = state.TtsMode});
    RecordAndApply({.tick = tick, .kind = JournalEventKind::CallParts, .value = state.CallParts});
    RecordAndApply({.tick = tick, .kind = JournalEventKind::MinLap, .value = state.MinLapMs});
    // A heat is in force only after a restore: a run starts with none.
    if (!state.Heat.empty())
        RecordAndApply({.tick = tick, .kind = JournalEventKind::Heat, .text = state.Heat});
    for (int id = 1; id < kRosterSize; ++id) {
        RecordAndApply({.tick = tick,
                        .kind = JournalEventKind::Name,
                        .value = id,
                        .text = core_.Roster()[static_cast<std::size_t>(id)]});
    }
    RecordAndApply(
        {.tick = tick, .kind = JournalEventKind::Comment, .text = core_.Window().Comment});
}

void Application::Boot() {
    RecordStartupInput();
    RecordAndApply(
        {.tick = ReadTick(), .kind = JournalEventKind::Boot, .text = services_.bootIdentity});
    booted_ = true;
    // Anything received meanwhile came before the race existed; taken as
    // received now, it finds the race reset, as it would have.
    ReceiveHeldBytes(false);
}

bool Application::BootRestoring(const std::vector<JournalEvent>& events, std::string_view from) {
    const bool goesOn = RaceCanGoOnLive(events, ReadTick(), services_.bootIdentity);
    CatchUpRaceRecords(from);
    core_.SetSilent(true);
    ReplayJournal(events, core_, std::nullopt);
    core_.SetSilent(false);
    GoOnWithRaceRecord(goesOn, from);
    if (goesOn) {
        for (const JournalEvent& event : events) Record(event);
        NoteInJournal("race restored from " + std::string(from) + ", goes on live");
    } else {
        // The crashed run's ticks belong to the counter of before the
        // restart and cannot precede this run's in one journal: noted only,
        // with the settings, names and comment in force, which a replay needs.
        NoteInJournal("race restored from " + std::string(from) +
                      " after the machine restarted, stopped (its events are not repeated here)");
        RecordStartupInput();
    }
    // Stopped before anything received meanwhile is taken: the old race's
    // clock anchors do not belong to this counter.
    if (!goesOn && RaceInProgress(core_.State())) StopRace();
    booted_ = true;
    // Passes received while the operator was being asked count where they
    // came: the race clock first catches up to their tick.
    ReceiveHeldBytes(goesOn);
    return goesOn;
}

void Application::ReceiveHeldBytes(bool atTheirTicks) {
    ReceiverInbox::Taken taken = inbox_.TakeAndLatch();
    ApplyReceived(taken.blocks, atTheirTicks, taken.tick);
}

bool Application::Timer1_Timer() {
    // Until start-up has finished there is no race to time.
    if (!booted_) return false;
    const std::int32_t tick = ReadTick();
    if (typedComment_ && tick - typedSince_ >= kCommentCoalesceMs) CommitComment();
    const bool acts = core_.ClockActsAt(tick);
    if (acts) RecordAndApply({.tick = tick, .kind = JournalEventKind::Clock});
    services_.journal.SyncIfDue();
    return acts;
}

std::optional<std::string> Application::StartRace() {
    CommitComment();
    std::optional<std::string> unsaved;
    if (recorder_ != nullptr && recorder_->Current() && !recorder_->TakesCorrectionsOnly() &&
        !raceSaved_)
        unsaved = *recorder_->Current() + std::string(RaceRecordFolder::kExtension);
    RecordNow(JournalEventKind::Start);
    raceSaved_ = false;
    return unsaved;
}

void Application::StopRace() {
    CommitComment();
    RecordNow(JournalEventKind::Stop);
}

void Application::TestPass(int button) {
    static constexpr std::array kButtonEvents{JournalEventKind::Id1, JournalEventKind::Id2,
                                              JournalEventKind::Id3};
    if (button < 1 || button > static_cast<int>(kButtonEvents.size())) return;
    RecordNow(kButtonEvents[static_cast<std::size_t>(button - 1)]);
}

// Before Boot the parameters are still being read in, and Boot journals the
// values it starts with: only later changes are journaled as they happen.
void Application::SetParameter(JournalEventKind kind, std::int32_t value) {
    const JournalEvent event{.tick = ReadTick(), .kind = kind, .value = value};
    if (booted_)
        RecordAndApply(event);
    else
        core_.Apply(event);
}

void Application::SetRaceTime(std::int32_t seconds) {
    SetParameter(JournalEventKind::RaceTime, seconds);
    WriteSettingsIfChanged();
}

void Application::SetStartWait(std::int32_t seconds) {
    SetParameter(JournalEventKind::StartWait, seconds);
    WriteSettingsIfChanged();
}

void Application::SetTtsMode(std::int16_t mode) {
    SetParameter(JournalEventKind::TtsMode, mode);
    WriteSettingsIfChanged();
}

void Application::SetCallParts(std::int16_t parts) {
    if (parts < 0 || parts > kAllCallParts || parts == core_.State().CallParts) return;
    SetParameter(JournalEventKind::CallParts, parts);
}

void Application::SetMinLap(std::int32_t milliseconds) {
    if (milliseconds < 0 || milliseconds > kMostMinLapMs) return;
    SetParameter(JournalEventKind::MinLap, milliseconds);
    services_.settings.SaveSetting(kMinLapSection, kMinLapKey, std::to_string(milliseconds));
}

void Application::WriteSettingsIfChanged() {
    if (!settingsBytes_) return;
    std::string bytes = SettingsFileBytes(core_.State());
    if (bytes == *settingsBytes_) return;
    settingsBytes_ = bytes;
    if (settingsWriter_ != nullptr) settingsWriter_->Write(std::move(bytes));
}

void Application::SaveSettingsAtExit() {
    // Never two writers of one file at once.
    if (settingsWriter_ != nullptr) settingsWriter_->WaitUntilWritten();
    if (settingsWriter_ != nullptr && settingsWriter_->FailureTold()) {
        services_.files.WriteAtomically(kSettingsFileName, SettingsFileBytes(core_.State()));
        return;
    }
    Save_Setting(core_.State(), services_.files, services_.dialogs);
}

bool Application::SetHeat(std::string heatId) {
    if (!heatId.empty() && !IsHeatId(heatId)) return false;
    if (heatId == core_.State().Heat) return true;
    const JournalEvent event{
        .tick = ReadTick(), .kind = JournalEventKind::Heat, .text = std::move(heatId)};
    if (booted_)
        RecordAndApply(event);
    else
        core_.Apply(event);
    return true;
}

void Application::CommentTyped(std::string text) {
    if (!typedComment_) typedSince_ = ReadTick();
    typedComment_ = std::move(text);
}

void Application::CommitComment() {
    if (!typedComment_) return;
    JournalEvent event{.tick = ReadTick(), .kind = JournalEventKind::Comment};
    event.text.swap(*typedComment_);
    typedComment_.reset();
    if (event.text != core_.Window().Comment) RecordAndApply(event);
}

void Application::SetName(int id, std::string name) {
    if (id < 1 || id >= kRosterSize || core_.Roster()[static_cast<std::size_t>(id)] == name) return;
    // Never coalesced: a pass takes the name it finds at that moment.
    RecordAndApply(
        {.tick = ReadTick(), .kind = JournalEventKind::Name, .value = id, .text = std::move(name)});
}

std::string Application::OpenResultFile(const std::string& path) {
    // Read once: what is checked is what goes into the journal.
    const std::optional<std::string> bytes = services_.files.ReadAll(path);
    if (!bytes) return std::string(kResultFileUnreadable);
    const ResultFileParse parsed = ParseResultFile(*bytes);
    if (!parsed.ok) return parsed.error;
    CommitComment();
    NoteInJournal("result file opened: " + path);
    // The file's bytes go into the journal, so a replay shows the same race
    // without the file.
    RecordAndApply({.tick = ReadTick(),
                    .kind = JournalEventKind::Open,
                    .bytes = {bytes->begin(), bytes->end()}});
    return {};
}

std::string Application::OpenRaceRecord(const std::string& path) {
    // Read once, as a result file is: what is checked is what is journaled.
    const std::optional<std::string> bytes = services_.files.ReadAll(path);
    if (!bytes) return std::string(kResultFileUnreadable);
    if (!RaceRecordProblem(*bytes).empty()) return std::string(kNotARaceRecord);
    const JournalParseResult record = ParseJournal(*bytes);
    CommitComment();
    NoteInJournal("race record opened: " + path);
    // The record's bytes go into the journal, so a replay shows the same
    // race without the file.
    RecordAndApply({.tick = ReadTick(),
                    .kind = JournalEventKind::Record,
                    .bytes = {bytes->begin(), bytes->end()},
                    .text = record.events.front().text});
    return {};
}

std::string Application::CorrectRace(Correction correction, std::string reason,
                                     std::string operatorName) {
    if (!core_.CanCorrect()) return std::string(kCannotCorrect);
    CommitComment();
    const std::string& text = core_.ShownRecordText();
    const JournalParseResult shown = ParseJournal(text);
    if (!shown.ok) return std::string(kCannotCorrect);
    const RaceRecord before = SplitRaceRecord(shown.events, shown.lines);
    correction.number = static_cast<std::int32_t>(before.corrections.size()) + 1;
    const std::int32_t tick = ReadTick();
    const std::string inForce =
        before.corrections.empty() ? std::string() : before.corrections.back().operatorName;
    const JournalEvent who{.tick = tick, .kind = JournalEventKind::Operator, .text = operatorName};
    const JournalEvent edit{.tick = tick,
                            .kind = JournalEventKind::Edit,
                            .text = std::move(reason),
                            .wallClock = recorder_ != nullptr
                                             ? recorder_->WallClockAt(tick)
                                             : RaceStartAt(std::nullopt, 0).wallClock,
                            .correction = correction};
    // Checked as the record will hold it, before anything is written.
    std::string trial = text;
    if (operatorName != inForce) trial += FormatJournalLine(who) + "\n";
    trial += FormatJournalLine(edit) + "\n";
    const JournalParseResult parsed = ParseJournal(trial);
    if (!parsed.ok) return std::string(kCorrectionRefused) + parsed.error;
    const CorrectionsCheck check =
        core_.CheckCorrectionsOfShown(SplitRaceRecord(parsed.events, parsed.lines));
    if (!check.ok) return std::string(kCorrectionRefused) + check.error;
    if (operatorName != inForce) RecordAndApply(who);
    RecordAndApply(edit);
    return {};
}

RaceDocument Application::Document() {
    CommitComment();
    documentResult_ = core_.Result();
    return {core_.State(), core_.Window(), documentResult_, core_.ShownDisqualified()};
}

std::vector<std::string> Application::Audit() const {
    return core_.CanCorrect() ? AuditOfRecordText(core_.ShownRecordText())
                              : std::vector<std::string>{};
}

void Application::NoteInJournal(std::string_view text) {
    if (services_.journal.Note(text) || journalFailureReported_) return;
    journalFailureReported_ = true;
    ReportPlatformProblem(PlatformProblem::JournalFailed, {});
}

void Application::ResultFileSaved(const std::string& path) {
    NoteInJournal("result file saved: " + path);
    raceSaved_ = true;
}

void Application::ReportPlatformProblem(PlatformProblem problem, std::string_view detail) {
    if (view_ != nullptr) view_->PlatformFailed(problem, detail);
}

void Application::PortFailed(std::string_view reason) {
    NoteInJournal("serial port failed: " + std::string(reason));
    port_.Failed();
    ReportPlatformProblem(PlatformProblem::PortFailed, reason);
}

}  // namespace palomind
