#include "app/class_results.h"

#include <algorithm>

#include "app/filed_record_facts.h"
#include "app/heat_result.h"
#include "meeting/heat_draw.h"
#include "meeting/heat_seeding.h"
#include "meeting/meeting_schedule.h"

namespace palomind {

namespace {

// A lap penalty that takes every lap leaves the one start of a START; the
// lap times stay as run, as the record's result keeps them.
RoundResult RoundResultOf(const HeatEntrantResult& entrant, bool provisional) {
    RoundResult row{entrant.name, RaceStatus::DNS, 0, 0, {}, provisional};
    if (!entrant.result) return row;
    const EntrantResult& result = *entrant.result;
    row.laps = result.laps;
    row.timeMs = result.timeMs;
    row.lapMs = result.lapMs;
    switch (result.status) {
        case EntrantStatus::Dq:
            row.status = RaceStatus::DQ;
            break;
        case EntrantStatus::Start:
            row.status = RaceStatus::Start;
            break;
        case EntrantStatus::Run:
            row.status = result.laps > 0 ? RaceStatus::Run : RaceStatus::Start;
            break;
    }
    return row;
}

class ClassReader {
  public:
    ClassReader(const std::string& folder, FileStore& files) : folder_(folder), files_(files) {}

    // Adds the heat's rows to `session`, or names it among those without a
    // result; false where its standing record cannot be read.
    bool AddHeat(const std::string& heatId, const std::vector<HeatRecord>& records,
                 const std::vector<MeetingEntry>& entrants, SessionResults& session,
                 std::string& error) {
        const HeatRecord* standing = StandingRecord(records);
        if (standing == nullptr) {
            session.heatsWithoutResult.push_back(heatId);
            return true;
        }
        const std::optional<RaceRecord> record =
            ReadFiledRecord(folder_, standing->file, files_, error);
        if (!record) return false;
        const Revision latest =
            ScoreRevision(*record, static_cast<int>(record->corrections.size()));
        const RecordFacts facts = FactsOfFiledRevision(latest);
        const HeatState state = StateOfHeat(records, [&](const std::string&) { return facts; });
        if (state != HeatState::Done && state != HeatState::Provisional) {
            session.heatsWithoutResult.push_back(heatId);
            return true;
        }
        for (const HeatEntrantResult& entrant : HeatResultOf(latest, entrants).entrants)
            session.results.push_back(RoundResultOf(entrant, latest.provisional));
        return true;
    }

  private:
    const std::string& folder_;
    FileStore& files_;
};

std::string QuotedName(const MeetingClass& meetingClass) {
    return "class \"" + meetingClass.name + "\"";
}

}  // namespace

std::optional<ClassResults> ReadClassResults(const Meeting& meeting, const std::string& classId,
                                             const std::string& folder, FileStore& files,
                                             std::string& error) {
    const MeetingClass* meetingClass = ClassWithId(meeting, classId);
    if (meetingClass == nullptr) {
        error = "no class with the id " + classId;
        return std::nullopt;
    }
    ClassResults results;
    const std::vector<MeetingEntry> entries = EntriesOfClass(meeting, classId);
    for (const MeetingEntry& entry : entries)
        results.entrants.push_back({entry.name, entry.number});

    ClassReader reader(folder, files);
    if (!reader.AddHeat(PracticeHeatId(*meetingClass), meetingClass->practiceRecords, entries,
                        results.practice, error))
        return std::nullopt;
    for (std::int64_t number = 1; number <= meetingClass->rounds; ++number) {
        const MeetingRound* round = nullptr;
        for (const MeetingRound& r : meeting.rounds) {
            if (r.classId == classId && r.number == number) round = &r;
        }
        if (round == nullptr) continue;
        SessionResults session{number, {}, {}};
        for (const Heat& heat : round->heats) {
            if (!reader.AddHeat(heat.id, heat.records, EntriesNumbered(meeting, heat.entrants),
                                session, error))
                return std::nullopt;
        }
        results.rounds.push_back(std::move(session));
    }

    std::vector<RaceResults> practice;
    if (results.practice.Complete()) practice.push_back(results.practice.results);
    results.practiceRanking =
        RankQualifying(PracticeSeedingSettings(meetingClass->ranking), results.entrants, practice);
    std::vector<RaceResults> complete;
    for (const SessionResults& round : results.rounds) {
        if (round.Complete()) complete.push_back(round.results);
    }
    results.ranking = RankQualifying(meetingClass->ranking, results.entrants, complete);
    return results;
}

std::optional<QualifyingRanking> SeedingRanking(const ClassResults& results,
                                                const MeetingClass& meetingClass,
                                                std::int64_t round, std::string& error) {
    if (const std::string refusal = RoundRefusal(meetingClass, round); !refusal.empty()) {
        error = refusal;
        return std::nullopt;
    }
    if (round == 1) {
        if (results.practice.Complete()) return results.practiceRanking;
        error = "round 1 of " + QuotedName(meetingClass) +
                " is seeded by its practice session, which has no result yet";
        return std::nullopt;
    }
    const std::string seededBy = "round " + std::to_string(round) + " of " +
                                 QuotedName(meetingClass) + " is seeded by the rounds before it";
    std::vector<RaceResults> before;
    for (std::int64_t number = 1; number < round; ++number) {
        const auto drawn = std::find_if(results.rounds.begin(), results.rounds.end(),
                                        [&](const SessionResults& r) { return r.round == number; });
        if (drawn == results.rounds.end()) {
            error = seededBy + ": round " + std::to_string(number) + " has not been drawn";
            return std::nullopt;
        }
        if (!drawn->Complete()) {
            error =
                seededBy + ": heat \"" + drawn->heatsWithoutResult.front() + "\" has no result yet";
            return std::nullopt;
        }
        before.push_back(drawn->results);
    }
    return RankQualifying(meetingClass.ranking, results.entrants, before);
}

}  // namespace palomind
