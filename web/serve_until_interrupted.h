#pragma once
#include <ostream>

#include "engine/exact_result.h"
#include "engine/race_window_model.h"
#include "web/web_address.h"

namespace palomind {

// Serves the race as it stands (a replayed race's final state and its exact
// result) at the address
// until the program is interrupted (SIGINT or SIGTERM). Needs the toolkit's
// application object. Prints the address served on `out`; returns the exit
// status.
int ServeUntilInterrupted(const RaceWindowModel& window, const ExactResult& result,
                          const WebAddress& address, std::ostream& out, std::ostream& err);

}  // namespace palomind
