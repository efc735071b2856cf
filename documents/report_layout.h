#pragma once
#include <string>
#include <vector>

#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "platform/message_sink.h"
#include "platform/printer.h"

namespace palomind {

// The report leaves the printer as two or three print documents: the result
// page (comment, race time, standings) and the lap history in one or two
// sections of ten entrants each; a corrected race's audit list follows as a
// document of its own.
enum class ReportSection { Result, LapHistory1, LapHistory2, Audit };

struct ReportOutcome {
    // No lap completed yet: the operator was told, nothing was printed.
    bool refused = false;
    // Sections whose document ended successfully, in print order.
    std::vector<ReportSection> printed;
    // Sections abandoned because the printer failed (the failing one and all
    // after it), in print order.
    std::vector<ReportSection> notPrinted;

    bool Complete() const { return !refused && notPrinted.empty(); }
};

// Prints the race shown in the race window: the standings and lap history
// grids, the comment's plain text and the configured race time. Reads the
// state and model, never changes them. A refusal or a printer failure is
// told to `messages`. With an `audit` list (a line per correction of the
// race), it is printed last, on pages of its own.
ReportOutcome PrintRaceReport(const RaceState& state, const RaceWindowModel& model,
                              Printer& printer, MessageSink& messages,
                              const std::vector<std::string>& audit = {});

}  // namespace palomind
