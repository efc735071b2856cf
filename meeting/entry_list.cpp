#include "meeting/entry_list.h"

#include <algorithm>

#include "documents/cp932.h"

namespace palomind {

std::string EntryRefusal(const Meeting& meeting, const MeetingEntry& entry) {
    if (entry.name.empty()) return "no name";
    if (entry.transponder < 1 || entry.transponder > kLargestTransponder) {
        return "transponder " + std::to_string(entry.transponder) + " is not a number from 1 to " +
               std::to_string(kLargestTransponder);
    }
    if (!Cp932CanHold(entry.name)) {
        return "the name \"" + entry.name +
               "\" cannot be stored in the roster (a character cp932 does not hold)";
    }
    const MeetingClass* meetingClass = ClassWithId(meeting, entry.classId);
    if (meetingClass == nullptr) return "no class with the id " + entry.classId;
    for (const MeetingEntry& other : meeting.entries) {
        if (other.classId == entry.classId && other.name == entry.name)
            return "\"" + entry.name + "\" is already entered in class \"" + meetingClass->name +
                   "\"";
    }
    if (entry.number < 1) return "entry number " + std::to_string(entry.number) + " is below 1";
    if (EntryNumbered(meeting, entry.number) != nullptr)
        return "entry number " + std::to_string(entry.number) + " is already entered";
    return {};
}

std::int64_t NextEntryNumber(const Meeting& meeting) {
    std::int64_t largest = 0;
    for (const MeetingEntry& entry : meeting.entries) largest = std::max(largest, entry.number);
    return largest + 1;
}

bool AddEntry(Meeting& meeting, MeetingEntry entry, std::string& error) {
    error = EntryRefusal(meeting, entry);
    if (!error.empty()) return false;
    const auto at = std::upper_bound(
        meeting.entries.begin(), meeting.entries.end(), entry.number,
        [](std::int64_t number, const MeetingEntry& other) { return number < other.number; });
    meeting.entries.insert(at, std::move(entry));
    return true;
}

bool WithdrawEntry(Meeting& meeting, std::int64_t number, std::string& error) {
    const MeetingEntry* entry = EntryNumbered(meeting, number);
    if (entry == nullptr) {
        error = "no entry number " + std::to_string(number);
        return false;
    }
    for (const MeetingRound& round : meeting.rounds) {
        for (const Heat& heat : round.heats) {
            const bool holds = std::count(heat.entrants.begin(), heat.entrants.end(), number) != 0;
            if (holds && !heat.records.empty()) {
                error = "\"" + entry->name + "\" ran in heat " + heat.id;
                return false;
            }
        }
    }
    for (MeetingRound& round : meeting.rounds) {
        for (Heat& heat : round.heats) std::erase(heat.entrants, number);
    }
    std::erase_if(meeting.entries, [number](const MeetingEntry& e) { return e.number == number; });
    return true;
}

}  // namespace palomind
