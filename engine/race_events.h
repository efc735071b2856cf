#pragma once
#include <cstdint>
#include <string>

namespace palomind {

// What happened to the race, as it happens. Every view that follows the race
// (the race window, a voice, a page for spectators, an export) learns of it
// from these events. They are plain values, so a listener on another thread
// copies them into its own queue.
enum class RaceEventKind {
    PassAccepted,      // id, lap (0 for an entrant's first pass), lapTime, raceTime, place
    BestLapOfRace,     // id, lapTime: a lap faster than any other of the race so far
    EntrantFinished,   // id, place
    PhaseChanged,      // text (the status caption), color (the lamp): every write of the status
    ClockSecond,       // secondsToStart or secondsToEnd: the race clock acted on a new second
    RaceReset,         // the race is back to waiting for its start
    StandingsChanged,  // the standings and the lap history were rewritten
    CommentChanged,    // text: the race comment (line breaks as CR LF)
    NameChanged,       // id, text: the roster name of an ID
    ResultFileShown,   // a result file was opened and is shown
    RaceCorrected,     // the race shown was corrected and is shown scored again
    // id, outcome, lap, lapTime, raceTime: every pass that reached lap
    // processing, counted or not, after what it did (lap and times only for
    // a lap or a finish).
    PassProcessed,
};

// What a pass became in lap processing.
enum class PassOutcome {
    Start,        // the entrant's first pass
    Lap,          // completed a lap
    Finish,       // completed the lap that finished the entrant
    AfterFinish,  // after the race time, of an ID that had finished or was never entered
    Ignored,      // ID 0, an ID above 64, or lap 1000 reached
    Withheld,     // kept from lap processing by the engine's pass gate (a deleted pass)
};

struct RaceEvent {
    RaceEventKind kind = RaceEventKind::RaceReset;
    std::int32_t tick = 0;  // the tick counter at the event, in milliseconds
    int id = 0;
    int lap = 0;
    int place = 0;        // 1 for the leader; 0 where the ID has no place
    double lapTime = 0;   // seconds
    double raceTime = 0;  // seconds since the start of timing
    // ClockSecond: the seconds left before timing opens (positive while the
    // start is counted down, else 0) and before the race time ends (positive
    // while timing, else 0).
    int secondsToStart = 0;
    int secondsToEnd = 0;
    std::string text{};
    std::uint32_t color = 0;                     // 0x00BBGGRR
    PassOutcome outcome = PassOutcome::Ignored;  // PassProcessed
    // PassAccepted, PassProcessed: the lap completed is shorter than the
    // race's minimum lap (flagged; it still counts).
    bool shortLap = false;
    // PassProcessed: the ID the pass came with; `id` is the one it was
    // scored as, another where a correction assigned its passes to an entrant.
    int passId = 0;
};

// Told of every race event. Called on the thread that changes the race, in
// the order things happened; a listener must not block it.
class RaceEventListener {
  public:
    virtual ~RaceEventListener() = default;
    virtual void OnRaceEvent(const RaceEvent& event) = 0;
};

}  // namespace palomind
