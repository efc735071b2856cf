#include "meeting/entry_list.h"

#include <algorithm>

#include "documents/cp932.h"

namespace palomind {

namespace {

// EntryRefusal's rules, with `itself` (the entry being changed, or null for
// a new one) not counted as a clash.
std::string Refusal(const Meeting& meeting, const MeetingEntry& entry, const MeetingEntry* itself) {
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
        if (&other != itself && other.classId == entry.classId && other.name == entry.name)
            return "\"" + entry.name + "\" is already entered in class \"" + meetingClass->name +
                   "\"";
    }
    if (entry.number < 1) return "entry number " + std::to_string(entry.number) + " is below 1";
    const MeetingEntry* numbered = EntryNumbered(meeting, entry.number);
    if (numbered != nullptr && numbered != itself)
        return "entry number " + std::to_string(entry.number) + " is already entered";
    return {};
}

void InsertInNumberOrder(Meeting& meeting, MeetingEntry entry) {
    const auto at = std::upper_bound(
        meeting.entries.begin(), meeting.entries.end(), entry.number,
        [](std::int64_t number, const MeetingEntry& other) { return number < other.number; });
    meeting.entries.insert(at, std::move(entry));
}

bool Holds(const Heat& heat, std::int64_t number) {
    return std::count(heat.entrants.begin(), heat.entrants.end(), number) != 0;
}

// A heat with a filed record that entrant `entry` is in: the class's
// practice session holds every entrant of the class. Empty for none.
std::string HeatRunWith(const Meeting& meeting, const MeetingEntry& entry) {
    const MeetingClass* meetingClass = ClassWithId(meeting, entry.classId);
    if (meetingClass != nullptr && !meetingClass->practiceRecords.empty())
        return PracticeHeatId(*meetingClass);
    for (const MeetingRound& round : meeting.rounds) {
        for (const Heat& heat : round.heats) {
            if (Holds(heat, entry.number) && !heat.records.empty()) return heat.id;
        }
    }
    return {};
}

}  // namespace

std::string EntryRefusal(const Meeting& meeting, const MeetingEntry& entry) {
    return Refusal(meeting, entry, nullptr);
}

std::int64_t NextEntryNumber(const Meeting& meeting) {
    std::int64_t largest = 0;
    for (const MeetingEntry& entry : meeting.entries) largest = std::max(largest, entry.number);
    return largest + 1;
}

bool AddEntry(Meeting& meeting, MeetingEntry entry, std::string& error) {
    error = EntryRefusal(meeting, entry);
    if (!error.empty()) return false;
    InsertInNumberOrder(meeting, std::move(entry));
    return true;
}

bool EditEntry(Meeting& meeting, std::int64_t number, MeetingEntry changed, std::string& error) {
    const MeetingEntry* entry = EntryNumbered(meeting, number);
    if (entry == nullptr) {
        error = "no entry number " + std::to_string(number);
        return false;
    }
    error = Refusal(meeting, changed, entry);
    if (!error.empty()) return false;
    if (changed.transponder != entry->transponder || changed.classId != entry->classId) {
        if (const std::string ran = HeatRunWith(meeting, *entry); !ran.empty()) {
            error = "\"" + entry->name + "\" ran in heat " + ran +
                    ": its result needs the transponder and class they ran with";
            return false;
        }
    }
    const bool classChanged = changed.classId != entry->classId;
    for (MeetingRound& round : meeting.rounds) {
        for (Heat& heat : round.heats) {
            // None of these heats has run: another class's round cannot
            // hold the entrant, and a redraw fills the heat afresh.
            if (classChanged) std::erase(heat.entrants, number);
            std::replace(heat.entrants.begin(), heat.entrants.end(), number, changed.number);
        }
    }
    std::erase_if(meeting.entries, [number](const MeetingEntry& e) { return e.number == number; });
    InsertInNumberOrder(meeting, std::move(changed));
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
            if (Holds(heat, number) && !heat.records.empty()) {
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
