#pragma once
#include <cstdint>
#include <string>

#include "meeting/meeting_model.h"

namespace palomind {

// The entry list's rules, for the import and the entry table alike.

// Why `entry` cannot join the meeting's entry list; empty where it can: a
// name that is empty, that the roster cannot store (cp932) or that its class
// has already; a transponder outside 1 to 63; a class the meeting does not
// have; an entry number below 1 or already entered.
std::string EntryRefusal(const Meeting& meeting, const MeetingEntry& entry);

// The entry number the next entry takes: one after the largest so far.
std::int64_t NextEntryNumber(const Meeting& meeting);

// Adds `entry` in entry-number order; false, the meeting unchanged and
// `error` set to EntryRefusal's reason, where it is refused.
bool AddEntry(Meeting& meeting, MeetingEntry entry, std::string& error);

// Puts `changed` in place of entrant `number` under EntryRefusal's rules,
// the entrant itself not counted as a clash. A new entry number renumbers
// the entrant in the heats; a new class takes them out of the old class's
// heats (none of which has run: a redraw fills them). Refused, nothing changed, where the
// transponder or class changes for an entrant of a heat with a filed record (practice included):
// its result needs the ones they ran with.
bool EditEntry(Meeting& meeting, std::int64_t number, MeetingEntry changed, std::string& error);

// Takes entrant `number` off the entry list and out of the heats not yet run
// (a redraw fills those afresh). Refused, nothing changed, where a heat with
// a filed record holds them: its result needs them.
bool WithdrawEntry(Meeting& meeting, std::int64_t number, std::string& error);

}  // namespace palomind
