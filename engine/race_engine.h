#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "platform/sound_player.h"
#include "platform/tick_clock.h"
#include "roster/roster_table.h"

namespace palomind {

// The sound cues of the countdowns. Each plays its wave file (or nothing)
// unless the read-out mode silences cues.
enum class Cue { StartIn10, EndIn10, In5, In4, In3, In2, In1, Start, End };

// Told of every write of the status caption (the replay's trace records them).
class RaceObserver {
  public:
    virtual ~RaceObserver() = default;
    virtual void StatusCaptionWritten(std::string_view caption) = 0;
};

// The race timing engine: frame decoding, lap processing, standings, reset,
// race clock, cues and the race commands, over the one RaceState and the race
// window's model. It reaches the outside only through the tick clock and the
// sound player, so it runs the same live, in a replay and in tests.
class RaceEngine {
  public:
    RaceEngine(RaceState& state, RaceWindowModel& window, const RosterTable& names,
               TickClock& clock, SoundPlayer& sound);

    void SetObserver(RaceObserver* observer) { observer_ = observer; }

    RaceState& State() { return s_; }
    RaceWindowModel& Window() { return w_; }

    // Race reset: the window and the per-race state back to a race waiting to
    // start; fixes RaceStart and RaceEnd from the tick counter.
    void ReSet();

    // Receive handler for data received on the port: every byte, in order.
    void OnComm(std::span<const std::uint8_t> input);
    void DecodeByte(std::uint8_t b);

    // One pass of the ID in PassId. Passes of ID 0 and IDs above 64 have no
    // place in the tables and are dropped here, before anything changes.
    void ProcessPass();

    // Standings and lap history, called at the end of every pass.
    void ShowStandings();
    void AddEntrant(int id);
    void UpdateLapHistory(int n);

    // The 10 ms timer's tick. Returns true when it acted on a new second (the
    // live journal records those ticks).
    bool Timer1_Timer();

    void PlayCue(Cue cue);

    // Race commands of the toolbar.
    void StartRace();
    void StopRace();
    // button 1 to 3: "ＩＤ１", "ＩＤ２", "ＩＤ３".
    void TestPass(int button);

  private:
    void SetStatus(std::string_view caption, std::uint32_t lampColor);
    void ActOnSecond(std::int32_t second, bool playCountdownCues);
    void PlayCountdownCue(std::int32_t remaining, Cue tenSecondCue);
    void ShowClocks(std::int32_t second);
    void Rank();

    RaceState& s_;
    RaceWindowModel& w_;
    const RosterTable& names_;
    TickClock& clock_;
    SoundPlayer& sound_;
    RaceObserver* observer_ = nullptr;
};

}  // namespace palomind
