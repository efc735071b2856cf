#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/web_address.h"
#include "engine/race_state.h"
#include "engine/race_window_model.h"

namespace palomind {

// Writes the printed report of a race into one PDF file. Supplied by the
// desktop program (it needs the toolkit's printer); returns false, with a
// message on `err`, when the file cannot be written.
using ReportPdfWriter = std::function<bool(const RaceState&, const RaceWindowModel&,
                                           const std::string& pdfPath, std::ostream& err)>;

// Serves the spectators' page of a race until the program is interrupted.
// Supplied by the desktop program (the web server is built on the toolkit);
// returns the exit status.
using RaceServer = std::function<int(const RaceWindowModel&, const WebAddress&, std::ostream& err)>;

// palomind --replay JOURNAL [--save RESULT.rdt] [--trace TRACE.txt]
//          [--until TICK] [--print REPORT.pdf] [--export-csv RESULTS.csv]
//          [--export-html RESULTS.html] [--web [ADDRESS:]PORT]
// `args` are the arguments after the program name, checked against the
// program's table of options (app/command_line.h). Runs in the current
// directory, reading "Palomind.ini" and "idname.ind" as start-up does (their
// messages go to `err`) and writing neither. With --web, the replayed race's
// final state is served once every file is written, until interrupted.
// Returns the exit status.
int RunReplayCommand(const std::vector<std::string>& args, std::ostream& err,
                     const ReportPdfWriter& writeReportPdf = nullptr,
                     const RaceServer& serveRace = nullptr);

}  // namespace palomind
