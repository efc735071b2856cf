#include "app/filed_record_facts.h"

#include <filesystem>

#include "app/journal_reading.h"
#include "meeting/meeting_folder.h"

namespace palomind {

namespace {

std::vector<std::string> FiledFiles(const Meeting& meeting) {
    std::vector<std::string> filed;
    for (const MeetingClass& c : meeting.classes) {
        for (const HeatRecord& record : c.practiceRecords) filed.push_back(record.file);
    }
    for (const MeetingRound& round : meeting.rounds) {
        for (const Heat& heat : round.heats) {
            for (const HeatRecord& record : heat.records) filed.push_back(record.file);
        }
    }
    return filed;
}

}  // namespace

std::optional<RaceRecord> ReadFiledRecord(const std::string& folder, const std::string& file,
                                          FileStore& files, std::string& error) {
    const std::string path = (std::filesystem::path(folder) / kMeetingRacesFolder / file).string();
    const std::optional<std::string> text = files.ReadAll(path);
    if (!text) {
        error = path + ": cannot be read" + FailureReasonSuffix(files);
        return std::nullopt;
    }
    if (const std::string problem = RaceRecordProblem(*text); !problem.empty()) {
        error = path + ": " + problem;
        return std::nullopt;
    }
    const JournalParseResult parsed = ReadJournal(*text);
    return SplitRaceRecord(parsed.events, parsed.lines);
}

RecordFacts FactsOfFiledRevision(const Revision& latest) {
    return {latest.state.AllFinished != kFalse ? RecordFacts::End::AllFinished
                                               : RecordFacts::End::Stopped,
            latest.provisional};
}

std::optional<std::map<std::string, RecordFacts>> FiledRecordFacts(const Meeting& meeting,
                                                                   const std::string& folder,
                                                                   FileStore& files,
                                                                   std::string& error) {
    std::map<std::string, RecordFacts> facts;
    for (const std::string& file : FiledFiles(meeting)) {
        const std::optional<RaceRecord> record = ReadFiledRecord(folder, file, files, error);
        if (!record) return std::nullopt;
        const Revision latest =
            ScoreRevision(*record, static_cast<int>(record->corrections.size()));
        facts[file] = FactsOfFiledRevision(latest);
    }
    return facts;
}

}  // namespace palomind
