#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "platform/message_sink.h"

class QWidget;

namespace palomind {

// The File menu's "印刷(&P)...": the standard print dialog titled "印刷" with
// no page range to choose; cancelling prints nothing. Printing to a file puts
// the whole report into that one file. The caller checks that a race window
// is active first.
void RunMenuPrint(QWidget* parent, const RaceState& state, const RaceWindowModel& model,
                  MessageSink& messages, const std::vector<std::string>& audit = {});

// The toolbar's "印刷": prints at once on the default printer. On a system
// with no printer at all the report goes into a PDF file in the current
// directory, "Palomind-report-YYYYMMDD-HHMMSS.pdf", and the operator is told
// where.
void RunToolbarPrint(QWidget* parent, const RaceState& state, const RaceWindowModel& model,
                     MessageSink& messages, const std::vector<std::string>& audit = {});

// The whole report in one PDF file, each print document starting a new page
// (palomind --replay ... --print REPORT.pdf). False, with the reason on `err`,
// when there is nothing to print or the file cannot be written. Needs a GUI
// application object, windowless will do (the program makes one for --print).
// Each of these ends the report with the `audit` list of the race's
// corrections on a page of its own where there is one.
bool WriteReportPdf(const RaceState& state, const RaceWindowModel& model,
                    const std::string& pdfPath, std::ostream& err,
                    const std::vector<std::string>& audit = {});

}  // namespace palomind
