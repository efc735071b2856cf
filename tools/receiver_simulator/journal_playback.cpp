#include "tools/receiver_simulator/journal_playback.h"

#include "journal/journal.h"

namespace palomind::simulator {

bool ReadRecordedReceptions(std::string_view journalText,
                            std::vector<RecordedReception>& receptions, std::string& error) {
    const JournalParseResult journal = ParseJournal(journalText);
    if (!journal.ok) {
        error = "line " + std::to_string(journal.errorLine) + ": " + journal.error;
        return false;
    }
    receptions.clear();
    for (const JournalEvent& event : journal.events) {
        if (event.kind == JournalEventKind::Rx) receptions.push_back({event.tick, event.bytes});
    }
    return true;
}

}  // namespace palomind::simulator
