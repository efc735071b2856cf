#include "meeting/meeting_schedule.h"

#include <algorithm>

namespace palomind {

namespace {

ScheduledHeat HeatOfClass(const MeetingClass& c, HeatKind kind) {
    ScheduledHeat heat;
    heat.classId = c.id;
    heat.className = c.name;
    heat.kind = kind;
    heat.raceTimeS = c.raceTimeS;
    heat.startWaitS = c.startWaitS;
    heat.minLapMs = c.minLapMs;
    return heat;
}

}  // namespace

std::string_view HeatKindName(HeatKind kind) {
    switch (kind) {
        case HeatKind::Practice:
            return "practice";
        case HeatKind::Qualifying:
            return "qualifying";
        case HeatKind::Main:
            return "main";
    }
    return {};
}

std::string_view HeatStateName(HeatState state) {
    switch (state) {
        case HeatState::ToRun:
            return "to-run";
        case HeatState::Running:
            return "running";
        case HeatState::Done:
            return "done";
        case HeatState::Stopped:
            return "stopped";
        case HeatState::Provisional:
            return "provisional";
        case HeatState::Replaced:
            return "replaced";
    }
    return {};
}

const HeatRecord* StandingRecord(const std::vector<HeatRecord>& records) {
    const auto standing = std::find_if(records.rbegin(), records.rend(),
                                       [](const HeatRecord& r) { return !r.replaced; });
    return standing == records.rend() ? nullptr : &*standing;
}

HeatState StateOfHeat(const std::vector<HeatRecord>& records, const RecordFactsOf& facts) {
    if (records.empty()) return HeatState::ToRun;
    const HeatRecord* standing = StandingRecord(records);
    if (standing == nullptr) return HeatState::Replaced;
    const RecordFacts read = facts(standing->file);
    if (read.end == RecordFacts::End::None) return HeatState::Running;
    if (read.end == RecordFacts::End::Stopped && !standing->accepted) return HeatState::Stopped;
    return read.provisional ? HeatState::Provisional : HeatState::Done;
}

std::vector<ScheduledHeat> MeetingSchedule(const Meeting& meeting, const RecordFactsOf& facts) {
    std::vector<ScheduledHeat> schedule;
    for (const MeetingClass& c : meeting.classes) {
        if (c.practiceTimeS == 0) continue;
        ScheduledHeat practice = HeatOfClass(c, HeatKind::Practice);
        practice.id = PracticeHeatId(c);
        practice.round = 0;
        practice.state = StateOfHeat(c.practiceRecords, facts);
        practice.entrants = EntriesOfClass(meeting, c.id);
        practice.raceTimeS = c.practiceTimeS;
        practice.startWaitS = 0;
        practice.title = c.name + " 練習";
        schedule.push_back(std::move(practice));
    }
    std::int64_t lastRound = 0;
    for (const MeetingRound& round : meeting.rounds) lastRound = std::max(lastRound, round.number);
    for (std::int64_t number = 1; number <= lastRound; ++number) {
        for (const MeetingClass& c : meeting.classes) {
            const auto round = std::find_if(
                meeting.rounds.begin(), meeting.rounds.end(),
                [&](const MeetingRound& r) { return r.classId == c.id && r.number == number; });
            if (round == meeting.rounds.end()) continue;
            // A seeded round runs slowest first: from its last heat to heat 1.
            std::vector<const Heat*> running;
            for (const Heat& drawn : round->heats) running.push_back(&drawn);
            if (round->seeded) std::reverse(running.begin(), running.end());
            for (const Heat* heatOfRound : running) {
                const Heat& drawn = *heatOfRound;
                ScheduledHeat heat = HeatOfClass(c, HeatKind::Qualifying);
                heat.id = drawn.id;
                heat.round = number;
                heat.heat = drawn.number;
                heat.state = StateOfHeat(drawn.records, facts);
                heat.entrants = EntriesNumbered(meeting, drawn.entrants);
                heat.title = c.name + " 予選" + std::to_string(number) + " ヒート" +
                             std::to_string(drawn.number);
                schedule.push_back(std::move(heat));
            }
        }
    }
    return schedule;
}

std::optional<std::size_t> NextHeatToRun(const std::vector<ScheduledHeat>& schedule) {
    for (std::size_t i = 0; i < schedule.size(); ++i) {
        const HeatState state = schedule[i].state;
        if (state == HeatState::ToRun || state == HeatState::Stopped ||
            state == HeatState::Replaced)
            return i;
    }
    return std::nullopt;
}

}  // namespace palomind
