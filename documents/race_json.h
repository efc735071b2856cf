#pragma once
#include <string>

#include "engine/race_window_model.h"

namespace palomind {

// The race as the window shows it, as the JSON document /race.json serves:
// every value is the text of a window cell or caption (see
// docs/spectators.md for the keys). Text that is not valid UTF-8 is
// replaced, never refused.
std::string RaceJson(const RaceWindowModel& window);

}  // namespace palomind
