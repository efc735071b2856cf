#pragma once
#include <vector>

#include "app/race_revision.h"
#include "meeting/meeting_model.h"
#include "record/result_json.h"

namespace palomind {

// A heat's result from a revision of its record: the heat's entrants who
// passed in the race's order, placed among themselves only (a transponder
// not in the heat takes no place from them), then those who never passed by
// entry number; and the raw passes of every transponder that counts for no
// entrant of the heat. Entrants sharing a transponder are never in one
// qualifying heat; in a practice session, which holds the whole class, the
// transponder's result is the first of them by entry number, and the
// others are listed as never passed.
struct HeatResult {
    std::vector<HeatEntrantResult> entrants;
    std::vector<NotEnteredPasses> notEntered;
};

HeatResult HeatResultOf(const Revision& revision, const std::vector<MeetingEntry>& entrants);

}  // namespace palomind
