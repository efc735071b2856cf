#include "record/race_recorder.h"

#include "record/race_start_time.h"

namespace palomind {

namespace {

constexpr int kMostNumbersInASecond = 1000;

CarriedState CarriedFrom(const RaceBeforeEvent& race) {
    const RaceState& s = race.state;
    CarriedState carried;
    carried.passId = s.PassId;
    carried.clockSecond = s.LastClockSecond;
    carried.lapRows = race.window.LapHistory.Rows();
    carried.lapTopRow = race.window.LapHistory.TopRow();
    carried.syncCount = s.SyncCount;
    carried.frameLength = s.FrameLen;
    carried.frameSum = s.FrameSum;
    for (std::size_t i = 0; i < carried.frame.size(); ++i) carried.frame[i] = s.FrameBuf[i];
    return carried;
}

}  // namespace

RaceRecorder::RaceRecorder(RaceRecordOutput& output, WhenTaken whenTaken,
                           std::optional<std::int64_t> runStart)
    : output_(output), whenTaken_(whenTaken), runStart_(runStart), liveRunStart_(runStart) {}

void RaceRecorder::BeforeApply(const JournalEvent& event, const RaceBeforeEvent& race) {
    if (!originTick_ || (event.kind == JournalEventKind::Boot && !sawBoot_)) {
        originTick_ = event.tick;
        sawBoot_ = event.kind == JournalEventKind::Boot;
    }
    switch (event.kind) {
        case JournalEventKind::Boot:
            bootIdentity_ = event.text;
            EndRecord();
            return;
        case JournalEventKind::Open:
            EndRecord();  // the open belongs to the file it shows
            return;
        case JournalEventKind::Record:
            EndRecord();
            ReopenForCorrections(event);
            return;
        case JournalEventKind::Start:
            EndRecord();
            BeginRecord(event, race);
            return;
        case JournalEventKind::Race:
        case JournalEventKind::Carry:
            return;  // a race record's own lines, never part of another
        case JournalEventKind::ManualPass:
            return;  // a rebuilt revision's, never written
        default:
            if (!current_ || ChangesNothing(event, race)) return;
            if (!correctionsOnly_) return Write(event);
            if (event.kind != JournalEventKind::Edit && event.kind != JournalEventKind::Operator)
                return;
            JournalEvent correction = event;
            if (atRecordsLastTick_) correction.tick = lastTick_;
            Write(std::move(correction));
    }
}

// The corrections of an opened record go into its file, which is created
// from the bytes opened where it does not exist, and left as it is (the
// operator told) where it holds anything else.
void RaceRecorder::ReopenForCorrections(const JournalEvent& record) {
    if (whenTaken_ == WhenTaken::Skip) return;  // records written again take nothing new
    const std::string_view bytes(reinterpret_cast<const char*>(record.bytes.data()),
                                 record.bytes.size());
    const JournalParseResult parsed = ParseJournal(bytes);
    if (!parsed.ok || !parsed.raceRecord) return;
    // A last line cut short by a crash is left out, as its replay leaves it.
    const std::string_view whole = bytes.substr(0, bytes.rfind('\n') + 1);
    if (catchingUp_) {
        caughtUp_ = std::string(whole);
    } else if (!output_.Continue(record.text, whole)) {
        if (failed_) failed_(record.text);
        return;
    }
    current_ = record.text;
    currentStarted_ = parsed.events.front().wallClock;
    correctionsOnly_ = true;
    atRecordsLastTick_ = !begunInThisRun_.contains(record.text);
    lastTick_ = parsed.events.back().tick;
}

std::optional<RaceIdentity> RaceRecorder::CurrentRace() const {
    if (!current_) return std::nullopt;
    return RaceIdentity{*current_, currentStarted_};
}

std::string RaceRecorder::WallClockAt(std::int32_t tick) const {
    return RaceStartAt(runStart_, static_cast<std::int64_t>(tick) - originTick_.value_or(tick))
        .wallClock;
}

// Start-up input written again after a restore, and a comment committed
// unchanged, change nothing a replay could see.
bool RaceRecorder::ChangesNothing(const JournalEvent& event, const RaceBeforeEvent& race) const {
    switch (event.kind) {
        case JournalEventKind::Name:
            return event.value >= 1 && event.value < kRosterSize &&
                   race.roster[static_cast<std::size_t>(event.value)] == event.text;
        case JournalEventKind::Comment:
            return race.window.Comment == event.text;
        case JournalEventKind::RaceTime:
            return race.state.RaceTime == event.value;
        case JournalEventKind::StartWait:
            return race.state.StartWait == event.value;
        case JournalEventKind::TtsMode:
            return race.state.TtsMode == event.value;
        case JournalEventKind::CallParts:
            return race.state.CallParts == event.value;
        case JournalEventKind::MinLap:
            return race.state.MinLapMs == event.value;
        case JournalEventKind::Heat:
            return race.state.Heat == event.text;
        default:
            return false;
    }
}

std::string RaceRecorder::NextIdentity(std::int32_t tick) {
    const RaceStartTime start =
        RaceStartAt(runStart_, static_cast<std::int64_t>(tick) - originTick_.value_or(tick));
    if (start.stem != lastStem_) {
        lastStem_ = start.stem;
        numberInSecond_ = 0;
    }
    return start.stem + "-" + std::to_string(++numberInSecond_);
}

void RaceRecorder::BeginRecord(const JournalEvent& start, const RaceBeforeEvent& race) {
    const std::int32_t tick = start.tick;
    const std::string wallClock =
        RaceStartAt(runStart_, static_cast<std::int64_t>(tick) - originTick_.value_or(tick))
            .wallClock;
    std::string identity;
    for (int tries = 0; tries < kMostNumbersInASecond; ++tries) {
        identity = NextIdentity(tick);
        if (catchingUp_) break;
        const RaceRecordOutput::Begun begun = output_.Begin(identity);
        if (begun == RaceRecordOutput::Begun::Created) break;
        if (begun == RaceRecordOutput::Begun::Failed && failed_) failed_(identity);
        if (begun == RaceRecordOutput::Begun::Failed || whenTaken_ == WhenTaken::Skip) return;
    }
    current_ = identity;
    currentStarted_ = wallClock;
    begunInThisRun_.insert(identity);
    caughtUp_.clear();
    lastTick_ = tick;
    WriteLine(kRaceRecordHeader);
    const RaceState& s = race.state;
    Write({.tick = tick, .kind = JournalEventKind::Race, .text = identity, .wallClock = wallClock});
    // A race of no heat has no heat line: its record is as it was before heats.
    if (!s.Heat.empty()) Write({.tick = tick, .kind = JournalEventKind::Heat, .text = s.Heat});
    Write({.tick = tick, .kind = JournalEventKind::RaceTime, .value = s.RaceTime});
    Write({.tick = tick, .kind = JournalEventKind::StartWait, .value = s.StartWait});
    Write({.tick = tick, .kind = JournalEventKind::TtsMode, .value = s.TtsMode});
    Write({.tick = tick, .kind = JournalEventKind::MinLap, .value = s.MinLapMs});
    for (int id = 1; id < kRosterSize; ++id)
        Write({.tick = tick,
               .kind = JournalEventKind::Name,
               .value = id,
               .text = race.roster[static_cast<std::size_t>(id)]});
    Write({.tick = tick, .kind = JournalEventKind::Comment, .text = race.window.Comment});
    Write({.tick = tick, .kind = JournalEventKind::Boot, .text = bootIdentity_});
    Write({.tick = tick, .kind = JournalEventKind::Carry, .carried = CarriedFrom(race)});
    Write(start);
}

// Ticks in a record never decrease, also where a restore after the machine
// restarted goes on with a counter that started again.
void RaceRecorder::Write(JournalEvent event) {
    if (!current_) return;
    if (event.tick < lastTick_) event.tick = lastTick_;
    lastTick_ = event.tick;
    WriteLine(FormatJournalLine(event));
}

void RaceRecorder::WriteLine(std::string_view line) {
    if (!current_) return;
    if (catchingUp_) {
        caughtUp_ += line;
        caughtUp_ += '\n';
        return;
    }
    // A record that can no longer be written stops; the journal still holds
    // the race, and its records can be written from it again.
    if (output_.Append(line)) return;
    if (failed_) failed_(*current_);
    EndRecord();
}

void RaceRecorder::EndRecord() {
    if (!current_) return;
    current_.reset();
    correctionsOnly_ = false;
    if (!catchingUp_) output_.End();
}

void RaceRecorder::Finish() {
    EndRecord();
}

void RaceRecorder::CatchUp(std::optional<std::int64_t> crashedRunStart) {
    EndRecord();
    catchingUp_ = true;
    runStart_ = crashedRunStart;
    originTick_.reset();
    sawBoot_ = false;
}

bool RaceRecorder::GoOnLive(bool sameCounter, std::int32_t now) {
    catchingUp_ = false;
    if (!sameCounter) {
        runStart_ = liveRunStart_;
        originTick_ = now;
        sawBoot_ = true;
    }
    if (!current_) return true;
    if (output_.Continue(*current_, caughtUp_)) return true;
    current_.reset();
    return false;
}

}  // namespace palomind
