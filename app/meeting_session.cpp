#include "app/meeting_session.h"

#include <algorithm>

#include "app/filed_record_facts.h"
#include "meeting/meeting_folder.h"
#include "record/race_record_folder.h"

namespace palomind {

namespace {

constexpr std::string_view kNoMeeting = "大会が開かれていません。";
constexpr std::string_view kNoSuchHeat = "そのヒートはありません: ";
constexpr std::string_view kRaceInProgress = "レース中はヒートを準備できません。";
constexpr std::string_view kEveryHeatRun = "準備するヒートはありません。";
constexpr std::string_view kNotStopped = "ストップしたヒートではありません: ";
constexpr std::string_view kLineBreak = "\r\n";

std::optional<std::size_t> HeatIndex(const std::vector<ScheduledHeat>& schedule,
                                     const std::string& id) {
    const auto found = std::find_if(schedule.begin(), schedule.end(),
                                    [&id](const ScheduledHeat& heat) { return heat.id == id; });
    if (found == schedule.end()) return std::nullopt;
    return static_cast<std::size_t>(found - schedule.begin());
}

}  // namespace

MeetingSession::MeetingSession(Application& app, FileStore& files,
                               std::filesystem::path workingRecords)
    : app_(app), files_(files), workingRecords_(std::move(workingRecords)) {
    app_.Subscribe(this);
    app_.HearReceiver(this);
}

MeetingSession::~MeetingSession() {
    app_.HearReceiver(nullptr);
    app_.Unsubscribe(this);
}

std::string MeetingSession::Open(const std::string& folder) {
    LoadedMeeting loaded = LoadMeeting(folder, files_);
    if (!loaded.meeting) return loaded.error;
    Close();
    meeting_ = std::move(loaded.meeting);
    folder_ = folder;
    lastShown_ = ShownFile();
    app_.MoveRaceRecords(std::filesystem::path(folder) / kMeetingRacesFolder);
    return {};
}

std::string MeetingSession::Create(const std::string& folder, const std::string& name,
                                   const std::string& date) {
    std::string error;
    if (CreateMeetingFolder(folder, name, date, files_, error) != MeetingCreation::Created)
        return error;
    return Open(folder);
}

std::string MeetingSession::Change(const std::function<bool(Meeting&, std::string& error)>& edit) {
    if (!meeting_) return std::string(kNoMeeting);
    Meeting changed = *meeting_;
    std::string error;
    if (!edit(changed, error)) return error;
    if (!SaveMeeting(folder_, changed, files_, error)) return error;
    meeting_ = std::move(changed);
    saveProblem_.clear();
    return {};
}

void MeetingSession::Close() {
    if (!meeting_) return;
    if (running_) File(*running_, false);
    running_.reset();
    app_.SetHeat({});
    if (fileNames_) {
        for (int id = 1; id < kRosterSize; ++id)
            app_.SetName(id, (*fileNames_)[static_cast<std::size_t>(id)]);
        fileNames_.reset();
    }
    if (userMinLap_) app_.SetMinLap(*userMinLap_);
    userMinLap_.reset();
    app_.MoveRaceRecords(workingRecords_);
    meeting_.reset();
    checking_ = false;
    folder_.clear();
    title_.clear();
}

std::optional<std::vector<ScheduledHeat>> MeetingSession::Schedule(std::string& error) const {
    if (!meeting_) return std::vector<ScheduledHeat>{};
    const std::optional<std::map<std::string, RecordFacts>> facts =
        FiledRecordFacts(*meeting_, folder_, files_, error);
    if (!facts) return std::nullopt;
    std::vector<ScheduledHeat> schedule =
        MeetingSchedule(*meeting_, [&facts](const std::string& file) { return facts->at(file); });
    if (running_) {
        if (const std::optional<std::size_t> i = HeatIndex(schedule, running_->heat))
            schedule[*i].state = HeatState::Running;
    }
    return schedule;
}

std::string MeetingSession::PrepareNextHeat() {
    std::string error;
    const std::optional<std::vector<ScheduledHeat>> schedule = Schedule(error);
    if (!meeting_) return std::string(kNoMeeting);
    if (!schedule) return error;
    const std::optional<std::size_t> next = NextHeatToRun(*schedule);
    if (!next) return std::string(kEveryHeatRun);
    return PrepareHeat((*schedule)[*next].id);
}

std::string MeetingSession::PrepareHeat(const std::string& id) {
    if (!meeting_) return std::string(kNoMeeting);
    if (!IsIdle(app_.State())) return std::string(kRaceInProgress);
    std::string error;
    const std::optional<std::vector<ScheduledHeat>> schedule = Schedule(error);
    if (!schedule) return error;
    const std::optional<std::size_t> index = HeatIndex(*schedule, id);
    if (!index) return std::string(kNoSuchHeat) + id;
    const ScheduledHeat& heat = (*schedule)[*index];
    if (!fileNames_) fileNames_ = app_.Roster();
    if (!userMinLap_) userMinLap_ = app_.State().MinLapMs;
    // The transponders not in the heat keep the file's names, not the
    // names of the heat loaded before.
    RosterTable names = *fileNames_;
    for (const MeetingEntry& entrant : heat.entrants)
        names[static_cast<std::size_t>(entrant.transponder)] = entrant.name;
    for (int transponder = 1; transponder < kRosterSize; ++transponder)
        app_.SetName(transponder, names[static_cast<std::size_t>(transponder)]);
    app_.SetRaceTime(heat.raceTimeS);
    app_.SetStartWait(heat.startWaitS);
    app_.SetMinLap(heat.minLapMs != 0 ? heat.minLapMs : *userMinLap_);
    app_.CommitComment();  // the title goes above what was typed last
    app_.CommentTyped(TitledComment(heat.title));
    app_.CommitComment();
    title_ = heat.title;
    app_.SetHeat(heat.id);
    std::set<int> transponders;
    for (const MeetingEntry& entrant : heat.entrants)
        transponders.insert(static_cast<int>(entrant.transponder));
    check_.Load(std::move(transponders));
    checking_ = true;
    return {};
}

// The first line is the title of the heat loaded before, where it still
// is; otherwise the director's comment follows the title whole.
std::string MeetingSession::TitledComment(const std::string& title) const {
    const std::string comment = app_.Window().Comment;
    const std::size_t lineEnd = comment.find(kLineBreak);
    const std::string firstLine = comment.substr(0, lineEnd);
    if (!title_.empty() && firstLine == title_) {
        return lineEnd == std::string::npos ? title : title + comment.substr(lineEnd);
    }
    return comment.empty() ? title : title + std::string(kLineBreak) + comment;
}

std::vector<HeatRecord>* MeetingSession::RecordsOfHeat(const std::string& id) {
    return palomind::RecordsOfHeat(*meeting_, id);
}

std::string MeetingSession::AcceptHeat(const std::string& id) {
    if (!meeting_) return std::string(kNoMeeting);
    std::vector<HeatRecord>* records = RecordsOfHeat(id);
    if (records == nullptr) return std::string(kNoSuchHeat) + id;
    std::string error;
    const std::optional<std::vector<ScheduledHeat>> schedule = Schedule(error);
    if (!schedule) return error;
    const std::optional<std::size_t> index = HeatIndex(*schedule, id);
    if (!index || (*schedule)[*index].state != HeatState::Stopped)
        return std::string(kNotStopped) + id;
    const auto standing = std::find_if(records->rbegin(), records->rend(),
                                       [](const HeatRecord& r) { return !r.replaced; });
    standing->accepted = true;
    Save();
    return saveProblem_;
}

// The old record is marked replaced as the heat's new race starts.
std::string MeetingSession::RerunHeat(const std::string& id) {
    return PrepareHeat(id);
}

std::optional<FiledHeatResult> MeetingSession::FiledResult(const ScheduledHeat& heat,
                                                           std::string& error) const {
    error.clear();
    if (!meeting_) return std::nullopt;
    return ReadFiledHeatResult(*meeting_, folder_, heat, files_, error);
}

void MeetingSession::FileRestoredRace(const std::string& heat) {
    if (!meeting_ || heat.empty() || RecordsOfHeat(heat) == nullptr) return;
    lastShown_ = ShownFile();
    if (lastShown_.empty()) return;
    const RunningHeat run{heat, lastShown_, true};
    if (IsIdle(app_.State()))
        File(run, false);
    else
        running_ = run;
}

void MeetingSession::OnReceived(std::span<const std::uint8_t> bytes) {
    if (checking_) check_.Received(bytes);
}

void MeetingSession::Finish() {
    if (running_) File(*running_, false);
    running_.reset();
}

void MeetingSession::OnRaceEvent(const RaceEvent& event) {
    (void)event;
    FollowTheRace();
}

std::string MeetingSession::ShownFile() const {
    const std::optional<RaceIdentity> shown = app_.ShownRace();
    return shown ? shown->name + std::string(RaceRecordFolder::kExtension) : std::string();
}

// A new record shown is a new start unless it is a race record opened. A
// heat's race is filed once it has been under way and has ended (stopped,
// all finished) or its record has (another start, a file opened); one ended
// by a new start of the same heat is filed as replaced.
void MeetingSession::FollowTheRace() {
    if (!meeting_) return;
    const std::string shownFile = ShownFile();
    if (shownFile != lastShown_) {
        lastShown_ = shownFile;
        const bool started = !shownFile.empty() && !app_.ShownRecord();
        const std::string& heat = app_.State().Heat;
        if (started) checking_ = false;
        if (running_) File(*running_, started && heat == running_->heat);
        running_.reset();
        if (started && !heat.empty()) BeginHeatRace(heat, shownFile);
    }
    if (!running_) return;
    if (!IsIdle(app_.State())) {
        running_->underWay = true;
    } else if (running_->underWay) {
        File(*running_, false);
        running_.reset();
    }
}

void MeetingSession::BeginHeatRace(const std::string& heat, const std::string& file) {
    std::vector<HeatRecord>* records = RecordsOfHeat(heat);
    if (records == nullptr) return;
    running_ = RunningHeat{heat, file, false};
    // A race already filed under the heat is not run again: it is the crashed
    // run's journal replayed at a restore, which must leave the heat's
    // records as they were filed.
    if (std::any_of(records->begin(), records->end(),
                    [&file](const HeatRecord& r) { return r.file == file; }))
        return;
    bool rerun = false;
    for (HeatRecord& record : *records) {
        rerun = rerun || !record.replaced;
        record.replaced = true;
    }
    if (rerun) Save();
}

void MeetingSession::File(const RunningHeat& run, bool replaced) {
    std::vector<HeatRecord>* records = RecordsOfHeat(run.heat);
    if (records == nullptr) return;
    if (std::any_of(records->begin(), records->end(),
                    [&run](const HeatRecord& r) { return r.file == run.file; }))
        return;
    records->push_back({.file = run.file, .replaced = replaced});
    Save();
}

void MeetingSession::Save() {
    saveProblem_.clear();
    SaveMeeting(folder_, *meeting_, files_, saveProblem_);
}

}  // namespace palomind
