#pragma once
#include <string>
#include <vector>

#include "journal/journal.h"

namespace palomind {

// The heat the last race of `events` was run as: the heat loaded ("heat"
// lines) when its "start" came. Empty where no heat was loaded then, or
// where the events hold no start. A heat line after the start is for the
// race after it.
std::string HeatOfLastRace(const std::vector<JournalEvent>& events);

}  // namespace palomind
