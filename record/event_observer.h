#pragma once
#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "journal/journal.h"
#include "roster/roster_table.h"

namespace palomind {

// The race as it stands just before an event is applied.
struct RaceBeforeEvent {
    const RaceState& state;
    const RaceWindowModel& window;
    const RosterTable& roster;
};

// Told of every event the one dispatcher applies, before it applies it (a
// clock event only when the clock acts on it), live, in a replay and in a
// restore alike.
class AppliedEventObserver {
  public:
    virtual ~AppliedEventObserver() = default;
    virtual void BeforeApply(const JournalEvent& event, const RaceBeforeEvent& race) = 0;
};

}  // namespace palomind
