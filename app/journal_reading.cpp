#include "app/journal_reading.h"

#include <string>

#include "app/race_revision.h"
#include "documents/result_file.h"

namespace palomind {

namespace {

// Why an opened result file or race record could not be shown; empty when
// it can.
std::string WhyNotShown(const JournalEvent& event) {
    const std::string_view bytes{reinterpret_cast<const char*>(event.bytes.data()),
                                 event.bytes.size()};
    if (event.kind == JournalEventKind::Open) {
        const ResultFileParse file = ParseResultFile(bytes);
        return file.ok ? std::string()
                       : "open: not a result file that can be shown (" + file.error + ")";
    }
    if (event.kind != JournalEventKind::Record) return {};
    const std::string problem = RaceRecordProblem(bytes, event.text);
    return problem.empty() ? problem
                           : "record: not a race record that can be shown (" + problem + ")";
}

}  // namespace

JournalParseResult ReadJournal(std::string_view text) {
    JournalParseResult result = ParseJournal(text);
    if (!result.ok) return result;
    for (std::size_t i = 0; i < result.events.size(); ++i) {
        std::string problem = WhyNotShown(result.events[i]);
        if (problem.empty()) continue;
        JournalParseResult failed;
        failed.errorLine = result.lines[i];
        failed.error = std::move(problem);
        return failed;
    }
    return result;
}

std::string RaceRecordProblem(std::string_view bytes, std::string_view identity) {
    const JournalParseResult record = ParseJournal(bytes);
    if (!record.ok) return "line " + std::to_string(record.errorLine) + ": " + record.error;
    if (!record.raceRecord) return "a journal, not a race record";
    if (!identity.empty() && record.events.front().text != identity)
        return "its race line names another race";
    const CorrectionsCheck check = CheckRaceRecord(SplitRaceRecord(record.events, record.lines));
    if (!check.ok) return "line " + std::to_string(check.errorLine) + ": " + check.error;
    return {};
}

}  // namespace palomind
