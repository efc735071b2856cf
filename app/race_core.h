#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/exact_result.h"
#include "engine/race_engine.h"
#include "engine/race_events.h"
#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "journal/journal.h"
#include "platform/file_store.h"
#include "platform/message_sink.h"
#include "platform/sound_player.h"
#include "platform/tick_clock.h"
#include "record/corrections.h"
#include "record/event_observer.h"
#include "record/race_passes.h"
#include "record/race_record_text.h"
#include "record/race_recorder.h"
#include "roster/roster_table.h"

namespace palomind {

struct Revision;  // app/race_revision.h, which needs this core

// The race and the one way to change it: the race state, the race window's
// model, the roster and the engine, driven by journal events. The live
// program, the replay and the restore of a crashed run all apply their
// events through Apply, so what one shows the others show too.
class RaceCore final : private RaceEventListener {
  public:
    explicit RaceCore(SoundPlayer& sound);
    RaceCore(const RaceCore&) = delete;
    RaceCore& operator=(const RaceCore&) = delete;

    // The one dispatcher: runs one journal event at its tick. Returns false
    // only for a clock event on which the race clock did not act.
    bool Apply(const JournalEvent& event);

    // Whether a clock event at `tick` would act, so the live program can
    // journal it before it applies it (and skip the ticks that change nothing).
    bool ClockActsAt(std::int32_t tick) const { return engine_.ClockActsAt(tick); }

    // Start-up's reading of "Palomind.ini" and "idname.ind", before any event.
    void LoadStartupFiles(FileStore& files, MessageSink& messages);
    // The serial port in use, stored in the settings file; no race event.
    void SetPortNumber(std::int16_t portNumber) { state_.PortNumber = portNumber; }

    // Which passes reach lap processing: a corrected race's gate withholds
    // its deleted passes. None: every pass does.
    void SetPassGate(PassGate* gate) { engine_.SetPassGate(gate); }

    // Sounds off while a crashed run's race is brought back: its cues and lap
    // sounds must not play again.
    void SetSilent(bool silent) { silent_ = silent; }

    // Told of each event just before it is applied (a clock event only when
    // it acts), with the race as it is then: the race records follow the run
    // through here, live, in a replay and in a restore alike.
    void Observe(AppliedEventObserver* observer);
    void StopObserving(AppliedEventObserver* observer);

    // Every race event goes to each subscriber, in the order they subscribed.
    void Subscribe(RaceEventListener* subscriber);
    void Unsubscribe(RaceEventListener* subscriber);

    // The tick of the event being applied (or last applied).
    std::int32_t Now() const { return clock_.Now(); }

    const RaceState& State() const { return state_; }
    const RaceWindowModel& Window() const { return window_; }
    const RosterTable& Roster() const { return roster_; }

    // The identity of the race record shown ("record"), until a start, a
    // result file opened or a start-up shows something else.
    const std::optional<std::string>& ShownRecord() const { return shownRecord_; }

    // Keeps the race record of the race shown (the race timed last, or a
    // record opened) in memory, so its corrections ("edit" lines) re-score
    // it: the live program, the restore and the replay of a run's journal.
    // `runStart` (seconds since 1970) dates the races timed; without it
    // their records' identities and starts count from 1970.
    void KeepShownRecord(std::optional<std::int64_t> runStart = std::nullopt);
    // The identity and start of the race shown's record kept, if any.
    std::optional<RaceIdentity> ShownRace() const;
    // Whether the race shown can be corrected: no race is in progress and
    // the race shown has a record.
    bool CanCorrect() const;
    // The race shown's record as text, with its corrections so far (empty
    // where there is none).
    const std::string& ShownRecordText() const { return shownText_.Text(); }
    // Checks the corrections of `record`, the race shown's record with a
    // correction more, against the race as it ran, scored once per race
    // shown rather than once per check.
    CorrectionsCheck CheckCorrectionsOfShown(const RaceRecord& record);
    // The entrants the corrections of the race shown disqualified.
    const std::set<int>& ShownDisqualified() const { return shownDisqualified_; }
    // The exact result of the race shown: a record's scored revision, its
    // corrections applied, or the engine's own result of the race in hand.
    // Every view and output reads this one, so none shows a flag or a place
    // the director's corrections have resolved.
    ExactResult Result() const;
    // Whether the race shown has an unresolved short lap, without building
    // the whole result (the window asks at every redraw).
    bool Provisional() const;

  private:
    // The engine's sound goes through here, so a restore can mute it.
    class MutableSound final : public SoundPlayer {
      public:
        MutableSound(SoundPlayer& sound, const bool& silent) : sound_(sound), silent_(silent) {}
        void PlaySound(std::string_view fileName) override {
            if (!silent_) sound_.PlaySound(fileName);
        }

      private:
        SoundPlayer& sound_;
        const bool& silent_;
    };

    void OnRaceEvent(const RaceEvent& event) override;
    void Raise(RaceEvent event);
    void ShowResultFile(const std::vector<std::uint8_t>& bytes);
    void ShowRaceRecord(const JournalEvent& event);
    void ShowRevision(const Revision& revision);
    void CorrectShownRace();
    void TakeOver(const CarriedState& carried);

    bool silent_ = false;
    MutableSound sound_;
    SetTickClock clock_;
    RaceState state_;
    RaceWindowModel window_;
    RosterTable roster_;
    RaceEngine engine_;
    std::vector<RaceEventListener*> subscribers_;
    std::vector<AppliedEventObserver*> observers_;
    std::optional<std::string> shownRecord_;
    RaceRecordText shownText_;
    std::optional<RaceRecorder> shownRecorder_;
    std::set<int> shownDisqualified_;
    // The result of the revision shown; none while the race shown is the
    // engine's own (a race timed, restored or a result file opened).
    std::optional<ExactResult> shownResult_;
    // The race shown as it ran (revision 0), scored for the checks: its
    // passes and RaceStart x 1000, for the raw events counted.
    std::optional<std::size_t> asRunEvents_;
    std::vector<RacePass> asRunPasses_;
    std::int64_t asRunStartTick_ = 0;
};

}  // namespace palomind
