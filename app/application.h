#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/event_journal.h"
#include "app/export_facts.h"
#include "app/port_session.h"
#include "app/race_core.h"
#include "app/receiver_inbox.h"
#include "app/settings_file_writer.h"
#include "engine/exact_result.h"
#include "engine/race_events.h"
#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "platform/file_store.h"
#include "platform/serial_port.h"
#include "platform/settings_store.h"
#include "platform/sound_player.h"
#include "platform/tick_clock.h"
#include "platform/user_dialogs.h"
#include "record/race_record_folder.h"
#include "record/race_recorder.h"
#include "roster/roster_table.h"

namespace palomind {

// The outside pieces the application works with. Live they are the system's
// adapters; tests pass fakes. Each must outlive the application, which lets
// go of the port (closed, its reader thread no longer calling in) as it ends.
struct ApplicationServices {
    TickClock& tickSource;  // the real millisecond tick counter
    SoundPlayer& sound;
    SerialPort& serial;
    SettingsStore& settings;
    UserDialogs& dialogs;
    FileStore& files;
    EventJournal& journal;
    // The machine's boot identity (empty where the system has none): a
    // crashed run's race goes on live only on the same boot.
    std::string bootIdentity = {};
};

// Platform pieces that can fail while the program runs. The race goes on
// without them; the window tells the operator.
enum class PlatformProblem { PortFailed, SoundUnavailable, JournalFailed, SettingsFailed };

// What the application tells the window about the platform (race changes
// come as race events).
class ApplicationView {
  public:
    virtual ~ApplicationView() = default;
    virtual void PlatformFailed(PlatformProblem problem, std::string_view detail) = 0;
    // No receiver port is open, and why; nullopt once one is. Told as the
    // view is set and whenever it changes.
    virtual void ReceiverAbsenceChanged(const std::optional<ReceiverAbsence>& absence) = 0;
};

// Told of the bytes the receiver sent as they are processed, before and
// during a race alike (the transponder check before a heat's start).
class ReceivedBytesListener {
  public:
    virtual ~ReceivedBytesListener() = default;
    virtual void OnReceived(std::span<const std::uint8_t> bytes) = 0;
};

// The race as a document reads it (save, print, export).
struct RaceDocument {
    const RaceState& state;
    const RaceWindowModel& window;
    // The race's exact result, its corrections applied: what every output
    // takes its times, places, flags and "暫定" from.
    const ExactResult& result;
    const std::set<int>& disqualified;  // by the race's corrections: placed last
};

// The one object that owns the race. Every event that changes it comes
// through here, in one way: the tick counter is read once, the event is
// journaled with that tick, then applied through the race core's one
// dispatcher, which tells the subscribers what happened. Views read the race
// through const references and change it only through these commands.
class Application final {
  public:
    explicit Application(ApplicationServices services);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    void SetView(ApplicationView* view);
    // Race events go to every subscriber, live, restored and replayed alike.
    void Subscribe(RaceEventListener* subscriber) { core_.Subscribe(subscriber); }
    void Unsubscribe(RaceEventListener* subscriber) { core_.Unsubscribe(subscriber); }
    // One listener to the bytes received; nullptr for none.
    void HearReceiver(ReceivedBytesListener* listener) { receivedListener_ = listener; }

    const RaceState& State() const { return core_.State(); }
    const RaceWindowModel& Window() const { return core_.Window(); }
    const RosterTable& Roster() const { return core_.Roster(); }
    // What views use of the outside pieces: the operator's dialogs, and the
    // settings and files the window keeps. The port, the journal and the
    // clock are the core's; views reach them only through the commands here
    // and the port session's.
    UserDialogs& Dialogs() const { return services_.dialogs; }
    SettingsStore& Settings() const { return services_.settings; }
    FileStore& Files() const { return services_.files; }
    // The tick counter now (what a view stamps its own output with).
    std::int32_t Now() const { return services_.tickSource.TimeGetTime(); }
    // The receiver's port: the port menu's commands.
    PortSession& Port() { return port_; }

    // Start-up's reading of "Palomind.ini" and "idname.ind" (messages go to
    // the dialogs), before Boot.
    void LoadStartupFiles();
    // The start-up reset, once the settings are in place. The settings,
    // names and comment in force are journaled first, so a replay starts
    // from them whatever the files hold by then.
    void Boot();
    // Start-up that brings back the race of a run that ended abnormally, in
    // place of Boot. `events` are that run's journal: replayed silently
    // through the same dispatcher, written into this run's journal (so a
    // replay of it gives the whole race) and the race goes on live from the
    // real tick counter. When the machine was restarted since (another boot
    // identity, or a tick counter that went back), the race is restored
    // stopped. Returns whether it goes on live.
    bool BootRestoring(const std::vector<JournalEvent>& events, std::string_view from);
    // The 10 ms timer. True when the race clock acted on a new second.
    bool Timer1_Timer();

    // The toolbar's race commands; button 1 to 3 for "ＩＤ１".."ＩＤ３".
    // StartRace returns the file name of the race record of the race it
    // ended when that race was never saved to a result file: the record is
    // then the one place that race is kept.
    std::optional<std::string> StartRace();
    void StopRace();
    void TestPass(int button);

    // Race parameters, the read-out mode and its lap call, and the port in use.
    void SetRaceTime(std::int32_t seconds);
    void SetStartWait(std::int32_t seconds);
    void SetTtsMode(std::int16_t mode);
    // What a lap call says (CallPart bits); other values are refused.
    void SetCallParts(std::int16_t parts);
    // The shortest lap taken as real, 0 to kMostMinLapMs; 0 flags none. In
    // force from the next race's start.
    void SetMinLap(std::int32_t milliseconds);
    // The meeting's heat loaded (IsHeatId), empty for none: the race started
    // next is run as that heat and its record says so ("heat" after its
    // race line). Journaled as the parameters are, in force from the next
    // start. False, and nothing changed, for an id that is no heat id.
    bool SetHeat(std::string heatId);
    // The port the race names, without opening it (a stored number out of
    // range); the port session sets it as it opens one.
    void SetPortNumber(std::int16_t portNumber) { core_.SetPortNumber(portNumber); }

    // From start-up's reading of the settings on, each change of the port,
    // race time, start wait or read-out mode is written into "Palomind.ini"
    // by `writer` at once, not only at exit.
    void KeepSettingsWritten(SettingsFileWriter* writer) { settingsWriter_ = writer; }
    // The save at exit, after the writes still pending: the file's bytes as
    // every write makes them. A failure is told unless one was this run.
    void SaveSettingsAtExit();

    // The comment box's text as stored (line breaks CR LF), as it is typed.
    // Typing is journaled at most about every half second, and always before
    // anything reads or replaces the comment.
    void CommentTyped(std::string text);
    void CommitComment();
    // A roster name changed (the roster dialog, as it is typed).
    void SetName(int id, std::string name);

    // File > Open: reads and checks the whole file, then resets and shows the
    // stored race. Returns the message for the operator when the file cannot
    // be shown (the race is then left as it was), empty when it is shown.
    std::string OpenResultFile(const std::string& path);
    // "レース記録を開く": reads and checks the whole race record, then shows its
    // race as File > Open shows a result file. Returns the message for the
    // operator when it cannot be shown (the race is then left as it was),
    // empty when it is shown.
    std::string OpenRaceRecord(const std::string& path);
    // A correction of the race shown (docs/race-record.md): when no race is
    // in progress and the race shown has a record. It is checked against
    // the race it corrects, journaled (after an "operator" line where
    // `operatorName` is not the one in force in that record), written into
    // the race record and applied: the race is scored again at once. Its
    // number is the record's next. Returns the message for the operator
    // when it is refused (nothing is written then), empty when it is made.
    std::string CorrectRace(Correction correction, std::string reason, std::string operatorName);
    bool CanCorrect() const { return core_.CanCorrect(); }
    // The record of the race shown, with its corrections (empty where none).
    const std::string& ShownRecordText() const { return core_.ShownRecordText(); }
    // The identity of the race record shown by OpenRaceRecord, if any.
    const std::optional<std::string>& ShownRecord() const { return core_.ShownRecord(); }
    // The race for saving, printing or exporting, with the comment as typed.
    // Its result stays valid until the next call.
    RaceDocument Document();
    // The race shown's record, with its start: the race timed last or the
    // record opened, as the race records name it. None where the race shown
    // has no record (a result file opened, a record that could not be
    // written, no race records kept).
    std::optional<RaceIdentity> ShownRace() const;
    // What the exports say of the race shown beyond the window's texts.
    RaceExportFacts ExportFacts() const { return ExportFactsOf(State(), ShownRace()); }
    // The audit list of the race shown's corrections, a line each (none
    // without): what the HTML export and the printed report end with.
    std::vector<std::string> Audit() const;
    // The exact result of the race shown, corrections applied (RaceCore::Result).
    ExactResult Result() const { return core_.Result(); }
    // Whether the race shown is provisional ("暫定"): a short lap is unresolved.
    bool Provisional() const { return core_.Provisional(); }

    // Every race from now on is written into its race record by `recorder`
    // (docs/race-record.md), each line before its event is applied.
    void KeepRaceRecords(RaceRecorder* recorder);
    // Where those records are written: `folder` holds them, and
    // MoveRaceRecords places the records begun from then on elsewhere (a
    // meeting's races/ while it is open). False where no folder is kept.
    void KeepRaceRecordsIn(RaceRecordFolder* folder) { recordsFolder_ = folder; }
    bool MoveRaceRecords(const std::filesystem::path& folder);

    // A line for the journal's reader about something the replay does not
    // act on (a port opened, a result file saved).
    void NoteInJournal(std::string_view text);
    // The race shown was saved as the result file `path`.
    void ResultFileSaved(const std::string& path);
    // A platform adapter failed; the window tells the operator.
    void ReportPlatformProblem(PlatformProblem problem, std::string_view detail);

  private:
    // What the port tells the application. OnBytes may run on the
    // receiver's thread: it stamps the bytes, nothing more; OnBytesWaiting,
    // on the window thread, processes.
    class PortListener final : public SerialListener {
      public:
        explicit PortListener(Application& app) : app_(app) {}
        void OnBytes(std::span<const std::uint8_t> bytes) override;
        void OnBytesWaiting() override { app_.MSComm1_OnComm(); }
        void OnPortFailed(std::string_view reason) override { app_.PortFailed(reason); }

      private:
        Application& app_;
    };

    // The receive handler, on the window thread: processes every block the
    // receiver's thread stamped, in order, each at its stamp (the race clock
    // first catches up to it).
    void MSComm1_OnComm();
    void PortFailed(std::string_view reason);
    // The tick for the next event. Once the race exists, the blocks the
    // receiver stamped before it are processed first.
    std::int32_t ReadTick();
    void ApplyReceived(std::vector<ReceiverInbox::Block>& blocks, bool atTheirTicks,
                       std::int32_t now);
    void Record(const JournalEvent& event);
    void RecordAndApply(const JournalEvent& event);
    void RecordNow(JournalEventKind kind, std::int32_t value = 0);
    void RunClockAt(std::int32_t tick);
    void SetParameter(JournalEventKind kind, std::int32_t value);
    void RecordStartupInput();
    void ReceiveHeldBytes(bool atTheirTicks);
    // The race records while a crashed run is brought back: its records
    // are followed, not written again, and the record of the race restored
    // goes on being written (application_records.cpp).
    void CatchUpRaceRecords(std::string_view crashedJournal);
    void GoOnWithRaceRecord(bool sameCounter, std::string_view crashedJournal);

    ApplicationServices services_;
    RaceCore core_;
    ApplicationView* view_ = nullptr;
    bool booted_ = false;
    // What the receiver read, stamped, until the window thread takes it.
    // Before start-up has finished it waits there (a question may be open
    // about restoring a race): nothing received may be lost.
    ReceiverInbox inbox_;
    // The comment as typed, not yet journaled, and since when.
    std::optional<std::string> typedComment_;
    std::int32_t typedSince_ = 0;
    bool journalFailureReported_ = false;
    // The result the last Document() refers to.
    ExactResult documentResult_;
    RaceRecorder* recorder_ = nullptr;
    ReceivedBytesListener* receivedListener_ = nullptr;
    RaceRecordFolder* recordsFolder_ = nullptr;
    // What "Palomind.ini" holds as far as this run knows; nothing before
    // start-up has read it (nothing is written before then).
    void WriteSettingsIfChanged();
    SettingsFileWriter* settingsWriter_ = nullptr;
    std::optional<std::string> settingsBytes_;
    // Whether the race of the record being written was saved to a result file.
    bool raceSaved_ = false;
    // Last, so the port lets go of the listener before anything it calls
    // into (the inbox, the race) is gone.
    PortListener listener_{*this};
    PortSession port_;
};

}  // namespace palomind
