#pragma once
#include <cstdint>
#include <vector>

#include "engine/race_engine.h"
#include "engine/race_events.h"
#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "journal/journal.h"
#include "platform/file_store.h"
#include "platform/message_sink.h"
#include "platform/sound_player.h"
#include "platform/tick_clock.h"
#include "record/event_observer.h"
#include "roster/roster_table.h"

namespace palomind {

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
};

}  // namespace palomind
