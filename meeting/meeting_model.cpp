#include "meeting/meeting_model.h"

#include <algorithm>

namespace palomind {

const MeetingClass* ClassNamed(const Meeting& meeting, const std::string& name) {
    const auto found = std::find_if(meeting.classes.begin(), meeting.classes.end(),
                                    [&](const MeetingClass& c) { return c.name == name; });
    return found == meeting.classes.end() ? nullptr : &*found;
}

const MeetingClass* ClassWithId(const Meeting& meeting, const std::string& id) {
    const auto found = std::find_if(meeting.classes.begin(), meeting.classes.end(),
                                    [&](const MeetingClass& c) { return c.id == id; });
    return found == meeting.classes.end() ? nullptr : &*found;
}

const MeetingEntry* EntryNumbered(const Meeting& meeting, std::int64_t number) {
    const auto found = std::find_if(meeting.entries.begin(), meeting.entries.end(),
                                    [&](const MeetingEntry& e) { return e.number == number; });
    return found == meeting.entries.end() ? nullptr : &*found;
}

MeetingRound* RoundOf(Meeting& meeting, const std::string& classId, std::int64_t number) {
    const auto found = std::find_if(
        meeting.rounds.begin(), meeting.rounds.end(),
        [&](const MeetingRound& r) { return r.classId == classId && r.number == number; });
    return found == meeting.rounds.end() ? nullptr : &*found;
}

MeetingClass& AddClass(Meeting& meeting, const std::string& name) {
    MeetingClass added;
    do {
        added.id = "c" + std::to_string(meeting.nextClassNumber++);
    } while (ClassWithId(meeting, added.id) != nullptr);
    added.name = name;
    meeting.classes.push_back(std::move(added));
    return meeting.classes.back();
}

std::vector<MeetingEntry> EntriesOfClass(const Meeting& meeting, const std::string& classId) {
    std::vector<MeetingEntry> entries;
    std::copy_if(meeting.entries.begin(), meeting.entries.end(), std::back_inserter(entries),
                 [&](const MeetingEntry& e) { return e.classId == classId; });
    std::sort(entries.begin(), entries.end(),
              [](const MeetingEntry& a, const MeetingEntry& b) { return a.number < b.number; });
    return entries;
}

std::vector<MeetingEntry> EntriesNumbered(const Meeting& meeting,
                                          const std::vector<std::int64_t>& numbers) {
    std::vector<MeetingEntry> entries;
    for (const std::int64_t number : numbers) {
        if (const MeetingEntry* entry = EntryNumbered(meeting, number)) entries.push_back(*entry);
    }
    return entries;
}

std::vector<HeatRecord>* RecordsOfHeat(Meeting& meeting, const std::string& heatId) {
    for (MeetingClass& c : meeting.classes) {
        if (PracticeHeatId(c) == heatId) return &c.practiceRecords;
    }
    for (MeetingRound& round : meeting.rounds) {
        for (Heat& heat : round.heats) {
            if (heat.id == heatId) return &heat.records;
        }
    }
    return nullptr;
}

std::string PracticeHeatId(const MeetingClass& meetingClass) {
    return meetingClass.id + "-p";
}

std::string QualifyingHeatId(const std::string& classId, std::int64_t round, std::int64_t heat) {
    return classId + "-q" + std::to_string(round) + "-" + std::to_string(heat);
}

}  // namespace palomind
