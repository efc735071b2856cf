#pragma once
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "engine/race_engine.h"
#include "record/event_observer.h"
#include "record/race_passes.h"

namespace palomind {

// Withholds the deleted passes of a revision from lap processing while it
// is replayed, and scores the raw passes of an assigned transponder as its
// entrant's. It counts each ID's raw passes from the race's start as the
// pass identity does, by the ID they came with, so an assigned pass is
// still deleted by its own identity; a withheld or assigned pass has still
// set the ID that "ＩＤ１" counts on from, as it did in the race. Observe it
// on the race core (for the start) and give it to the engine as its gate.
class RevisionPassGate final : public PassGate, public AppliedEventObserver {
  public:
    RevisionPassGate(std::set<PassIdentity> deleted, std::map<int, int> assigned)
        : deleted_(std::move(deleted)), assigned_(std::move(assigned)) {}

    void BeforeApply(const JournalEvent& event, const RaceBeforeEvent& race) override;
    std::optional<int> ScoreAs(int id) override;

  private:
    std::set<PassIdentity> deleted_;
    std::map<int, int> assigned_;
    bool started_ = false;
    int manual_ = 0;  // k of the manual pass being applied; 0 for raw passes
    std::vector<int> ordinals_ = std::vector<int>(256, 0);
};

}  // namespace palomind
