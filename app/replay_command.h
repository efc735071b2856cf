#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/exact_result.h"
#include "engine/race_state.h"
#include "engine/race_window_model.h"

namespace palomind {

// Writes the printed report of a race into one PDF file. Supplied by the
// desktop program (it needs the toolkit's printer); returns false, with a
// message on `err`, when the file cannot be written.
// `audit`: the corrections' audit list, printed last on a page of its own.
using ReportPdfWriter =
    std::function<bool(const RaceState&, const RaceWindowModel&, const std::string& pdfPath,
                       std::ostream& err, const std::vector<std::string>& audit)>;

// Serves the spectators' page of a race until the program is interrupted.
// Supplied by the desktop program (the web server sits above this layer):
// `accepts` checks the "--web" text before anything is replayed (false, with
// a message on `err`, refuses it); `serve` returns the exit status.
struct RaceServer {
    std::function<bool(std::string_view address, std::ostream& err)> accepts;
    std::function<int(const RaceWindowModel&, const ExactResult&, std::string_view address,
                      std::ostream& err)>
        serve;
};

// palomind --replay JOURNAL [--save RESULT.rdt] [--trace TRACE.txt]
//          [--until TICK] [--print REPORT.pdf] [--export-csv RESULTS.csv]
//          [--export-html RESULTS.html] [--races DIR] [--passes FILE.csv]
//          [--result-json FILE] [--web [ADDRESS:]PORT]
// `args` are the arguments after the program name, checked against the
// program's table of options (app/command_line.h). Runs in the current
// directory, reading "Palomind.ini" and "idname.ind" as start-up does (their
// messages go to `err`) and writing neither. With --web, the replayed race's
// final state is served once every file is written, until interrupted.
// JOURNAL may be a race record (docs/race-record.md); --passes and
// --result-json take only a record, --races only a journal.
// Returns the exit status.
int RunReplayCommand(const std::vector<std::string>& args, std::ostream& err,
                     const ReportPdfWriter& writeReportPdf = nullptr,
                     const RaceServer& serveRace = {});

}  // namespace palomind
