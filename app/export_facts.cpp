#include "app/export_facts.h"

#include <string>

#include "app/command_line.h"

namespace palomind {

RaceExportFacts ExportFactsOf(const RaceState& state, const std::optional<RaceIdentity>& race) {
    // Idle is over: everyone has finished, the race was stopped, or what is
    // shown is a stored race.
    return {.started = race ? race->started : std::string(),
            .version = std::string(ProgramVersion()),
            .over = IsIdle(state)};
}

}  // namespace palomind
