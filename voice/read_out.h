#pragma once
#include "engine/race_events.h"
#include "engine/race_state.h"
#include "roster/roster_table.h"
#include "voice/announcement.h"
#include "voice/phrases.h"

namespace palomind {

// Turns race events into announcements in the language of the read-out mode
// in force (nothing in mode 0 or any mode other than 1 and 2): the
// countdowns at the moments their cues would sound, the start, every lap
// while timing (in the parts CallParts chooses), a new best lap of the race, the end of the race
// time and each entrant's finish. Runs on the thread that changes the race and reads the race
// there.
class ReadOut final : public RaceEventListener {
  public:
    ReadOut(const RaceState& state, const RosterTable& roster, AnnouncementSink& sink);

    void OnRaceEvent(const RaceEvent& event) override;

  private:
    void OnClockSecond(const RaceEvent& event, ReadOutLanguage language);
    void Say(const RaceEvent& event, ReadOutLanguage language, AnnouncementKind kind,
             PhraseId phrase, const PhraseFields& fields);
    void SayText(const RaceEvent& event, ReadOutLanguage language, AnnouncementKind kind,
                 std::string text);
    // A lap, said in the parts the race's CallParts choose.
    void SayLapCall(const RaceEvent& event, ReadOutLanguage language);
    std::string Who(ReadOutLanguage language, int id) const;

    const RaceState& state_;
    const RosterTable& roster_;
    AnnouncementSink& sink_;
    // The first second the race clock acts on after a reset is the moment of
    // the start command's own ten-second cue.
    bool firstSecondAfterReset_ = false;
};

}  // namespace palomind
