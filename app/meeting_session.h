#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/filed_heat_result.h"
#include "app/transponder_check.h"
#include "engine/race_events.h"
#include "meeting/meeting_model.h"
#include "meeting/meeting_schedule.h"
#include "platform/file_store.h"
#include "roster/roster_table.h"

namespace palomind {

// The meeting the director runs in the program: opened beside the
// application and commanding it only through its public commands. While a
// meeting is open its races are recorded in the meeting's races/, a heat
// loaded sets the roster, the race parameters, the comment's title and the
// heat line, and each race run as a heat is filed under it when it ends.
// Every change of the meeting is saved at once (SaveMeeting). Without a
// meeting open nothing here acts. The meeting window reads it and
// commands it; it never reaches into the application past it.
class MeetingSession final : public RaceEventListener, public ReceivedBytesListener {
  public:
    // `workingRecords`: the working folder's race records, where the
    // records go again once the meeting is closed.
    MeetingSession(Application& app, FileStore& files, std::filesystem::path workingRecords);
    ~MeetingSession() override;
    MeetingSession(const MeetingSession&) = delete;
    MeetingSession& operator=(const MeetingSession&) = delete;

    // Opens the meeting in `folder` (closing the one open). Returns the
    // message for the director when it cannot be read (a refused
    // meeting.json is left as it is and nothing is opened), empty once open.
    std::string Open(const std::string& folder);
    // "大会を新規作成": a meeting named `name` on `date` (YYYY-MM-DD) in
    // `folder`, which must be empty or missing; then opened as Open does.
    // Returns the message for the director, empty once created and open.
    std::string Create(const std::string& folder, const std::string& name, const std::string& date);
    // Every edit of the open meeting (entries, classes, draws) goes through
    // here: `edit` changes a copy, and only when it returns true is the copy
    // saved and kept. Returns the message for the director (`edit`'s error,
    // or why meeting.json could not be written, the meeting then unchanged),
    // empty once saved.
    std::string Change(const std::function<bool(Meeting&, std::string& error)>& edit);
    // The race in progress of a heat is filed first; the roster's names
    // and the per-user minimum lap from before the first heat come back.
    void Close();
    bool IsOpen() const { return meeting_.has_value(); }
    const std::optional<Meeting>& OpenMeeting() const { return meeting_; }
    const std::string& Folder() const { return folder_; }

    // The heats in running order, the one being run marked running.
    // Nothing, with `error` one line, where a filed record cannot be read.
    std::optional<std::vector<ScheduledHeat>> Schedule(std::string& error) const;

    // "次のヒートを準備": loads the heat `id` (or the next one to run).
    // Returns the message for the director when it cannot be loaded (no
    // meeting, no such heat, a race in progress, a record unreadable),
    // empty once loaded.
    std::string PrepareHeat(const std::string& id);
    std::string PrepareNextHeat();
    // True while a heat's names are in the roster in place of the file's:
    // the roster dialog must not write "idname.ind" then.
    bool HeatRosterLoaded() const { return fileNames_.has_value(); }
    // The heat loaded, empty for none.
    const std::string& LoadedHeat() const { return app_.State().Heat; }

    // A stopped heat's last record accepted as its result (done), or the
    // heat loaded to run again: as its new race starts, the records filed
    // before are marked replaced (they stay in races/).
    std::string AcceptHeat(const std::string& id);
    std::string RerunHeat(const std::string& id);

    // The result of `heat` (of the schedule) from the record standing for
    // it, as ReadFiledHeatResult gives it.
    std::optional<FiledHeatResult> FiledResult(const ScheduledHeat& heat, std::string& error) const;

    // Why the last save of meeting.json failed, empty when it was written.
    const std::string& SaveProblem() const { return saveProblem_; }

    // After a crashed run's race was restored (Application::BootRestoring)
    // with this meeting open: its record, continued in races/, is filed
    // under `heat` (CrashedRun::heat) as it ends, at once where it was
    // restored stopped.
    void FileRestoredRace(const std::string& heat);

    // The program's end: the heat's race in progress is filed (stopped).
    void Finish();

    // The transponder check of the heat loaded: until its race starts,
    // what the receiver has seen since it was loaded. Nothing while no
    // heat is loaded or once its race has started.
    const TransponderCheck* Check() const { return checking_ ? &check_ : nullptr; }

    void OnRaceEvent(const RaceEvent& event) override;
    void OnReceived(std::span<const std::uint8_t> bytes) override;

  private:
    struct RunningHeat {
        std::string heat;
        std::string file;  // the record's file name in races/
        bool underWay = false;
    };
    std::vector<HeatRecord>* RecordsOfHeat(const std::string& id);
    void File(const RunningHeat& run, bool replaced);
    void Save();
    std::string TitledComment(const std::string& title) const;
    void FollowTheRace();
    void BeginHeatRace(const std::string& heat, const std::string& file);
    std::string ShownFile() const;

    Application& app_;
    FileStore& files_;
    std::filesystem::path workingRecords_;
    std::optional<Meeting> meeting_;
    std::string folder_;
    // The roster's names before the first heat was loaded.
    std::optional<RosterTable> fileNames_;
    // The per-user minimum lap before the first heat: a class's own
    // replaces it for the class's heats only.
    std::optional<std::int32_t> userMinLap_;
    // The comment's first line as the last heat loaded set it.
    std::string title_;
    std::optional<RunningHeat> running_;
    // The record shown when the race was last looked at.
    std::string lastShown_;
    std::string saveProblem_;
    TransponderCheck check_;
    bool checking_ = false;
};

}  // namespace palomind
