#include "app/journal_reading.h"

#include <string>

#include "documents/result_file.h"

namespace palomind {

JournalParseResult ReadJournal(std::string_view text) {
    JournalParseResult result = ParseJournal(text);
    if (!result.ok) return result;
    for (std::size_t i = 0; i < result.events.size(); ++i) {
        const JournalEvent& event = result.events[i];
        if (event.kind != JournalEventKind::Open) continue;
        const ResultFileParse file = ParseResultFile(
            {reinterpret_cast<const char*>(event.bytes.data()), event.bytes.size()});
        if (file.ok) continue;
        JournalParseResult failed;
        failed.errorLine = result.lines[i];
        failed.error = "open: not a result file that can be shown (" + file.error + ")";
        return failed;
    }
    return result;
}

}  // namespace palomind
