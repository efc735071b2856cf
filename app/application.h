#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/event_journal.h"
#include "engine/race_engine.h"
#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "platform/file_store.h"
#include "platform/serial_port.h"
#include "platform/settings_store.h"
#include "platform/sound_player.h"
#include "platform/tick_clock.h"
#include "platform/user_dialogs.h"
#include "roster/roster_table.h"

namespace palomind {

struct ResultFileContent;

// The outside pieces the application works with. Live they are the system's
// adapters; tests pass fakes.
struct ApplicationServices {
    TickClock& tickSource;  // the real millisecond tick counter
    SoundPlayer& sound;
    SerialPort& serial;
    SettingsStore& settings;
    UserDialogs& dialogs;
    FileStore& files;
    EventJournal& journal;
};

// Platform pieces that can fail while the program runs. The race goes on
// without them; the window tells the operator.
enum class PlatformProblem { PortFailed, SoundUnavailable, JournalFailed };

// What the application tells the window that shows it.
class ApplicationView {
  public:
    virtual ~ApplicationView() = default;
    // The race state or the race window's model changed: redraw.
    virtual void RaceChanged() = 0;
    virtual void PlatformFailed(PlatformProblem problem, std::string_view detail) = 0;
};

// The one object that owns the race: its state, the race window's model, the
// roster and the engine. Every event that drives the engine comes through
// here, in one way: the tick counter is read once, the event is journaled
// with that tick, the engine runs with that same tick, and the view redraws.
class Application final : public SerialListener {
  public:
    explicit Application(ApplicationServices services);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    void SetView(ApplicationView* view) { view_ = view; }

    RaceState& State() { return state_; }
    RaceWindowModel& Window() { return window_; }
    RosterTable& Roster() { return roster_; }
    RaceEngine& Engine() { return engine_; }
    const ApplicationServices& Services() const { return services_; }

    // The start-up reset, once the settings are in place. The settings in
    // force are journaled first, so a replay starts from them whatever the
    // settings file holds by then.
    void Boot();
    // Start-up that brings back the race of a run that ended abnormally, in
    // place of Boot. `events` are that run's journal: replayed silently into
    // the race, written into this run's journal (so a replay of it gives the
    // whole race) and the race goes on live from the real tick counter.
    // When the machine was restarted since, the tick counter started again
    // and the race cannot go on: it is restored stopped. Returns whether it
    // goes on live.
    bool BootRestoring(const std::vector<JournalEvent>& events, std::string_view from);
    // The 10 ms timer. True when the race clock acted on a new second.
    bool Timer1_Timer();
    // Data received on the serial port.
    void MSComm1_OnComm(std::span<const std::uint8_t> bytes);

    // The toolbar's race commands; button 1 to 3 for "ＩＤ１".."ＩＤ３".
    void StartRace();
    void StopRace();
    void TestPass(int button);

    // Race parameters and the read-out mode.
    void SetRaceTime(std::int32_t seconds);
    void SetStartWait(std::int32_t seconds);
    void SetTtsMode(std::int16_t mode);

    // Opening a result file: reset, then show the stored race.
    void ShowResultFile(const ResultFileContent& content, std::string_view path);

    // A line for the journal's reader about something the replay does not
    // act on (a port opened, a result file saved).
    void NoteInJournal(std::string_view text);
    // A platform adapter failed; the window tells the operator.
    void ReportPlatformProblem(PlatformProblem problem, std::string_view detail);

    // SerialListener
    void OnBytes(std::span<const std::uint8_t> bytes) override { MSComm1_OnComm(bytes); }
    void OnPortFailed(std::string_view reason) override;

  private:
    std::int32_t LatchTick();
    void Record(const JournalEvent& event);
    void JournalWritten(bool written);
    void RecordEvent(JournalEventKind kind, std::int32_t value = 0);
    void RaceChanged();
    void ReceiveHeldBytes(bool atTheirTicks);

    ApplicationServices services_;
    SetTickClock latchedClock_;
    RaceState state_;
    RaceWindowModel window_;
    RosterTable roster_;
    RaceEngine engine_;
    ApplicationView* view_ = nullptr;
    bool booted_ = false;
    // Received before start-up finished, with the tick each block came at.
    struct HeldBytes {
        std::int32_t tick;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<HeldBytes> held_;
    bool journalFailureReported_ = false;
};

}  // namespace palomind
