#pragma once
#include <optional>

#include "documents/race_export_facts.h"
#include "engine/race_state.h"
#include "record/race_recorder.h"

namespace palomind {

// What the exports say of the race `state` holds, whose record is `race`
// (none: a result file shown, or a race whose record could not be written,
// has no known start). The same for the window's exports and the replay's.
RaceExportFacts ExportFactsOf(const RaceState& state, const std::optional<RaceIdentity>& race);

}  // namespace palomind
