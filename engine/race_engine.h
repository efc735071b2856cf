#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "engine/race_events.h"
#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "platform/sound_player.h"
#include "platform/tick_clock.h"
#include "roster/roster_table.h"

namespace palomind {

// The sound cues of the countdowns. Each plays its wave file (or nothing)
// unless the read-out mode silences cues.
enum class Cue { StartIn10, EndIn10, In5, In4, In3, In2, In1, Start, End };

// Decides, for each pass that reaches lap processing, whether it is
// processed and as whose: a corrected race withholds its deleted passes and
// scores a transponder's passes as those of the entrant they were assigned
// to. Asked once per pass, in the order they come, with the pass's ID;
// returns the ID to score it as, none to withhold it.
class PassGate {
  public:
    virtual ~PassGate() = default;
    virtual std::optional<int> ScoreAs(int id) = 0;
};

// The race timing engine: frame decoding, lap processing, standings, reset,
// race clock, cues and the race commands, over the one RaceState and the race
// window's model. It reaches the outside only through the tick clock and the
// sound player, so it runs the same live, in a replay and in tests.
class RaceEngine {
  public:
    RaceEngine(RaceState& state, RaceWindowModel& window, const RosterTable& names,
               TickClock& clock, SoundPlayer& sound);

    // Told of every race event the engine raises (one listener; the
    // application core fans them out).
    void SetListener(RaceEventListener* listener) { listener_ = listener; }
    // Every pass is processed while there is no gate.
    void SetPassGate(PassGate* gate) { gate_ = gate; }

    // Race reset: the window and the per-race state back to a race waiting to
    // start; fixes RaceStart and RaceEnd from the tick counter.
    void ReSet();

    // Receive handler for data received on the port: every byte, in order.
    void OnComm(std::span<const std::uint8_t> input);

    // One pass of the ID in PassId. Passes of ID 0 and IDs above 64 have no
    // place in the tables and are dropped here, before anything changes.
    void ProcessPass();
    // A pass added by a correction: processed as a pass of `id` now (the
    // gate asked as for any pass), while the ID that "ＩＤ１" counts on from
    // stays the one of the race.
    void ManualPass(int id);

    // Whether the 10 ms timer's tick at `tick` would act on a new second, so
    // the application can journal the tick before it runs it.
    bool ClockActsAt(std::int32_t tick) const;
    // The 10 ms timer's tick. Returns true when it acted on a new second (the
    // live journal records those ticks).
    bool Timer1_Timer();

    // Race commands of the toolbar.
    void StartRace();
    void StopRace();
    // button 1 to 3: "ＩＤ１", "ＩＤ２", "ＩＤ３".
    void TestPass(int button);

  private:
    // Frame decoding, standings and lap history: steps of the commands above.
    void DecodeByte(std::uint8_t b);
    void ShowStandings();
    void AddEntrant(int id);
    void UpdateLapHistory(int n);
    void PlayCue(Cue cue);

    bool ClockRunning() const;
    void SetStatus(std::string_view caption, std::uint32_t lampColor);
    void ActOnSecond(std::int32_t second, bool playCountdownCues);
    void PlayCountdownCue(std::int32_t remaining, Cue tenSecondCue);
    void ShowClocks(std::int32_t second);
    void Rank();
    int PlaceOf(int id) const;
    bool IsBestLapOfRace(int id) const;
    void Raise(RaceEvent event);

    RaceState& s_;
    RaceWindowModel& w_;
    const RosterTable& names_;
    TickClock& clock_;
    SoundPlayer& sound_;
    RaceEventListener* listener_ = nullptr;
    PassGate* gate_ = nullptr;
};

}  // namespace palomind
