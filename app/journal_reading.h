#pragma once
#include <string>
#include <string_view>

#include "journal/journal.h"

namespace palomind {

// Reads a whole journal as the replay and the restore take it: the journal's
// own form, and beyond it every opened result file ("open") checked as File >
// Open checks a file (cp932 throughout, every record present, MaxLap 0 to
// 1000, EntryCount 0 to 63) and every opened race record ("record") checked
// as opening one checks it. Any bad line fails the whole read, naming the
// line, so nothing of a damaged journal is ever applied.
JournalParseResult ReadJournal(std::string_view text);

// Why `bytes` cannot be shown as a race record: not a record, a bad line, a
// correction that does not hold, or (where `identity` is given) a race line
// naming another race. Empty when it
// can. A last line cut short by a crash is left out, as a replay leaves it.
std::string RaceRecordProblem(std::string_view bytes, std::string_view identity = {});

}  // namespace palomind
